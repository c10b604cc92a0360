// bootrama-logo, run as a separate program on host paths.

#include <gtest/gtest.h>

#include "ImageTestUtils.h"
#include "image/BmpCodec.h"
#include "image/Logo.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;

class LogoCli : public testenv::MachineTest {
protected:
    // Exit code; stderr is kept in errors.
    int run(const std::string& arguments) {
        const fs::path errorFile = DriveC() / "stderr.txt";
        const int code = imagetest::RunCommand("BOOTRAMA_MACHINE='" + MachineRoot().string() +
                                               "' '" + BOOTRAMA_LOGO_EXE + "' " + arguments +
                                               " >'" + (DriveC() / "stdout.bin").string() +
                                               "' 2>'" + errorFile.string() + "'");
        errors = ReadFile(errorFile);
        return code;
    }

    static std::string quoted(const fs::path& path) { return "'" + path.string() + "'"; }

    fs::path picture(const std::string& name, int width, int height) {
        const fs::path path = DriveC() / name;
        WriteFile(
            path, imagetest::Encode24(width, height, [](int x, int y) {
                return TRGBColour{std::uint8_t(x * 3), std::uint8_t(y * 5), std::uint8_t(x ^ y)};
            }));
        return path;
    }

    // What the dialogs would save for the same picture and settings.
    std::string builtInProcess(const fs::path& source, bool aspect,
                               std::optional<TStretchMode> mode) {
        TLogo logo(nullptr);
        logo.SetAspectRatio(aspect);
        logo.SetSourceFile(Win(source));
        if (mode)
            logo.SetStretchMode(*mode);
        return EncodeBmp8(*logo.LogoBmp());
    }

    std::string errors;
};

TEST_F(LogoCli, ConvertsWithTheProposedMethodAndAspectCorrection) {
    const fs::path source = picture("photo.bmp", 640, 480);
    ASSERT_EQ(run(quoted(source) + " " + quoted(DriveC() / "out.sys")), 0) << errors;
    const std::string written = ReadFile(DriveC() / "out.sys");
    EXPECT_EQ(written.size(), 129078u);
    EXPECT_EQ(written, builtInProcess(source, true, std::nullopt));
}

TEST_F(LogoCli, MethodAndAspectOptions) {
    const fs::path source = picture("small.bmp", 200, 150);
    for (auto [options, aspect, mode] :
         {std::tuple{"--method zoom --no-aspect", false, TStretchMode::zoom},
          std::tuple{"--method=stretch --aspect", true, TStretchMode::stretch},
          std::tuple{"--no-aspect --method crop", false, TStretchMode::crop}}) {
        ASSERT_EQ(
            run(std::string(options) + " " + quoted(source) + " " + quoted(DriveC() / "o.bmp")), 0)
            << options << errors;
        EXPECT_EQ(ReadFile(DriveC() / "o.bmp"), builtInProcess(source, aspect, mode)) << options;
    }
}

TEST_F(LogoCli, LogoIsCopiedUnchanged) {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    logo.ImportantColours = 236;
    logo.Colours.assign(256, TRGBColour{1, 2, 3});
    logo.Pixels.assign(320 * 400, 7);
    const std::string bytes = EncodeBmp8(logo);
    WriteFile(DriveC() / "logo.sys", bytes);
    ASSERT_EQ(
        run("--method zoom " + quoted(DriveC() / "logo.sys") + " " + quoted(DriveC() / "copy.bmp")),
        0);
    EXPECT_EQ(ReadFile(DriveC() / "copy.bmp"), bytes);
}

TEST_F(LogoCli, ErrorsPrintTheProgramsMessage) {
    WriteFile(DriveC() / "broken.bmp", "BM broken");
    EXPECT_EQ(run(quoted(DriveC() / "broken.bmp") + " " + quoted(DriveC() / "o.bmp")), 1);
    EXPECT_NE(errors.find("broken.bmp\" is no valid Bitmap."), std::string::npos) << errors;
    EXPECT_FALSE(fs::exists(DriveC() / "o.bmp"));
    EXPECT_EQ(run(quoted(DriveC() / "missing.jpg") + " " + quoted(DriveC() / "o.bmp")), 1);
    EXPECT_NE(errors.find("Error reading the file"), std::string::npos) << errors;
    EXPECT_EQ(run(quoted(picture("p.bmp", 10, 10)) + " " + quoted(DriveC() / "no" / "o.bmp")), 1);
    EXPECT_NE(errors.find("Error creating the file"), std::string::npos) << errors;
}

TEST_F(LogoCli, UsageAndHelp) {
    EXPECT_EQ(run("--help"), 0);
    EXPECT_EQ(run("only-one-path"), 2);
    EXPECT_NE(errors.find("Usage: bootrama-logo"), std::string::npos);
    EXPECT_EQ(run("--method sideways a b"), 2);
    EXPECT_EQ(run("--frobnicate a b"), 2);
}

}  // namespace
