// The file canvases: formats by extension, all-or-nothing writing, and what
// each format holds.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Error.h"
#include "platform/FileCanvases.h"
#include "platform/QtRuntime.h"
#include "platform/TextMetrics.h"
#include "tests/support/EmfReader.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

TEST(DrawingFormatTest, ExtensionNamesTheFormatWhateverItsCase) {
    struct Row {
        const char* path;
        std::optional<DrawingFormat> format;
    };
    for (const Row& row :
         {Row{"maps.emf", DrawingFormat::Emf}, Row{"/tmp/x/MAPS.EMF", DrawingFormat::Emf},
          Row{"a.Svg", DrawingFormat::Svg}, Row{"a.pdf", DrawingFormat::Pdf},
          Row{"a.b.PNG", DrawingFormat::Png}, Row{"maps.emf.txt", std::nullopt},
          Row{"maps.jpg", std::nullopt}, Row{"emf", std::nullopt}, Row{"", std::nullopt},
          Row{"maps.wmf", std::nullopt}}) {
        SCOPED_TRACE(row.path);
        EXPECT_EQ(DrawingFormatOf(row.path), row.format);
        EXPECT_EQ(IsDrawingFileName(row.path), row.format.has_value());
    }
    EXPECT_EQ(DrawingFileDialogFilters(), "Enhanced Metafile (*.emf);;SVG image (*.svg);;PDF "
                                          "document (*.pdf);;PNG image, 300 dpi (*.png)");
}

TEST(DrawingFormatTest, UnknownExtensionNamesTheSupportedOnes) {
    EXPECT_EQ(test::ThrownMessage([] { CreateFileCanvas("maps.jpg"); }),
              "Cannot draw into \"maps.jpg\": the file name must end in .emf, .svg, .pdf or .png");
}

void SampleDrawing(Surface& s) {
    s.SetMapMode(MappingMode::HiMetric);
    s.Rectangle(100, -1000, 2640, -3540); // one inch square
    s.SetPenColour(0x808080);
    s.MoveTo(2640, -1300);
    s.LineTo(3000, -1500);
    s.SetFontColour(0x0000FF);
    s.TextOut(3100, -1400, "T175, M12");
    s.SetItalic(true);
    s.SetFontColour(0);
    s.TextOut(3100, -2000, "D7\xE9");
}

struct FormatCase {
    const char* extension;
    std::string magic;
    std::size_t magicAt;
};

class FileCanvasTest : public ::testing::TestWithParam<FormatCase> {
  protected:
    void SetUp() override {
        EnsureQtGui();
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string Target() const { return Path(std::string("maps") + GetParam().extension); }
    QStringList Entries() const {
        return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    static void Put(const std::string& path, const QByteArray& bytes) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray Get(const std::string& path) {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

TEST_P(FileCanvasTest, CommitPutsTheCompleteFileInPlaceOfTheOldOne) {
    Put(Target(), "old contents");
    auto canvas = CreateFileCanvas(Target());
    SampleDrawing(canvas->surface());
    canvas->Commit();
    const QByteArray bytes = Get(Target());
    ASSERT_GT(bytes.size(), static_cast<qsizetype>(GetParam().magicAt + GetParam().magic.size()));
    EXPECT_EQ(bytes
                  .mid(static_cast<qsizetype>(GetParam().magicAt),
                       static_cast<qsizetype>(GetParam().magic.size()))
                  .toStdString(),
              GetParam().magic);
    EXPECT_EQ(Entries(),
              QStringList{QString::fromStdString("maps" + std::string(GetParam().extension))});
    EXPECT_THROW(canvas->Commit(), KarvelloError) << "a second commit";
}

TEST_P(FileCanvasTest, WithoutCommitNothingIsWrittenAndTheOldFileStays) {
    {
        auto canvas = CreateFileCanvas(Target());
        SampleDrawing(canvas->surface());
    }
    EXPECT_TRUE(Entries().isEmpty()) << Entries().join(",").toStdString();
    Put(Target(), "old contents");
    {
        auto canvas = CreateFileCanvas(Target());
        SampleDrawing(canvas->surface());
    }
    EXPECT_EQ(Get(Target()), QByteArray("old contents"));
    EXPECT_EQ(Entries().size(), 1);
}

TEST_P(FileCanvasTest, AFolderThatDoesNotExistDoesNotAllowDrawing) {
    const std::string target = Path(std::string("missing/maps") + GetParam().extension);
    EXPECT_EQ(test::ThrownMessage([&target] { CreateFileCanvas(target); }),
              "Canvas does not allow drawing. Cannot create file \"" + target +
                  "\". No such file or directory");
    EXPECT_TRUE(Entries().isEmpty());
}

// A small file system of its own, filled up before the commit. Mounting
// needs root; elsewhere the test says why it does not run.
TEST_P(FileCanvasTest, AFullDiskFailsTheCommitAndKeepsTheOldFile) {
    const std::string mount = Path("small");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(mount)));
    if (::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=16k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); run as root to test a full disk";
    }
    struct Unmount {
        std::string at;
        ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
    } unmount{mount};
    const std::string target = mount + "/maps" + GetParam().extension;
    Put(target, "old contents");
    auto canvas = CreateFileCanvas(target);
    SampleDrawing(canvas->surface());
    {
        QFile filler(QString::fromStdString(mount + "/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(1024, 'x');
        while (filler.write(block) == block.size()) {
        }
    }
    try {
        canvas->Commit();
        FAIL() << "a full disk reported as success";
    } catch (const KarvelloError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write file \"" + target + "\". No space left on device");
    }
    EXPECT_EQ(Get(target), QByteArray("old contents"));
    EXPECT_EQ(QDir(QString::fromStdString(mount)).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"filler",
                           QString::fromStdString("maps" + std::string(GetParam().extension))}));
}

