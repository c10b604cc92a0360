#include "UiTest.h"

#include <iostream>

#include "image/Bitmap.h"
#include "image/BmpCodec.h"

namespace uitest {

UiTest::UiTest() {
    WriteIni("NewInstalled=0\r\n");
    fs::create_directories(DriveC() / "WINDOWS");
}

void UiTest::TearDown() {
    if (!HasFailure())
        return;
    for (const auto& box : Boxes())
        std::cerr << "box: " << platform::BoxKindName(box->kind) << " | " << box->title << " | "
                  << box->text << "\n";
}

fs::path UiTest::ListHost(TLogoKind kind) const {
    static const TKindTable<const char*> names = {"brboot.dat", "brclsing.dat", "brclose.dat"};
    return ProgramDir() / names[kind];
}

fs::path UiTest::LogoHost(TLogoKind kind) const {
    static const TKindTable<const char*> names = {"LOGO.SYS", "WINDOWS/LOGOW.SYS",
                                                  "WINDOWS/LOGOS.SYS"};
    return DriveC() / names[kind];
}

void UiTest::WriteIni(const std::string& lines) {
    WriteFile(Ini(), "[Bootrama-Options]\r\n" + lines);
}

void UiTest::WriteBitmap(const fs::path& path, int width, int height, int index) {
    TBitmap image;
    image.Width = width;
    image.Height = height;
    image.BitsPerPixel = 8;
    image.Pixels.assign(std::size_t(width) * height, static_cast<std::uint8_t>(index));
    for (int i = 0; i < 256; ++i) {
        const auto level = static_cast<std::uint8_t>(i);
        image.Colours.push_back({level, level, level});
    }
    WriteFile(path, EncodeBmp8(image));
}

void UiTest::FillList(TLogoKind kind) {
    const fs::path logo = DriveC() / "Logos" / ("kind" + std::to_string(KindIndex(kind)) + ".bmp");
    WriteLogo(logo);
    WriteFile(ListHost(kind), Win(logo) + "\r\n");
}

void UiTest::ExpectNoControlSquashed(const QWidget& form) {
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        // Qt's own parts of a control (viewports, scroll buttons) are the control's affair;
        // a fixed size (an icon scaled into it) is meant.
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || control->isWindow() ||
            !control->isVisibleTo(&form) || control->minimumSize() == control->maximumSize())
            continue;
        const bool wraps = control->hasHeightForWidth();
        const int needed =
            wraps ? control->heightForWidth(control->width()) : control->minimumSizeHint().height();
        EXPECT_GE(control->height(), needed) << name.toStdString();
        if (!wraps) {
            EXPECT_GE(control->width(), control->minimumSizeHint().width()) << name.toStdString();
        }
    }
}

std::unique_ptr<TMainForm> UiTest::OpenMainForm() {
    return std::make_unique<TMainForm>();
}

}  // namespace uitest
