// JPEG decoding: index for index and colour for colour what `djpeg -colors 236 -bmp` makes
// of the same file; grey tables for grey pictures; damaged and truncated files refused.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "ImageTestUtils.h"
#include "core/ProgErrors.h"
#include "image/BmpCodec.h"
#include "image/Jpeg.h"
#include "platform/Errors.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using imagetest::Bytes;
using imagetest::ReadHostFile;

// A picture with smooth gradients and hard edges, as a binary PPM (or PGM for grey).
void writeNetpbm(const fs::path& path, int width, int height, bool grey) {
    std::ofstream out(path, std::ios::binary);
    out << (grey ? "P5\n" : "P6\n") << width << " " << height << "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double t = std::sin(x * 0.05) * std::cos(y * 0.07);
            const auto red = std::uint8_t(127 + 120 * t);
            const auto green = std::uint8_t(x * 255 / width);
            const auto blue = std::uint8_t((x / 16 + y / 16) % 2 ? 230 : y * 200 / height);
            if (grey)
                out.put(char((red + green + blue) / 3));
            else
                out << char(red) << char(green) << char(blue);
        }
}

class JpegFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!imagetest::HaveTool("djpeg") || !imagetest::HaveTool("cjpeg"))
            GTEST_SKIP() << "djpeg and cjpeg (libjpeg-turbo-progs) are not installed";
    }

    fs::path makeJpeg(const std::string& name, int width, int height, bool grey,
                      const std::string& options = "") {
        const fs::path source = temp_.Path() / (name + (grey ? ".pgm" : ".ppm"));
        const fs::path jpeg = temp_.Path() / (name + ".jpg");
        writeNetpbm(source, width, height, grey);
        EXPECT_EQ(imagetest::RunCommand("cjpeg -quality 85 " + options + " -outfile '" +
                                        jpeg.string() + "' '" + source.string() + "'"),
                  0);
        return jpeg;
    }

    std::vector<fs::path> suppliedJpegs() {
        std::vector<fs::path> files;
        const fs::path data = testenv::TestDataDir();
        if (data.empty())
            return files;
        for (const char* folder : {"jpeg/libjpeg-turbo", "jpeg/jpeg-decoder/good"})
            for (const auto& entry : fs::directory_iterator(data / folder))
                if (entry.path().extension() == ".jpg")
                    files.push_back(entry.path());
        return files;
    }

    // True when djpeg decodes the file; then our picture must be the same.
    bool expectSameAsDjpeg(const fs::path& jpeg) {
        const fs::path reference = temp_.Path() / (jpeg.stem().string() + "-djpeg.bmp");
        if (imagetest::RunCommand("djpeg -colors 236 -bmp -outfile '" + reference.string() + "' '" +
                                  jpeg.string() + "' 2>'" + (temp_.Path() / "warnings").string() +
                                  "'") != 0)
            return false;
        const std::string data = ReadHostFile(jpeg);
        const TBitmap ours = DecodeJpeg(Bytes(data), {});
        const TBitmap theirs = ReadBmp(Bytes(ReadHostFile(reference)));
        EXPECT_EQ(ours.Width, theirs.Width) << jpeg;
        EXPECT_EQ(ours.Height, theirs.Height) << jpeg;
        EXPECT_TRUE(ours.Pixels == theirs.Pixels) << jpeg;
        EXPECT_LE(ours.Colours.size(), std::size_t(kJpegColours)) << jpeg;
        for (std::size_t i = 0; i < theirs.Colours.size(); ++i) {
            const TRGBColour want = i < ours.Colours.size() ? ours.Colours[i] : TRGBColour{};
            EXPECT_EQ(theirs.Colours[i], want) << jpeg << " entry " << i;
        }
        return true;
    }

    testenv::TempDir temp_;
};

TEST_F(JpegFiles, GeneratedPicturesDecodeLikeDjpeg) {
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("colour", 320, 400, false)));
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("odd", 333, 77, false)));
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("wide", 1021, 13, false, "-sample 1x1")));
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("progressive", 250, 190, false, "-progressive")));
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("arithmetic", 120, 90, false, "-arithmetic")));
    EXPECT_TRUE(expectSameAsDjpeg(makeJpeg("grey", 200, 150, true)));
}