TEST_P(FileCanvasTest, AFolderThatVanishesBeforeCommitLeavesNoFile) {
    const QString sub = dir_.filePath("sub");
    ASSERT_TRUE(QDir().mkdir(sub));
    const std::string target = (sub + "/maps" + GetParam().extension).toStdString();
    auto canvas = CreateFileCanvas(target);
    SampleDrawing(canvas->surface());
    if (!QDir(sub).removeRecursively() || QDir(sub).exists()) {
        GTEST_SKIP() << "the folder cannot be removed while the file is open";
    }
    const std::string message = test::ThrownMessage([&] { canvas->Commit(); });
    EXPECT_EQ(message.rfind("Cannot write file \"" + target + "\". ", 0), 0u) << message;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
}

TEST_P(FileCanvasTest, OnlyAnImageReportsItsWritingAndACancelLeavesNoFile) {
    const std::string target =
        dir_.filePath(QStringLiteral("maps") + GetParam().extension).toStdString();
    std::vector<std::uint64_t> done;
    const ProgressFn cancelling = [&done](std::uint64_t d, std::uint64_t total) {
        done.push_back(d);
        EXPECT_LE(d, total);
        throw OperationCancelled();
    };
    auto canvas = CreateFileCanvas(target);
    const bool reports = canvas->ReportCommitProgress(cancelling);
    EXPECT_EQ(reports, std::string(GetParam().extension) == ".png");
    SampleDrawing(canvas->surface());
    if (!reports) {
        canvas->Commit();
        EXPECT_TRUE(done.empty());
        return;
    }
    EXPECT_THROW(canvas->Commit(), OperationCancelled);
    EXPECT_EQ(done, (std::vector<std::uint64_t>{0}));
    canvas.reset();
    EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
}

