// The startup logo's colours from the index in byte 0x32 up to 255 rotate as on a booting
// machine.

#include <gmock/gmock.h>

#include <QCheckBox>
#include <algorithm>

#include "UiTest.h"
#include "image/Bitmap.h"
#include "image/BmpCodec.h"
#include "ui/LogoPreview.h"
#include "ui/view.h"

namespace uitest {
namespace {

constexpr int Bar = 236;

// Column x of every row shows colour index x % 256; colour i is (i, 255 - i, 0).
TBitmap BarLogo(std::uint32_t firstRotating) {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    logo.ImportantColours = firstRotating;
    for (int i = 0; i < 256; ++i)
        logo.Colours.push_back({std::uint8_t(i), std::uint8_t(255 - i), 0});
    logo.Pixels.resize(320 * 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 320; ++x) logo.Row(y)[x] = std::uint8_t(x % 256);
    return logo;
}

// The colour each index shows, read from the picture on show.
std::vector<QRgb> Shown(const TLogoPreview& preview) {
    std::vector<QRgb> colours;
    for (int x = 0; x < 256; ++x) colours.push_back(preview.Image().pixel(x, 0));
    return colours;
}

std::vector<QRgb> OwnColours() {
    std::vector<QRgb> colours;
    for (int i = 0; i < 256; ++i) colours.push_back(qRgb(i, 255 - i, 0));
    return colours;
}

struct RotationCase {
    std::uint32_t firstRotating;  // byte 0x32
    int steps;
};

class PaletteRotationTest : public UiTest, public ::testing::WithParamInterface<RotationCase> {};

TEST_P(PaletteRotationTest, AfterNStepsTheBarShowsItsColoursRotatedNPlaces) {
    const auto [first, steps] = GetParam();
    TLogoPreview preview;
    preview.SetAnimated(true);
    preview.SetLogo(BarLogo(first));
    EXPECT_EQ(preview.Animating(), first != 0);
    for (int i = 0; i < steps; ++i) preview.RotatePalette();

    std::vector<QRgb> expected = OwnColours();
    if (first != 0) {
        const int count = 256 - int(first);
        const int places = ((steps * PaletteRotationStep) % count + count) % count;
        std::rotate(expected.begin() + first, expected.end() - places, expected.end());
    }
    EXPECT_EQ(Shown(preview), expected);

    preview.SetAnimated(false);
    EXPECT_EQ(Shown(preview), OwnColours());
}

INSTANTIATE_TEST_SUITE_P(Steps, PaletteRotationTest,
                         ::testing::Values(RotationCase{Bar, 0}, RotationCase{Bar, 1},
                                           RotationCase{Bar, 7}, RotationCase{Bar, 20},
                                           RotationCase{Bar, 33}, RotationCase{250, 4},
                                           RotationCase{0, 5}));

// Only the startup logo moves on a booting machine, so only its dialog animates.
TEST_F(UiTest, TheStartupViewAnimatesItsLogoUnlessTold) {
    for (TLogoKind kind : AllLogoKinds) {
        WriteFile(ListHost(kind), "");
        WriteFile(LogoHost(kind), EncodeBmp8(BarLogo(Bar)));
    }
    TViewBootDlg boot;
    auto* animate = Child<QCheckBox>(boot, "AnimateBox");
    EXPECT_TRUE(animate->isVisibleTo(&boot));
    EXPECT_TRUE(animate->isEnabled());
    EXPECT_TRUE(Child<TLogoPreview>(boot, "LogoPaintBox")->Animating());
    animate->click();
    EXPECT_FALSE(Child<TLogoPreview>(boot, "LogoPaintBox")->Animating());

    TViewClosingDlg closing;
    EXPECT_FALSE(Child<QCheckBox>(closing, "AnimateBox")->isVisibleTo(&closing));
    EXPECT_FALSE(Child<TLogoPreview>(closing, "LogoPaintBox")->Animating());
}

}  // namespace
}  // namespace uitest
