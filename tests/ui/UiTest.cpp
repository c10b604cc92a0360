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
    static const char* const names[] = {"brboot.dat", "brclsing.dat", "brclose.dat"};
    return ProgramDir() / names[kind];
}

fs::path UiTest::LogoHost(TLogoKind kind) const {
    static const char* const names[] = {"LOGO.SYS", "WINDOWS/LOGOW.SYS", "WINDOWS/LOGOS.SYS"};
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
    const fs::path logo = DriveC() / "Logos" / ("kind" + std::to_string(kind) + ".bmp");
    WriteLogo(logo);
    WriteFile(ListHost(kind), Win(logo) + "\r\n");
}

std::unique_ptr<TMainForm> UiTest::OpenMainForm() {
    return std::make_unique<TMainForm>();
}

}  // namespace uitest