// Only a regular file is replaced; a link to one stays a link, and a name is
// the bytes the system gives, whatever their encoding.
TEST(FileCanvasTargetTest, OnlyARegularFileIsReplaced) {
    EnsureQtGui();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string folder = dir.path().toStdString();
    ASSERT_EQ(::mkfifo((folder + "/pipe.emf").c_str(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(dir.filePath("folder.emf")));
    ASSERT_EQ(::symlink((folder + "/pipe.emf").c_str(), (folder + "/to-pipe.emf").c_str()), 0);
    struct Row {
        const char* name;
        const char* reason;
    };
    for (const Row& row : {Row{"pipe.emf", "It is a named pipe (FIFO), not a regular file."},
                           Row{"to-pipe.emf", "It is a named pipe (FIFO), not a regular file."},
                           Row{"folder.emf", "It is a folder, not a file."}}) {
        SCOPED_TRACE(row.name);
        const std::string target = folder + "/" + row.name;
        try {
            CreateFileCanvas(target);
            ADD_FAILURE() << "no error";
        } catch (const KarvelloError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "Canvas does not allow drawing. Cannot create file \"" + target + "\". " +
                          row.reason);
        }
    }

    const std::string real = folder + "/real.svg";
    const std::string link = folder + "/link.svg";
    {
        QFile old(QString::fromStdString(real));
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    const std::string latin1 = folder + "/lat\xE9n.png";
    for (const std::string& path : {link, latin1}) {
        auto canvas = CreateFileCanvas(path);
        SampleDrawing(canvas->surface());
        canvas->Commit();
    }
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode)) << "the link was replaced by a file";
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "the new file keeps the old one's permissions";
    EXPECT_GT(info.st_size, 100);
    EXPECT_EQ(::stat(latin1.c_str(), &info), 0) << "the Latin-1 name was not kept byte for byte";
}

INSTANTIATE_TEST_SUITE_P(Formats, FileCanvasTest,
                         ::testing::Values(FormatCase{".emf", " EMF", 40},
                                           FormatCase{".svg", "<?xml", 0},
                                           FormatCase{".pdf", "%PDF", 0},
                                           FormatCase{".png", "\x89PNG", 0}),
                         [](const auto& info) { return std::string(info.param.extension + 1); });

class ExportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtGui();
        ASSERT_TRUE(dir_.isValid());
    }
    std::string Draw(const std::string& name, void (*draw)(Surface&) = SampleDrawing) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        auto canvas = CreateFileCanvas(path);
        draw(canvas->surface());
        canvas->Commit();
        return path;
    }
    QTemporaryDir dir_;
};

