// Writes pictures of the windows for the documentation when BOOTRAMA_SCREENSHOT_DIR names
// a folder (scripts/screenshots.sh); skipped otherwise.

#include <QCoreApplication>
#include <QTabWidget>
#include <cmath>

#include "UiTest.h"
#include "image/Bitmap.h"
#include "image/BmpCodec.h"
#include "ui/about.h"
#include "ui/options.h"

namespace uitest {
namespace {

// A sky over hills under a sun, in the colours of a kind: something a logo could show.
TBitmap PaintedLogo(int hue) {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) {
        const QColor colour = i < 128 ? QColor::fromHsv(hue, 200, 80 + i)
                              : i < 192
                                  ? QColor::fromHsv((hue + 120) % 360, 180, 60 + (i - 128) * 2)
                                  : QColor::fromHsv(50, 40 + (i - 192) * 3, 255);
        logo.Colours.push_back({static_cast<std::uint8_t>(colour.red()),
                                static_cast<std::uint8_t>(colour.green()),
                                static_cast<std::uint8_t>(colour.blue())});
    }
    logo.Pixels.resize(320 * 400);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 320; ++x) {
            const double hill = 280 + 30 * std::sin(x / 40.0);
            const double sun = std::hypot(x - 220, (y - 130) * 0.8);
            int index = 127 - y * 127 / 400;
            if (y > hill)
                index = 128 + std::min(63, int(y - hill) / 2);
            else if (sun < 45)
                index = 192 + std::min(63, int(45 - sun));
            logo.Row(y)[x] = static_cast<std::uint8_t>(index);
        }
    }
    return logo;
}

class ScreenshotTest : public UiTest {
protected:
    void SetUp() override {
        const QByteArray dir = qgetenv("BOOTRAMA_SCREENSHOT_DIR");
        if (dir.isEmpty())
            GTEST_SKIP() << "BOOTRAMA_SCREENSHOT_DIR names no folder";
        folder_ = QString::fromLocal8Bit(dir);
        const TKindTable<int> hues = {215, 20, 280};
        for (TLogoKind kind : AllLogoKinds) {
            WriteFile(LogoHost(kind), EncodeBmp8(PaintedLogo(hues[kind])));
            if (kind != lkClose)
                FillList(kind);
        }
        WriteFile(ListHost(lkClose), "");
        WriteIni("NewInstalled=0\r\nChangeBootBmp=1\r\n");
    }
    void Save(QWidget& widget, const char* name) {
        widget.show();
        QCoreApplication::processEvents();
        ASSERT_TRUE(widget.grab().save(folder_ + QLatin1Char('/') + QLatin1String(name)));
    }
    QString folder_;
};

TEST_F(ScreenshotTest, Windows) {
    auto form = OpenMainForm();
    Save(*form, "main-window.png");
    TOptionDlg options(form.get());
    Save(options, "options-switch.png");
    Child<QTabWidget>(options, "PageControl1")->setCurrentIndex(1);
    Save(options, "options-directories.png");
    TAboutBox about(form.get());
    Save(about, "info-box.png");
}

}  // namespace
}  // namespace uitest
