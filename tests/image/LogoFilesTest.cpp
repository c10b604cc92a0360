// The logo rule on files, loading logos and pictures through the machine's drives.

#include <gtest/gtest.h>

#include "ImageTestUtils.h"
#include "core/ProgErrors.h"
#include "image/BmpCodec.h"
#include "image/BmpTools.h"
#include "image/Halftone.h"
#include "platform/Errors.h"
#include "support/TestEnv.h"

namespace {

using imagetest::MakeIndexed;

std::vector<TRGBColour> rainbow(int count) {
    std::vector<TRGBColour> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back({std::uint8_t(i * 7), std::uint8_t(255 - i), std::uint8_t(i * 3)});
    return colours;
}

std::string logoBytes() {
    return EncodeBmp8(
        MakeIndexed(320, 400, rainbow(256), [](int x, int y) { return std::uint8_t(x ^ y); }));
}

class LogoFiles : public testenv::MachineTest {
protected:
    // Writes a file on drive C: and returns its Windows path.
    std::string put(const std::string& name, const std::string& contents) {
        WriteFile(DriveC() / name, contents);
        return Win(DriveC() / name);
    }
};

TEST(ColourCount, FollowsTheKindOfPicture) {
    const std::pair<int, std::int32_t> bits[] = {
        {1, 2}, {2, 4}, {4, 16}, {8, 256}, {16, 65536}, {24, 16777216}, {32, 16777216}, {0, 0}};
    for (auto [depth, count] : bits) {
        TBitmap image;
        image.BitsPerPixel = depth;
        EXPECT_EQ(ColourCount(image), count) << depth;
    }
    TBitmap jpeg;
    jpeg.BitsPerPixel = 8;
    jpeg.IsJpeg = true;
    EXPECT_EQ(ColourCount(jpeg), 16777216);
}

TEST(IsLogoImage, NeedsLogoSizeAnd256Colours) {
    auto image = [](int width, int height, int bits) {
        TBitmap b;
        b.Width = width;
        b.Height = height;
        b.BitsPerPixel = bits;
        return b;
    };
    const TBitmap logo = image(320, 400, 8);
    EXPECT_TRUE(IsLogoImage(&logo));
    for (const TBitmap& other :
         {image(320, 400, 4), image(320, 400, 24), image(400, 320, 8), image(320, 401, 8)})
        EXPECT_FALSE(IsLogoImage(&other));
    TBitmap jpeg = logo;
    jpeg.IsJpeg = true;
    EXPECT_FALSE(IsLogoImage(&jpeg));
    EXPECT_FALSE(IsLogoImage(nullptr));
}

TEST_F(LogoFiles, LogoRuleIgnoresNameTableSizeAndCompression) {
    EXPECT_TRUE(IsLogoFile(put("logo.txt", logoBytes())));
    const std::string shortTable = EncodeBmp8(
        MakeIndexed(320, 400, rainbow(16), [](int x, int) { return std::uint8_t(x % 16); }));
    std::string cut = shortTable;
    imagetest::PutLe32(cut, 46, 16);
    cut.erase(54 + 64, 1024 - 64);
    imagetest::PutLe32(cut, 10, 54 + 64);
    EXPECT_TRUE(IsLogoFile(put("short.bmp", cut)));
    // Run-length encoded: every row one run of 320 pixels, in two pieces.
    std::string rle = logoBytes().substr(0, 1078);
    for (int y = 0; y < 400; ++y) rle += std::string("\xA0\x05\xA0\x06\x00\x00", 6);
    rle += std::string("\x00\x01", 2);
    imagetest::PutLe32(rle, 30, 1);
    EXPECT_TRUE(IsLogoFile(put("rle.sys", rle)));
}

TEST_F(LogoFiles, NoLogoWithoutAnyMessage) {
    EXPECT_FALSE(IsLogoFile(put(
        "wide.bmp", EncodeBmp8(MakeIndexed(400, 320, rainbow(256), [](int, int) { return 1; })))));
    EXPECT_FALSE(IsLogoFile(put("deep.bmp", imagetest::Encode24(320, 400, [](int, int) {
                                    return TRGBColour{1, 2, 3};
                                }))));
    EXPECT_FALSE(
        IsLogoFile(put("four.bmp", imagetest::EncodePaletted(4, 320, 400, rainbow(16),
                                                             [](int, int) { return 3; }))));
    EXPECT_FALSE(IsLogoFile(put("damaged.bmp", logoBytes().substr(0, 5000))));
    EXPECT_FALSE(IsLogoFile("C:\\missing.sys"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(LogoFiles, LoadLogoOfALogo) {
    TBitmap image;
    TSize size;
    LoadLogo(put("logo.sys", logoBytes()), image, size);
    EXPECT_EQ(size, (TSize{320, 400}));
    EXPECT_EQ(EncodeBmp8(image), logoBytes());
}

TEST_F(LogoFiles, LoadLogoOfAMissingFileLeavesItEmpty) {
    TBitmap image = MakeIndexed(2, 2, rainbow(2), [](int, int) { return 1; });
    TSize size{5, 5};
    EXPECT_THROW(LoadLogo("C:\\WINDOWS\\logow.sys", image, size), platform::EFOpenError);
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(size, TSize{});
}

TEST_F(LogoFiles, LoadLogoOfAnotherBitmapNamesTheFile) {
    TBitmap image;
    TSize size;
    const std::string path =
        put("big.bmp", EncodeBmp8(MakeIndexed(640, 480, rainbow(256), [](int, int) { return 1; })));
    try {
        LoadLogo(path, image, size);
        FAIL() << "no error";
    } catch (const EInvalidLogo& error) {
        EXPECT_EQ(error.Message(), "File \"big.bmp\" is no valid Logo.");
    }
    EXPECT_TRUE(image.Empty());
    EXPECT_EQ(size, TSize{});
}

class LoadPictureTest : public LogoFiles {
protected:
    void SetUp() override {
        THourglass::SetCursorHandler([this](bool busy) { cursor.push_back(busy); });
    }
    void TearDown() override { THourglass::SetCursorHandler({}); }

    std::unique_ptr<TBitmap> load(const std::string& path) {
        return LoadPicture(path, colours, {}, TLogoFiles::Allowed);
    }

    void expectCleanedUp() {
        EXPECT_FALSE(THourglass::Busy());
        EXPECT_EQ(cursor, (std::vector<bool>{true, false}));
    }

    std::int32_t colours = -1;
    std::vector<bool> cursor;
};

TEST_F(LoadPictureTest, EightBitBitmapKeepsItsOwnColours) {
    const TBitmap picture =
        MakeIndexed(50, 40, rainbow(100), [](int x, int y) { return std::uint8_t((x + y) % 100); });
    const auto image = load(put("pic.BMP", EncodeBmp8(picture)));
    EXPECT_EQ(colours, 256);
    EXPECT_EQ(image->Pixels, picture.Pixels);
    EXPECT_EQ(std::vector<TRGBColour>(image->Colours.begin(), image->Colours.begin() + 100),
              picture.Colours);
    expectCleanedUp();
}

TEST_F(LoadPictureTest, OtherDepthsGetTheHalftonePalette) {
    const std::vector<TRGBColour> two = {{0, 0, 0}, {255, 255, 255}};
    const auto oneBit = load(
        put("one.bmp", imagetest::EncodePaletted(1, 9, 3, two, [](int x, int) { return x % 2; })));
    EXPECT_EQ(colours, 2);
    EXPECT_EQ(oneBit->BitsPerPixel, 8);
    EXPECT_EQ(oneBit->Colours, HalftonePalette());
    EXPECT_EQ(oneBit->Colours[oneBit->Pixels[1]], (TRGBColour{255, 255, 255}));
    const auto deep = load(put("deep.bmp", imagetest::Encode24(9, 3, [](int, int) {
                                   return TRGBColour{255, 0, 0};
                               })));
    EXPECT_EQ(colours, 16777216);
    EXPECT_EQ(deep->BitsPerPixel, 8);
    EXPECT_EQ(deep->Colours[deep->Pixels[4]], (TRGBColour{255, 0, 0}));
}

TEST_F(LoadPictureTest, LogoFilesLoadAsBitmapsOnlyWhereAllowed) {
    const std::string logo = put("LOGO.SYS", logoBytes());
    const auto image = load(logo);
    EXPECT_EQ(colours, 256);
    EXPECT_EQ(EncodeBmp8(*image), logoBytes());
    expectCleanedUp();

    EXPECT_EQ(FindPictureFormat("Sys", TLogoFiles::Allowed)->Description, "Logo file");
    EXPECT_EQ(FindPictureFormat("sys", TLogoFiles::Refused), nullptr);
    try {
        LoadPicture(logo, colours, {}, TLogoFiles::Refused);
        FAIL() << "no error";
    } catch (const platform::EInvalidGraphic& error) {
        EXPECT_EQ(error.Message(), "Unknown picture file extension (.SYS)");
    }
}

TEST_F(LoadPictureTest, UnknownExtensionIsAnInvalidPicture) {
    try {
        load(put("photo.png", "whatever"));
        FAIL() << "no error";
    } catch (const platform::EInvalidGraphic& error) {
        EXPECT_EQ(error.Message(), "Unknown picture file extension (.png)");
    }
    expectCleanedUp();
}

TEST_F(LoadPictureTest, ErrorsLeaveAsTheReaderRaisedThem) {
    EXPECT_THROW(load("C:\\nothing.bmp"), platform::EFOpenError);
    EXPECT_THROW(load(put("empty.bmp", "")), platform::EInvalidGraphic);
    EXPECT_THROW(load(put("photo.jpg", logoBytes())), platform::EInvalidGraphic);
    EXPECT_THROW(load(put("logo.jpeg", "\xFF\xD8\xFF")), platform::EInvalidGraphic);
    EXPECT_FALSE(THourglass::Busy());
}

// Sound headers of the two kinds: an icon directory with one entry, an enhanced metafile's
// header record, a placeable metafile's key and checksum.
std::string iconFile() {
    std::string file(6 + 16, '\0');
    file[2] = 1;
    file[4] = 1;
    return file;
}

std::string enhancedMetafile() {
    std::string file(100, '\0');
    imagetest::PutLe32(file, 0, 1);
    imagetest::PutLe32(file, 40, 0x464D4520);
    return file;
}

std::string placeableMetafile() {
    std::string file(40, '\0');
    imagetest::PutLe32(file, 0, 0x9AC6CDD7);
    imagetest::PutLe16(file, 14, 1440);
    imagetest::PutLe16(file, 20, 0xCDD7 ^ 0x9AC6 ^ 1440);
    return file;
}

TEST_F(LoadPictureTest, IconsAndMetafilesCannotBecomeBitmaps) {
    for (auto [name, contents, kind] : {std::tuple{"app.ico", iconFile(), "TIcon"},
                                        std::tuple{"a.emf", enhancedMetafile(), "TMetafile"},
                                        std::tuple{"a.wmf", placeableMetafile(), "TMetafile"}}) {
        cursor.clear();
        colours = -1;
        try {
            load(put(name, contents));
            FAIL() << name;
        } catch (const platform::EConvertError& error) {
            EXPECT_EQ(error.Message(), std::string("Cannot assign a ") + kind + " to a TBitmap");
        }
        EXPECT_EQ(colours, 0) << name;
        expectCleanedUp();
    }
}

TEST_F(LoadPictureTest, DamagedIconsAndMetafilesAreInvalidPictures) {
    std::string wrongChecksum = placeableMetafile();
    wrongChecksum[20] ^= 1;
    std::string cutDirectory = iconFile();
    cutDirectory.resize(20);
    for (auto [name, contents] : {std::pair<std::string, std::string>{"app.ico", "icon"},
                                  {"cut.ico", cutDirectory},
                                  {"a.emf", "EMF"},
                                  {"a.wmf", wrongChecksum}})
        EXPECT_THROW(load(put(name, contents)), platform::EInvalidGraphic) << name;
}

}  // namespace
