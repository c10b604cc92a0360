// Our BMP reader on hand-made variants and damaged files, and the logo layout of the writer.

#include <gtest/gtest.h>

#include "ImageTestUtils.h"
#include "image/BmpCodec.h"
#include "image/Halftone.h"
#include "platform/Errors.h"

namespace {

using imagetest::Bytes;
using imagetest::PutLe16;
using imagetest::PutLe32;

std::vector<TRGBColour> greys(int count) {
    std::vector<TRGBColour> colours;
    for (int i = 0; i < count; ++i)
        colours.push_back({std::uint8_t(i), std::uint8_t(i), std::uint8_t(i)});
    return colours;
}

TBitmap sample(int width, int height) {
    return imagetest::MakeIndexed(width, height, greys(256),
                                  [](int x, int y) { return std::uint8_t(x * 3 + y * 17); });
}

// An 8-bit file whose pixel data is the given run-length stream.
std::string rleFile(int width, int height, std::initializer_list<int> stream, bool four = false) {
    std::string file = EncodeBmp8(sample(1, 1));
    file.resize(1078);
    for (int byte : stream) file.push_back(char(byte));
    PutLe32(file, 2, std::uint32_t(file.size()));
    PutLe32(file, 18, std::uint32_t(width));
    PutLe32(file, 22, std::uint32_t(height));
    PutLe32(file, 30, four ? 2 : 1);
    if (four) {
        PutLe16(file, 28, 4);
        PutLe32(file, 46, 16);
    }
    PutLe32(file, 34, std::uint32_t(stream.size()));
    return file;
}

TEST(BmpWriter, LogoHasTheExactLayout) {
    TBitmap logo = sample(320, 400);
    logo.XPelsPerMeter = 2835;
    logo.YPelsPerMeter = 2836;
    logo.ImportantColours = 236;
    const std::string file = EncodeBmp8(logo);
    ASSERT_EQ(file.size(), 129078u);
    auto u32 = [&](std::size_t at) {
        return std::uint32_t(std::uint8_t(file[at])) | std::uint8_t(file[at + 1]) << 8 |
               std::uint8_t(file[at + 2]) << 16 | std::uint32_t(std::uint8_t(file[at + 3])) << 24;
    };
    auto u16 = [&](std::size_t at) { return u32(at) & 0xFFFF; };
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(u32(2), 129078u);
    EXPECT_EQ(u32(6), 0u);
    EXPECT_EQ(u32(10), 1078u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 320u);
    EXPECT_EQ(u32(22), 400u);
    EXPECT_EQ(u16(26), 1u);
    EXPECT_EQ(u16(28), 8u);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(u32(34), 128000u);
    EXPECT_EQ(u32(38), 2835u);
    EXPECT_EQ(u32(42), 2836u);
    EXPECT_EQ(u32(46), 256u);
    EXPECT_EQ(u32(50), 236u);
    EXPECT_EQ(u32(54 + 4 * 200), 0x00C8C8C8u);  // blue, green, red, 0
    // Bottom row first.
    EXPECT_EQ(std::uint8_t(file[1078 + 5]), logo.Row(399)[5]);
}

TEST(BmpWriter, ShortColourTableIsFilledWithBlack) {
    TBitmap image = sample(8, 2);
    image.Colours.resize(3);
    for (auto& pixel : image.Pixels) pixel %= 3;
    const std::string file = EncodeBmp8(image);
    EXPECT_EQ(file.size(), 1078u + 16);
    EXPECT_EQ(file.substr(54 + 12, 1024 - 12), std::string(1024 - 12, '\0'));
}

TEST(BmpRoundTrip, LogoReadAndWrittenIsByteIdentical) {
    TBitmap logo = sample(320, 400);
    logo.XPelsPerMeter = 3780;
    logo.YPelsPerMeter = 3780;
    logo.ImportantColours = 236;
    const std::string file = EncodeBmp8(logo);
    const TBitmap read = ReadBmp(Bytes(file));
    EXPECT_EQ(read.Pixels, logo.Pixels);
    EXPECT_EQ(EncodeBmp8(read), file);
}

TEST(BmpReader, RowsOfAnyWidthKeepTheirFiller) {
    for (int width : {1, 2, 3, 5, 127}) {
        const TBitmap image = sample(width, 3);
        EXPECT_EQ(ReadBmp(Bytes(EncodeBmp8(image))).Pixels, image.Pixels) << width;
    }
}

TEST(BmpReader, TopDownRowsReadLikeBottomUp) {
    const std::string bottomUp = imagetest::Encode24(5, 4, [](int x, int y) {
        return TRGBColour{std::uint8_t(x * 50), std::uint8_t(y * 60), 7};
    });
    std::string topDown = bottomUp;
    const std::size_t stride = 16;
    for (int y = 0; y < 4; ++y)
        topDown.replace(54 + y * stride, stride, bottomUp, 54 + (3 - y) * stride, stride);
    PutLe32(topDown, 22, std::uint32_t(-4));
    EXPECT_EQ(imagetest::DecodeToColours(Bytes(topDown)),
              imagetest::DecodeToColours(Bytes(bottomUp)));
    EXPECT_EQ(ReadBmp(Bytes(topDown)).Pixels, ReadBmp(Bytes(bottomUp)).Pixels);
}

TEST(BmpReader, TrueColourIsReducedToTheHalftonePalette) {
    const std::string file = imagetest::Encode24(4, 1, [](int x, int) {
        const TRGBColour colours[] = {{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 102, 204}};
        return colours[x];
    });
    const TBitmap image = ReadBmp(Bytes(file));
    EXPECT_EQ(image.BitsPerPixel, 24);
    EXPECT_EQ(image.Colours, HalftonePalette());
    const std::vector<TRGBColour> shown = {
        image.Colours[image.Pixels[0]], image.Colours[image.Pixels[1]],
        image.Colours[image.Pixels[2]], image.Colours[image.Pixels[3]]};
    EXPECT_EQ(shown,
              (std::vector<TRGBColour>{{0, 0, 0}, {255, 255, 255}, {255, 0, 0}, {0, 102, 204}}));
}

TEST(BmpReader, ShortColourTableIsPaddedSoEveryIndexIsValid) {
    const std::string file = imagetest::EncodePaletted(
        4, 6, 2, greys(3), [](int x, int) { return std::uint8_t(x * 2); });
    const TBitmap image = ReadBmp(Bytes(file));
    EXPECT_EQ(image.BitsPerPixel, 4);
    ASSERT_EQ(image.Colours.size(), 16u);
    EXPECT_EQ(image.Colours[2], (TRGBColour{2, 2, 2}));
    EXPECT_EQ(image.Colours[10], TRGBColour{});
    EXPECT_EQ(image.Pixels[5], 10);
}

TEST(BmpReader, Os2HeaderWithThreeByteColours) {
    std::string file(14 + 12 + 6 + 4, '\0');
    file[0] = 'B';
    file[1] = 'M';
    PutLe32(file, 10, 32);
    PutLe32(file, 14, 12);
    PutLe16(file, 18, 3);  // width
    PutLe16(file, 20, 1);  // height
    PutLe16(file, 22, 1);
    PutLe16(file, 24, 1);
    const char table[] = {'\x10', '\x20', '\x30', '\x40', '\x50', '\x60'};
    file.replace(26, 6, table, 6);
    file[32] = char(0xA0);  // 1 0 1
    const auto colours = imagetest::DecodeToColours(Bytes(file));
    EXPECT_EQ(colours, (std::vector<TRGBColour>{
                           {0x60, 0x50, 0x40}, {0x30, 0x20, 0x10}, {0x60, 0x50, 0x40}}));
}

TEST(BmpReader, Rle8RunsLiteralsJumpsAndLineEnds) {
    // Bottom row: run of 3 x 7, literal 1 2 3; next row: jump 2 right, run of 1 x 9; end.
    const std::string file = rleFile(6, 2, {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 2, 0, 1, 9, 0, 1});
    const TBitmap image = ReadBmp(Bytes(file));
    EXPECT_EQ(image.Pixels, (std::vector<std::uint8_t>{0, 0, 9, 0, 0, 0, 7, 7, 7, 1, 2, 3}));
}

TEST(BmpReader, Rle4AlternatesNibbles) {
    const std::string file = rleFile(5, 1, {5, 0x12, 0, 1}, true);
    const TBitmap image = ReadBmp(Bytes(file));
    EXPECT_EQ(image.BitsPerPixel, 4);
    EXPECT_EQ(image.Pixels, (std::vector<std::uint8_t>{1, 2, 1, 2, 1}));
}

struct DamagedFile {
    const char* fault;
    std::function<std::string()> make;
};

void PrintTo(const DamagedFile& file, std::ostream* out) {
    *out << file.fault;
}

std::string logoFile() {
    return EncodeBmp8(sample(16, 8));
}

std::string edited(std::size_t offset, std::uint32_t value) {
    std::string file = logoFile();
    PutLe32(file, offset, value);
    return file;
}

std::string edited16(std::size_t offset, std::uint16_t value) {
    std::string file = logoFile();
    PutLe16(file, offset, value);
    return file;
}

std::string trueColourWithMasks(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
    std::string file = imagetest::Encode24(2, 2, [](int, int) { return TRGBColour{}; });
    PutLe16(file, 28, 32);
    PutLe32(file, 30, 3);
    std::string masks(12, '\0');
    PutLe32(masks, 0, red);
    PutLe32(masks, 4, green);
    PutLe32(masks, 8, blue);
    file.insert(54, masks);
    file.append(16, '\0');
    PutLe32(file, 10, 66);
    return file;
}

class DamagedFiles : public ::testing::TestWithParam<DamagedFile> {};

TEST_P(DamagedFiles, AreRefusedAsInvalidPictures) {
    const std::string file = GetParam().make();
    EXPECT_THROW(ReadBmp(Bytes(file)), platform::EInvalidGraphic);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedFiles,
    ::testing::Values(
        DamagedFile{"zero_bytes", [] { return std::string(); }},
        DamagedFile{"no_signature", [] { return "XY" + logoFile().substr(2); }},
        DamagedFile{"cut_in_the_header", [] { return logoFile().substr(0, 30); }},
        DamagedFile{"cut_in_the_pixels",
                    [] {
                        std::string f = logoFile();
                        f.resize(f.size() - 20);
                        return f;
                    }},
        DamagedFile{"claims_100000_by_100000",
                    [] {
                        std::string f = edited(18, 100000);
                        PutLe32(f, 22, 100000);
                        return f;
                    }},
        DamagedFile{"claims_100000_by_100000_rle",
                    [] {
                        return rleFile(100000, 100000, {0, 1});
                    }},
        DamagedFile{"negative_width", [] { return edited(18, std::uint32_t(-16)); }},
        DamagedFile{"zero_width", [] { return edited(18, 0); }},
        DamagedFile{"zero_height", [] { return edited(22, 0); }},
        DamagedFile{"most_negative_height", [] { return edited(22, 0x80000000u); }},
        DamagedFile{"pixel_offset_past_the_end", [] { return edited(10, 200000); }},
        DamagedFile{"pixel_offset_inside_the_header", [] { return edited(10, 20); }},
        DamagedFile{"unknown_header_size", [] { return edited(14, 44); }},
        DamagedFile{"header_size_past_the_end", [] { return edited(14, 0xFFFFFFF0u); }},
        DamagedFile{"two_planes", [] { return edited16(26, 2); }},
        DamagedFile{"seven_bits_per_pixel", [] { return edited16(28, 7); }},
        DamagedFile{"sixty_four_bits_per_pixel", [] { return edited16(28, 64); }},
        DamagedFile{"embedded_jpeg", [] { return edited(30, 4); }},
        DamagedFile{"rle4_with_eight_bits", [] { return edited(30, 2); }},
        DamagedFile{"colour_table_larger_than_the_file", [] { return edited(46, 0x12345678); }},
        DamagedFile{"rle_run_past_the_row",
                    [] {
                        return rleFile(6, 2, {200, 1, 0, 1});
                    }},
        DamagedFile{"rle_literal_past_the_row",
                    [] {
                        return rleFile(2, 1, {0, 4, 1, 2, 3, 4, 0, 1});
                    }},
        DamagedFile{"rle_literal_past_the_data",
                    [] {
                        return rleFile(6, 2, {0, 5, 1, 2});
                    }},
        DamagedFile{"rle_jump_past_the_bottom",
                    [] {
                        return rleFile(6, 2, {0, 2, 0, 5, 1, 1});
                    }},
        DamagedFile{"rle_jump_past_the_row",
                    [] {
                        return rleFile(6, 2, {0, 2, 9, 0, 1, 1});
                    }},
        DamagedFile{"rle_rows_past_the_top",
                    [] {
                        return rleFile(2, 1, {2, 1, 0, 0, 2, 1, 0, 1});
                    }},
        DamagedFile{"rle_top_down",
                    [] {
                        std::string f = rleFile(6, 2, {0, 1});
                        PutLe32(f, 22, std::uint32_t(-2));
                        return f;
                    }},
        DamagedFile{"overlapping_masks", [] { return trueColourWithMasks(0xFF00, 0x0FF0, 0xFF); }},
        DamagedFile{"mask_with_gaps",
                    [] { return trueColourWithMasks(0xF0F00000, 0xFF00, 0xFF); }}));

TEST(HalftonePalette, EveryColourIsDistinctAndFindsItself) {
    const auto& palette = HalftonePalette();
    ASSERT_EQ(palette.size(), 256u);
    const THalftoneMatcher matcher;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) ASSERT_NE(palette[i], palette[j]) << i << " " << j;
        const TRGBColour c = palette[i];
        EXPECT_EQ(palette[matcher.Index(c.red, c.green, c.blue)], c) << i;
    }
}

}  // namespace