TEST_F(JpegFiles, SuppliedPicturesDecodeLikeDjpegOrAreRefused) {
    const auto files = suppliedJpegs();
    if (files.empty())
        GTEST_SKIP() << "test pictures folder (BOOTRAMA_TESTDATA) is absent";
    for (const fs::path& jpeg : files) {
        if (expectSameAsDjpeg(jpeg))
            continue;
        const std::string data = ReadHostFile(jpeg);
        EXPECT_THROW(DecodeJpeg(Bytes(data), {}), platform::EInvalidGraphic) << jpeg;
    }
}

TEST_F(JpegFiles, GreyPicturesGetGreyTables) {
    const std::string data = ReadHostFile(makeJpeg("greytable", 64, 64, true));
    const TBitmap image = DecodeJpeg(Bytes(data), {});
    ASSERT_FALSE(image.Colours.empty());
    for (const TRGBColour& colour : image.Colours) {
        EXPECT_EQ(colour.red, colour.green);
        EXPECT_EQ(colour.green, colour.blue);
    }
}

TEST_F(JpegFiles, PicturesThatEndEarlyAreRefused) {
    const std::string data = ReadHostFile(makeJpeg("whole", 160, 120, false));
    for (std::size_t length : {std::size_t(0), std::size_t(2), std::size_t(100), data.size() / 3,
                               data.size() / 2, data.size() - 10}) {
        const std::string cut = data.substr(0, length);
        EXPECT_THROW(DecodeJpeg(Bytes(cut), {}), platform::EInvalidGraphic) << length;
    }
}

TEST_F(JpegFiles, ProgressRunsFromStartToEnd) {
    const std::string data = ReadHostFile(makeJpeg("progress", 400, 300, false));
    std::vector<std::pair<TProgressStage, int>> events;
    DecodeJpeg(Bytes(data),
               [&](TProgressStage stage, int percent) { events.emplace_back(stage, percent); });
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front(), std::pair(TProgressStage::psStarting, 0));
    EXPECT_EQ(events.back(), std::pair(TProgressStage::psEnding, 100));
    for (std::size_t i = 1; i + 1 < events.size(); ++i) {
        EXPECT_EQ(events[i].first, TProgressStage::psRunning);
        EXPECT_GE(events[i].second, events[i - 1].second);
        EXPECT_LE(events[i].second, 100);
    }
}

TEST_F(JpegFiles, ProgressHandlerCanAbort) {
    const std::string data = ReadHostFile(makeJpeg("abort", 400, 300, false));
    int calls = 0;
    EXPECT_THROW(DecodeJpeg(Bytes(data),
                            [&](TProgressStage stage, int) {
                                if (stage == TProgressStage::psRunning && ++calls == 2)
                                    throw EQuietException("");
                            }),
                 EQuietException);
    // The decoder is usable again afterwards.
    EXPECT_EQ(DecodeJpeg(Bytes(data), {}).Width, 400);
}

TEST(JpegDamaged, SuppliedBadFilesNeverCrash) {
    const fs::path data = testenv::TestDataDir();
    if (data.empty())
        GTEST_SKIP() << "test pictures folder (BOOTRAMA_TESTDATA) is absent";
    for (const auto& entry : fs::directory_iterator(data / "jpeg/jpeg-decoder/bad")) {
        if (entry.path().extension() != ".jpg")
            continue;
        const std::string file = ReadHostFile(entry.path());
        try {
            const TBitmap image = DecodeJpeg(Bytes(file), {});
            EXPECT_EQ(image.Pixels.size(), std::size_t(image.Width) * image.Height);
        } catch (const platform::EInvalidGraphic&) {
        }
    }
}

TEST_F(JpegFiles, HugeDimensionsInASmallFileAreRefusedBeforeDecoding) {
    std::string data = ReadHostFile(makeJpeg("huge", 64, 64, false));
    const auto frame = data.find("\xFF\xC0");
    ASSERT_NE(frame, std::string::npos);
    for (std::size_t at : {frame + 5, frame + 7}) data.replace(at, 2, "\xFD\xE8");  // 65000
    EXPECT_THROW(DecodeJpeg(Bytes(data), {}), platform::EInvalidGraphic);
}

}  // namespace
