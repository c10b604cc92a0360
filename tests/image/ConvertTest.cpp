// Fitting pictures into the logo: the source rectangle of every method and every row of the
// worked results, and what the pixels show.

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "ImageTestUtils.h"
#include "core/ProgErrors.h"
#include "image/BmpTools.h"

namespace {

using imagetest::MakeIndexed;

constexpr std::uint8_t kBlack = 255;

// 240 cells of distinct colours, none of them black; index 255 is black.
std::vector<TRGBColour> cellColours() {
    std::vector<TRGBColour> colours(256);
    for (int i = 0; i < 255; ++i) colours[i] = {std::uint8_t(10 + i % 240), std::uint8_t(i), 200};
    return colours;
}

TBitmap cellPicture(int width, int height) {
    return MakeIndexed(width, height, cellColours(), [&](int x, int y) {
        return std::uint8_t(x * 16 / width * 15 + y * 15 / height);
    });
}

// Within a pixel of a cell border or the picture's edge, where sampling may go either way.
bool nearBorder(double position, int size, int cells) {
    for (int k = 0; k <= cells; ++k)
        if (std::abs(position - double(k) * size / cells) < 1.0)
            return true;
    return false;
}

struct WorkedRow {
    int width;
    int height;
    bool aspect;
    TSourceRect stretched, cropped, zoomed;
};

void PrintTo(const WorkedRow& row, std::ostream* out) {
    *out << row.width << "x" << row.height << (row.aspect ? " with" : " without");
}

class WorkedResults : public ::testing::TestWithParam<WorkedRow> {
protected:
    static TSourceRect expected(TStretchMode mode) {
        const WorkedRow& row = GetParam();
        return mode == TStretchMode::stretch ? row.stretched
               : mode == TStretchMode::crop  ? row.cropped
                                             : row.zoomed;
    }
};

TEST_P(WorkedResults, SourceRectangle) {
    const WorkedRow& row = GetParam();
    for (TStretchMode mode : {TStretchMode::stretch, TStretchMode::crop, TStretchMode::zoom})
        EXPECT_EQ(LogoSourceRect(row.width, row.height, row.aspect, mode), expected(mode))
            << "method " << int(mode);
}

// Every logo pixel shows the cell of the picture its rectangle position falls in, or black
// outside the picture.
TEST_P(WorkedResults, Pixels) {
    const WorkedRow& row = GetParam();
    const TBitmap picture = cellPicture(row.width, row.height);
    for (TStretchMode mode : {TStretchMode::stretch, TStretchMode::crop, TStretchMode::zoom}) {
        const TSourceRect rect = expected(mode);
        const auto logo = ConvertToLogo(picture, row.aspect, mode);
        ASSERT_EQ(logo->Width, 320);
        ASSERT_EQ(logo->Height, 400);
        ASSERT_EQ(logo->BitsPerPixel, 8);
        EXPECT_EQ(logo->Colours, picture.Colours);
        int checked = 0, wrong = 0;
        for (int y = 0; y < 400; ++y) {
            const double sy = rect.Y + (y + 0.5) * rect.Height / 400.0;
            if (nearBorder(sy, row.height, 15))
                continue;
            for (int x = 0; x < 320; ++x) {
                const double sx = rect.X + (x + 0.5) * rect.Width / 320.0;
                if (nearBorder(sx, row.width, 16))
                    continue;
                const bool inside = sx >= 0 && sx < row.width && sy >= 0 && sy < row.height;
                const std::uint8_t want =
                    inside ? std::uint8_t(int(sx * 16 / row.width) * 15 + int(sy * 15 / row.height))
                           : kBlack;
                ++checked;
                wrong += logo->Row(y)[x] != want;
            }
        }
        EXPECT_GT(checked, 320 * 400 / 2) << "method " << int(mode);
        EXPECT_EQ(wrong, 0) << "method " << int(mode);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, WorkedResults,
    ::testing::Values(
        WorkedRow{640, 480, false, {0, 0, 640, 480}, {160, 40, 320, 400}, {128, 0, 384, 480}},
        WorkedRow{640, 480, true, {0, -6, 640, 492}, {60, 40, 520, 400}, {8, 0, 624, 480}},
        WorkedRow{1024, 768, true, {0, -10, 1024, 788}, {252, 184, 520, 400}, {13, 0, 998, 768}},
        WorkedRow{320, 400, true, {-100, 0, 520, 400}, {-100, 0, 520, 400}, {0, 77, 320, 246}},
        WorkedRow{300, 300, true, {-45, 0, 390, 300}, {-110, -50, 520, 400}, {0, 35, 300, 230}},
        WorkedRow{200, 150, false, {0, 0, 200, 150}, {-60, -125, 320, 400}, {40, 0, 120, 150}}));

int blackRowsAtTop(const TBitmap& logo) {
    int rows = 0;
    while (rows < logo.Height && logo.Row(rows)[160] == kBlack) ++rows;
    return rows;
}

int blackRowsAtBottom(const TBitmap& logo) {
    int rows = 0;
    while (rows < logo.Height && logo.Row(logo.Height - 1 - rows)[160] == kBlack) ++rows;
    return rows;
}

TEST(ConvertToLogo, StretchWithCorrectionGivesBandsOfFiveRows) {
    const auto logo = ConvertToLogo(cellPicture(640, 480), true, TStretchMode::stretch);
    EXPECT_EQ(blackRowsAtTop(*logo), 5);
    EXPECT_EQ(blackRowsAtBottom(*logo), 5);
}

TEST(ConvertToLogo, SmallPictureCroppedIsCentredUnscaledOnBlack) {
    const TBitmap picture = cellPicture(200, 150);
    const auto logo = ConvertToLogo(picture, false, TStretchMode::crop);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 320; ++x) {
            const bool inside = x >= 60 && x < 260 && y >= 125 && y < 275;
            const std::uint8_t want = inside ? picture.Row(y - 125)[x - 60] : kBlack;
            ASSERT_EQ(logo->Row(y)[x], want) << x << "," << y;
        }
}

TEST(ConvertToLogo, LogoSizedPictureStretchedWithoutCorrectionMapsPixelForPixel) {
    const TBitmap picture = MakeIndexed(
        320, 400, cellColours(), [](int x, int y) { return std::uint8_t((x * 7 + y) % 255); });
    const auto logo = ConvertToLogo(picture, false, TStretchMode::stretch);
    EXPECT_EQ(logo->Pixels, picture.Pixels);
}

TEST(ConvertToLogo, OddWidthsCropToAlternatingWindows) {
    EXPECT_EQ(LogoSourceRect(321, 400, false, TStretchMode::crop).Width, 321);
    EXPECT_EQ(LogoSourceRect(323, 400, false, TStretchMode::crop).Width, 319);
    for (int width : {521, 523, 601, 999})
        EXPECT_EQ(LogoSourceRect(width, 400, true, TStretchMode::crop).Width, 519);
}

TEST(ConvertToLogo, BlackIsTheTableEntryNearestToBlack) {
    std::vector<TRGBColour> colours = {{250, 250, 250}, {30, 20, 25}, {200, 0, 0}};
    const auto logo = ConvertToLogo(MakeIndexed(10, 10, colours, [](int, int) { return 0; }), false,
                                    TStretchMode::crop);
    EXPECT_EQ(logo->Row(0)[0], 1);
    EXPECT_EQ(logo->Row(200)[160], 0);
}

// The zoomed rectangle of a sliver rounds to nothing; the logo still shows the picture.
TEST(ConvertToLogo, ZoomOfExtremeProportionsFillsTheLogo) {
    for (auto [width, height] : {std::pair{1, 3000}, {3000, 1}, {1, 1}, {2, 2000}}) {
        const TBitmap picture =
            MakeIndexed(width, height, {{0, 0, 0}, {255, 255, 255}}, [](int, int) { return 1; });
        const auto logo = ConvertToLogo(picture, true, TStretchMode::zoom);
        const std::set<std::uint8_t> shown(logo->Pixels.begin(), logo->Pixels.end());
        EXPECT_EQ(shown, std::set<std::uint8_t>{1}) << width << "x" << height;
    }
}

TEST(ConvertToLogo, EmptyPictureCannotBecomeALogo) {
    EXPECT_THROW(ConvertToLogo(TBitmap{}, false, TStretchMode::stretch), EGDIError);
}

TEST(FitsInsideLogo, BordersAreExclusive) {
    struct Case {
        int width, height;
        bool aspect, fits;
    } cases[] = {{319, 399, false, true},  {320, 399, false, false}, {319, 400, false, false},
                 {519, 399, true, true},   {520, 399, true, false},  {500, 390, true, true},
                 {500, 390, false, false}, {200, 150, false, true},  {640, 480, true, false}};
    for (const Case& c : cases) {
        TBitmap picture;
        picture.Width = c.width;
        picture.Height = c.height;
        EXPECT_EQ(FitsInsideLogo(picture, c.aspect), c.fits) << c.width << "x" << c.height;
    }
}

}  // namespace
