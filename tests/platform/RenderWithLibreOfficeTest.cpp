// The example's metafile as another program sees it: LibreOffice renders it
// into a PDF, and every framework marker name of the drawn maps must be
// there to read.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include "drawing/DrawMaps.h"
#include "platform/FileCanvases.h"
#include "platform/QtRuntime.h"
#include "tests/platform/ExampleMaps.h"

namespace karvello {
namespace {

QString RunProgram(const QString& program, const QStringList& arguments, int timeoutMs) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QString("timed out: ") + program;
    }
    return QString::fromLocal8Bit(process.readAll());
}

TEST(RenderWithLibreOfficeTest, EveryFrameworkMarkerNameCanBeReadFromTheRenderedMetafile) {
    const QString soffice = QStandardPaths::findExecutable("soffice");
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (soffice.isEmpty() || pdftotext.isEmpty()) {
        GTEST_SKIP() << "needs soffice (libreoffice-draw-nogui) and pdftotext (poppler-utils)";
    }
    EnsureQtGui();
    const test::ExampleMaps example = test::LoadBundledExample();
    ASSERT_FALSE(example.maps.empty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString emf = dir.filePath("example-maps.emf");
    {
        auto canvas = CreateFileCanvas(emf.toStdString());
        (void)DrawMaps(example.maps, canvas->surface(), PageLengths{}, example.markers);
        canvas->Commit();
    }
    // A profile of its own, so that the test neither needs nor disturbs one.
    const QString profile = QUrl::fromLocalFile(dir.filePath("profile")).toString();
    const QString log = RunProgram(soffice,
                                   {"-env:UserInstallation=" + profile, "--headless",
                                    "--convert-to", "pdf", "--outdir", dir.path(), emf},
                                   180000);
    const QString pdf = dir.filePath("example-maps.pdf");
    ASSERT_TRUE(QFileInfo::exists(pdf)) << log.toStdString();
    const QString text = RunProgram(pdftotext, {pdf, "-"}, 60000);
    // Kept for a look at the picture: KARVELLO_KEEP_RENDER=folder.
    if (const QByteArray keep = qgetenv("KARVELLO_KEEP_RENDER"); !keep.isEmpty()) {
        QFile::copy(pdf, QDir(QString::fromLocal8Bit(keep)).filePath("example-maps.pdf"));
        QFile::copy(emf, QDir(QString::fromLocal8Bit(keep)).filePath("example-maps.emf"));
    }

    int names = 0;
    for (const LinkageMap& map : example.maps) {
        for (const MapEntry& entry : map.Markers) {
            const std::string& name =
                example.markers[static_cast<std::size_t>(entry.MarkerIndex)].Name;
            if (!name.empty()) {
                ++names;
                EXPECT_TRUE(text.contains(QString::fromLatin1(name.c_str())))
                    << "map " << map.MapNumber << ": " << name;
            }
        }
    }
    EXPECT_GT(names, 20);
}

} // namespace
} // namespace karvello
