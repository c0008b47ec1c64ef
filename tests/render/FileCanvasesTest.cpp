// The file canvases of render/: which drawings they take, and what the
// metafile and the SVG image they write say of the figure's font.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "render/EmfSurface.h"
#include "render/FileCanvases.h"
#include "tests/support/EmfReader.h"
#include "tests/support/Exceptions.h"

namespace karvello {
namespace {

namespace fs = std::filesystem;

class BuiltInCanvasTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("karvello-render-" +
                std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // Draws a line and a text in the figure's font into the file, and
    // returns the file's bytes.
    std::string Draw(const std::string& name, const FigureSettings& figure) {
        const std::string path = Path(name);
        auto canvas = CreateBuiltInFileCanvas(path, figure);
        canvas->surface().MoveTo(0, 0);
        canvas->surface().LineTo(1000, -500);
        canvas->surface().TextOut(100, -100, "D1Mit64 \xE9");
        canvas->Commit();
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir_;
};

TEST_F(BuiltInCanvasTest, FormatsAndFacesBeyondTheTablesAreLeftToTheFullProgram) {
    for (const char* name : {"maps.pdf", "maps.PNG"}) {
        const std::string message =
            test::ThrownMessage<FullProgramNeeded>([&] { CreateBuiltInFileCanvas(Path(name)); });
        EXPECT_NE(message.find(".emf and .svg"), std::string::npos) << message;
    }
    FigureSettings figure;
    figure.FontFace = "DejaVu Sans";
    const std::string message = test::ThrownMessage<FullProgramNeeded>(
        [&] { CreateBuiltInFileCanvas(Path("maps.emf"), figure); });
    EXPECT_NE(message.find("\"DejaVu Sans\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"Liberation Sans\", \"Arial\""), std::string::npos) << message;
    EXPECT_NE(message.find("\"Courier\""), std::string::npos) << message;

    // A name that is no drawing's is the command's error, not a hand-over.
    EXPECT_THROW(CreateBuiltInFileCanvas(Path("maps.txt")), KarvelloError);
    try {
        CreateBuiltInFileCanvas(Path("maps.txt"));
    } catch (const FullProgramNeeded&) {
        ADD_FAILURE() << "an unknown extension was handed to the full program";
    } catch (const KarvelloError&) {
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(BuiltInCanvasTest, TheMetafileNamesTheFaceAskedForAndMeasuresItsTwin) {
    FigureSettings arial;
    arial.FontFace = "Arial";
    arial.FontHeight = 300;
    FigureSettings liberation = arial;
    liberation.FontFace = "Liberation Sans";
    const std::string arialFile = Draw("arial.emf", arial);
    const std::string liberationFile = Draw("liberation.emf", liberation);

    const auto fontOf = [](const std::string& file) {
        const std::vector<std::uint8_t> bytes(file.begin(), file.end());
        for (const test::EmfRecord& record : test::ReadEmfRecords(bytes)) {
            if (record.type == kEmrExtCreateFontIndirectW) {
                return test::DecodeFont(record);
            }
        }
        ADD_FAILURE() << "no font in the metafile";
        return test::EmfFont{};
    };
    EXPECT_EQ(fontOf(arialFile).face, u"Arial");
    EXPECT_EQ(fontOf(arialFile).height, -300);
    EXPECT_EQ(fontOf(liberationFile).face, u"Liberation Sans");

    const auto advancesOf = [](const std::string& file) {
        const std::vector<std::uint8_t> bytes(file.begin(), file.end());
        for (const test::EmfRecord& record : test::ReadEmfRecords(bytes)) {
            if (record.type == kEmrExtTextOutW) {
                return test::DecodeText(record).dx;
            }
        }
        ADD_FAILURE() << "no text in the metafile";
        return std::vector<std::int32_t>{};
    };
    EXPECT_EQ(advancesOf(arialFile), advancesOf(liberationFile));
    EXPECT_EQ(advancesOf(arialFile),
              BuiltInFigureMeasure("Liberation Sans", 300)->Advances("D1Mit64 \xE9", false));
}

TEST_F(BuiltInCanvasTest, TheSvgImageNamesTheFaceItIsMeasuredInAndItsFileAsTitle) {
    struct Row {
        std::string face;
        int height;
        std::string fontList;
        std::string fontSize;
    };
    const Row rows[] = {
        {"", 0, "'Liberation Sans', 'Arial', 'Helvetica', sans-serif", "282"},
        {"Microsoft Sans Serif", 282,
         "'Microsoft Sans Serif', 'Liberation Sans', 'Arial', 'Helvetica', sans-serif", "282"},
        {"Times New Roman", 350,
         "'Times New Roman', 'Liberation Sans', 'Arial', 'Helvetica', sans-serif", "350"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.face);
        FigureSettings figure;
        figure.FontFace = row.face;
        figure.FontHeight = row.height;
        const std::string file = Draw("chr 1.map.svg", figure);
        EXPECT_NE(file.find("<title>chr 1.map</title>"), std::string::npos) << file;
        EXPECT_NE(
            file.find("font-family=\"" + row.fontList + "\" font-size=\"" + row.fontSize + "\""),
            std::string::npos)
            << file;
        EXPECT_NE(file.find("D1Mit64 \xC3\xA9</text>"), std::string::npos) << file;
    }
}

TEST(FileTitleTest, IsTheNameWithoutFolderOrLastExtension) {
    const std::pair<std::string, std::string> rows[] = {
        {"maps.svg", "maps"},
        {"out/chr.1.svg", "chr.1"},
        {"/tmp/a b/mouse", "mouse"},
        {".svg", ""},
    };
    for (const auto& [path, title] : rows) {
        EXPECT_EQ(FileTitle(path), title) << path;
    }
}

} // namespace
} // namespace karvello
