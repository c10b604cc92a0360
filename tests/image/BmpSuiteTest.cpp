// The BMP Suite: good files decode to their reference renderings, bad ones are refused
// (or, where only header fields we never interpret are wrong, load within the file),
// questionable ones load or are refused cleanly.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <filesystem>
#include <set>

#include "ImageTestUtils.h"
#include "image/BmpCodec.h"
#include "platform/Errors.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using imagetest::Bytes;
using imagetest::ReadHostFile;

fs::path suiteDir() {
    const fs::path data = testenv::TestDataDir();
    return data.empty() ? fs::path() : data / "bmpsuite";
}

#define REQUIRE_SUITE()                                                                  \
    if (suiteDir().empty() || !fs::is_directory(suiteDir()))                             \
    GTEST_SKIP() << "BMP Suite not found: the test pictures folder (BOOTRAMA_TESTDATA) " \
                    "is absent"

struct GoodFile {
    const char* name;
    int width;
    int height;
    int bits;
    const char* reference;
};

void PrintTo(const GoodFile& file, std::ostream* out) {
    *out << file.name;
}

class GoodFiles : public ::testing::TestWithParam<GoodFile> {};

TEST_P(GoodFiles, LoadWithDocumentedSizeAndDepth) {
    REQUIRE_SUITE();
    const GoodFile& file = GetParam();
    const std::string data = ReadHostFile(suiteDir() / "g" / file.name);
    const TBitmap image = ReadBmp(Bytes(data));
    EXPECT_EQ(image.Width, file.width);
    EXPECT_EQ(image.Height, file.height);
    EXPECT_EQ(image.BitsPerPixel, file.bits);
    EXPECT_EQ(image.Pixels.size(), std::size_t(file.width) * file.height);
    for (std::uint8_t index : image.Pixels) ASSERT_LT(index, image.Colours.size());
}

TEST_P(GoodFiles, MatchReferenceRendering) {
    REQUIRE_SUITE();
    const GoodFile& file = GetParam();
    const std::string data = ReadHostFile(suiteDir() / "g" / file.name);
    const auto colours = imagetest::DecodeToColours(Bytes(data));
    QImage reference(QString::fromStdString((suiteDir() / "html" / file.reference).string()));
    ASSERT_FALSE(reference.isNull()) << file.reference;
    reference = reference.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(reference.width(), file.width);
    ASSERT_EQ(reference.height(), file.height);
    int different = 0;
    for (int y = 0; y < file.height; ++y)
        for (int x = 0; x < file.width; ++x) {
            const QRgb want = reference.pixel(x, y);
            const TRGBColour got = colours[std::size_t(y) * file.width + x];
            if (got != TRGBColour{std::uint8_t(qRed(want)), std::uint8_t(qGreen(want)),
                                  std::uint8_t(qBlue(want))})
                ++different;
        }
    EXPECT_EQ(different, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Suite, GoodFiles,
    ::testing::Values(GoodFile{"pal1.bmp", 127, 64, 1, "pal1.png"},
                      GoodFile{"pal1bg.bmp", 127, 64, 1, "pal1bg.png"},
                      GoodFile{"pal1wb.bmp", 127, 64, 1, "pal1.png"},
                      GoodFile{"pal4.bmp", 127, 64, 4, "pal4.png"},
                      GoodFile{"pal4gs.bmp", 127, 64, 4, "pal4gs.png"},
                      GoodFile{"pal4rle.bmp", 127, 64, 4, "pal4.png"},
                      GoodFile{"pal8-0.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8gs.bmp", 127, 64, 8, "pal8gs.png"},
                      GoodFile{"pal8nonsquare.bmp", 127, 32, 8, "pal8nonsquare-e.png"},
                      GoodFile{"pal8os2.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8rle.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8topdown.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8v4.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8v5.bmp", 127, 64, 8, "pal8.png"},
                      GoodFile{"pal8w124.bmp", 124, 61, 8, "pal8w124.png"},
                      GoodFile{"pal8w125.bmp", 125, 62, 8, "pal8w125.png"},
                      GoodFile{"pal8w126.bmp", 126, 63, 8, "pal8w126.png"},
                      GoodFile{"rgb16-565.bmp", 127, 64, 16, "rgb16-565.png"},
                      GoodFile{"rgb16-565pal.bmp", 127, 64, 16, "rgb16-565.png"},
                      GoodFile{"rgb16.bmp", 127, 64, 16, "rgb16.png"},
                      GoodFile{"rgb16bfdef.bmp", 127, 64, 16, "rgb16.png"},
                      GoodFile{"rgb24.bmp", 127, 64, 24, "rgb24.png"},
                      GoodFile{"rgb24pal.bmp", 127, 64, 24, "rgb24.png"},
                      GoodFile{"rgb32.bmp", 127, 64, 32, "rgb24.png"},
                      GoodFile{"rgb32bf.bmp", 127, 64, 32, "rgb24.png"},
                      GoodFile{"rgb32bfdef.bmp", 127, 64, 32, "rgb24.png"}));

TEST(BmpSuite, EveryGoodFileIsListed) {
    REQUIRE_SUITE();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(suiteDir() / "g"))
        files += entry.path().extension() == ".bmp";
    EXPECT_EQ(files, 27);
}

// Their only faults are header fields the reader never interprets, or pixels that a
// reader may show in any colour.
const std::set<std::string> kBadButReadable = {"baddens1.bmp",     "baddens2.bmp",
                                               "badbitssize.bmp",  "badfilesize.bmp",
                                               "pal8badindex.bmp", "rgb16-880.bmp"};

TEST(BmpSuite, BadFilesAreRefusedOrStayInsideTheFile) {
    REQUIRE_SUITE();
    int files = 0;
    for (const auto& entry : fs::directory_iterator(suiteDir() / "b")) {
        const std::string name = entry.path().filename().string();
        const std::string data = ReadHostFile(entry.path());
        ++files;
        if (kBadButReadable.count(name)) {
            const TBitmap image = ReadBmp(Bytes(data));
            EXPECT_EQ(image.Width, 127) << name;
            EXPECT_EQ(image.Height, 64) << name;
        } else {
            EXPECT_THROW(ReadBmp(Bytes(data)), platform::EInvalidGraphic) << name;
        }
    }
    EXPECT_EQ(files, 20);
}

TEST(BmpSuite, QuestionableFilesLoadOrAreRefusedCleanly) {
    REQUIRE_SUITE();
    int loaded = 0;
    for (const auto& entry : fs::directory_iterator(suiteDir() / "q")) {
        const std::string data = ReadHostFile(entry.path());
        try {
            const TBitmap image = ReadBmp(Bytes(data));
            EXPECT_EQ(image.Width, 127) << entry.path().filename();
            EXPECT_EQ(image.Height, 64) << entry.path().filename();
            ++loaded;
        } catch (const platform::EInvalidGraphic&) {
        }
    }
    // Most of them are plain variations our reader decodes.
    EXPECT_GE(loaded, 30);
}

// The related "bitmap array" container is not a bitmap.
TEST(BmpSuite, BitmapArrayIsRefused) {
    REQUIRE_SUITE();
    const std::string data = ReadHostFile(suiteDir() / "x" / "ba-bm.bmp");
    EXPECT_THROW(ReadBmp(Bytes(data)), platform::EInvalidGraphic);
}

}  // namespace