TEST_F(ExportTest, AllFormatsShareTheMetafilesFrameAndMeasurement) {
    const auto records = test::ReadEmfRecords(test::ReadFileBytes(Draw("maps.emf")));
    const auto frame = test::DecodeHeader(records.front()).frame;
    const TextMetrics& m = MetafileTextMetrics();
    EXPECT_EQ(frame, (test::EmfRect{100, 1000, 3100 + m.Width("T175, M12", false), 3540}));

    // The PNG is the frame at 300 dpi with 2 mm of room on every side.
    const QImage png(QString::fromStdString(Draw("maps.png")));
    ASSERT_FALSE(png.isNull());
    const double perUnit = 300.0 / 2540.0;
    const int room = 200;
    EXPECT_EQ(png.width(),
              static_cast<int>(std::ceil((frame.right - frame.left + 1 + 2 * room) * perUnit)));
    EXPECT_EQ(png.height(),
              static_cast<int>(std::ceil((frame.bottom - frame.top + 1 + 2 * room) * perUnit)));
    EXPECT_EQ(png.dotsPerMeterX(), 11811);
    EXPECT_EQ(png.dotsPerMeterY(), 11811);
    // The room is white; the square's left edge, one inch tall, is black
    // and 0.25 pt wide (one pixel or two); inside it is white.
    EXPECT_EQ(png.pixelColor(0, 150), QColor(Qt::white));
    const int edge = static_cast<int>(room * perUnit); // 23.6
    EXPECT_EQ(png.pixelColor(edge, 150), QColor(Qt::black));
    EXPECT_EQ(png.pixelColor(edge - 2, 150), QColor(Qt::white));
    EXPECT_EQ(png.pixelColor(edge + 3, 150), QColor(Qt::white));
    EXPECT_EQ(png.pixelColor(150, 150), QColor(Qt::white));
    EXPECT_EQ(png.pixelColor(png.width() - 1, png.height() - 1), QColor(Qt::white));
    // Red text (0x0000FF) shows red somewhere in its cell.
    bool red = false;
    const int cellLeft = static_cast<int>((3100 - frame.left + room) * perUnit);
    const int cellTop = static_cast<int>((1400 - frame.top + room) * perUnit);
    for (int y = cellTop; y < cellTop + 37 && y < png.height(); ++y) {
        for (int x = cellLeft; x < png.width(); ++x) {
            const QColor c = png.pixelColor(x, y);
            red = red || (c.red() > 200 && c.green() < 80 && c.blue() < 80);
        }
    }
    EXPECT_TRUE(red);

    // The SVG is the frame's size in millimetres with 2 mm of room on every
    // side, and keeps text as text.
    QFile svg(QString::fromStdString(Draw("maps.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString xml = QString::fromUtf8(svg.readAll());
    const int svgWidth = frame.right - frame.left + 1 + 400;
    EXPECT_TRUE(xml.contains(
        QString("width=\"%1.%2mm\"").arg(svgWidth / 100).arg(svgWidth % 100, 2, 10, QChar('0'))))
        << xml.left(600).toStdString();
    EXPECT_TRUE(xml.contains(QString("viewBox=\"0 0 %1 %2\"").arg(svgWidth).arg(2541 + 400)));
    EXPECT_TRUE(xml.contains("stroke-width=\"9\""));
    EXPECT_TRUE(xml.contains("T175, M12"));
    EXPECT_TRUE(xml.contains(QString::fromUtf8("D7\u00E9")));
    EXPECT_TRUE(xml.contains("font-style=\"italic\""));
    EXPECT_TRUE(xml.contains("#ff0000")) << "0x0000FF is red";
    // Its coordinates are the metafile's, moved so the frame starts at 2 mm.
    EXPECT_TRUE(xml.contains("<rect x=\"200\" y=\"200\" width=\"2540\" height=\"2540\""));
    EXPECT_TRUE(xml.contains("d=\"M2740 500L3100 700\""));
}

TEST_F(ExportTest, PngIsPaintedInTilesWithoutSeams) {
    // A line 10 cm long crosses several bands of rows, one 40 cm long two
    // tiles of columns; a text cell straddles a band's edge, another a
    // tile's.
    const QImage png(QString::fromStdString(Draw("tall.png", [](Surface& s) {
        s.SetMapMode(MappingMode::HiMetric);
        s.MoveTo(0, 0);
        s.LineTo(0, -10000);
        s.MoveTo(0, -5000);
        s.LineTo(40000, -5000);
        s.TextOut(100, -1800, "WWWWWWWWWWWWWWWW");
        s.TextOut(34200, -2800, "WWWWWWWW");
    })));
    // 100 mm by 400 mm and 2 mm of room on every side.
    ASSERT_EQ(png.height(), 1229);
    ASSERT_EQ(png.width(), 4772);
    const auto dark = [&png](int x, int y) { return png.pixelColor(x, y).lightness() < 100; };
    for (int y = 25; y < png.height() - 25; ++y) {
        ASSERT_TRUE(dark(23, y)) << "row " << y;
    }
    const int lineRow = 614; // 5 cm and the room down
    for (int x = 25; x < png.width() - 25; ++x) {
        ASSERT_TRUE(dark(x, lineRow) || dark(x, lineRow - 1) || dark(x, lineRow + 1))
            << "column " << x;
    }
    // The texts carry ink on both sides of the edges at row 256 and column
    // 4096.
    const auto inkInRow = [&](int y) {
        for (int x = 1; x < 2000; ++x) {
            if (dark(x, y)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inkInRow(250));
    EXPECT_TRUE(inkInRow(262));
    const auto inkInColumn = [&](int x) {
        for (int y = 340; y < 400; ++y) {
            if (dark(x, y)) {
                return true;
            }
        }
        return false;
    };
    EXPECT_TRUE(inkInColumn(4090));
    EXPECT_TRUE(inkInColumn(4100));
}

TEST_F(ExportTest, APngOfTooManyPixelsIsRefusedBeforeAnyPainting) {
    const std::string path = dir_.filePath("huge.png").toStdString();
    auto canvas = CreateFileCanvas(path);
    canvas->surface().SetMapMode(MappingMode::HiMetric);
    canvas->surface().Rectangle(0, 0, 2000000000, -2000000);
    // Painting 55 billion pixels would not end in any time a test waits.
    try {
        canvas->Commit();
        FAIL() << "no error";
    } catch (const KarvelloError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write file \"" + path +
                      "\". The drawing would be a PNG image of 236220520 x 236268 pixels "
                      "(55811350 million) at 300 dpi, more than the 500 million a PNG may have. "
                      "Choose a lower resolution, or draw it as SVG or PDF.");
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(ExportTest, PngResolutionComesFromTheFigureAndSetsThePixelLimit) {
    // A square of 2 m: 561 million pixels at 300 dpi, 5.6 million at 30.
    const auto drawSquare = [this](int dpi) {
        FigureSettings figure;
        figure.Dpi = dpi;
        const std::string path = dir_.filePath("square.png").toStdString();
        auto canvas = CreateFileCanvas(path, figure);
        canvas->surface().SetMapMode(MappingMode::HiMetric);
        canvas->surface().Rectangle(0, 0, 200000, -200000);
        canvas->Commit();
        return QImage(QString::fromStdString(path));
    };
    try {
        drawSquare(300);
        FAIL() << "no error";
    } catch (const KarvelloError& e) {
        EXPECT_NE(std::string(e.what()).find("23670 x 23670 pixels (561 million) at 300 dpi"),
                  std::string::npos)
            << e.what();
    }
    const QImage image = drawSquare(30);
    EXPECT_EQ(image.width(), 2367);
    EXPECT_EQ(image.height(), 2367);
    EXPECT_EQ(image.dotsPerMeterX(), 1181);
}

TEST_F(ExportTest, PdfHoldsRealText) {
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty()) {
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    const std::string pdf = Draw("maps.pdf");
    QProcess process;
    process.start(pdftotext, {QString::fromStdString(pdf), "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(text.contains("T175, M12")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("D7\u00E9"))) << text.toStdString();

    // A name of a UTF-8 table reaches the page as the same characters.
    const std::string utf8 = Draw("utf8.pdf", [](Surface& s) {
        s.SetMapMode(MappingMode::HiMetric);
        s.SetTextEncoding(CharacterEncoding::Utf8);
        s.TextOut(0, 0, "\xCE\xA9-\xC3\xA9t\xC3\xA9");
    });
    process.start(pdftotext, {QString::fromStdString(utf8), "-"});
    ASSERT_TRUE(process.waitForFinished(30000));
    const QString utf8Text = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_TRUE(utf8Text.contains(QString::fromUtf8("\u03A9-\u00E9t\u00E9")))
        << utf8Text.toStdString();

    // The page is the drawing's frame, 2540 + 1 by 2540 + 1 hundredths of
    // a mm plus the text's width, and 2 mm on each side, in whole points.
    const QString pdfinfo = QStandardPaths::findExecutable("pdfinfo");
    if (!pdfinfo.isEmpty()) {
        process.start(pdfinfo, {QString::fromStdString(pdf)});
        ASSERT_TRUE(process.waitForFinished(30000));
        const QString info = QString::fromUtf8(process.readAllStandardOutput());
        const int width = 3100 + MetafileTextMetrics().Width("T175, M12", false) - 100 + 1 + 400;
        const int points = static_cast<int>(std::ceil(width * 72.0 / 2540.0));
        // 2541 + 400 hundredths of a mm are just over 83 points: 84.
        EXPECT_TRUE(info.contains(QString("Page size:       %1 x 84 pts").arg(points)))
            << info.toStdString();
    }
}

TEST_F(ExportTest, AnEmptyDrawingGivesASmallBlankPage) {
    const QImage png(QString::fromStdString(Draw("empty.png", [](Surface&) {})));
    EXPECT_EQ(png.width(), 60); // 1 mm and 2 mm on each side, at 300 dpi
    EXPECT_EQ(png.pixelColor(5, 5), QColor(Qt::white));
    const auto records =
        test::ReadEmfRecords(test::ReadFileBytes(Draw("empty.emf", [](Surface&) {})));
    EXPECT_EQ(test::DecodeHeader(records.front()).frame, (test::EmfRect{0, 0, -1, -1}));
}

} // namespace
} // namespace karvello
