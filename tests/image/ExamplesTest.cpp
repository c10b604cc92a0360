// The logos the build draws: examples for the first run and a new machine's screens.

#include <gtest/gtest.h>

#include <filesystem>

#include "ImageTestUtils.h"
#include "image/BmpCodec.h"
#include "image/BmpTools.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> builtLogos() {
    std::vector<fs::path> files;
    const fs::path program = BOOTRAMA_PROGRAM_DIR;
    for (const auto& entry : fs::directory_iterator(program / "Examples"))
        files.push_back(entry.path());
    files.push_back(program / "NewMachine" / "WINDOWS" / "LOGOW.SYS");
    files.push_back(program / "NewMachine" / "WINDOWS" / "LOGOS.SYS");
    return files;
}

TEST(ExampleLogos, AreLogosInTheExactLayout) {
    const auto files = builtLogos();
    EXPECT_GE(files.size(), 7u);
    int animated = 0;
    for (const fs::path& file : files) {
        const std::string bytes = imagetest::ReadHostFile(file);
        EXPECT_EQ(bytes.size(), 129078u) << file;
        const TBitmap logo = ReadBmp(imagetest::Bytes(bytes));
        EXPECT_TRUE(IsLogoImage(&logo)) << file;
        EXPECT_EQ(EncodeBmp8(logo), bytes) << file;
        if (logo.ImportantColours == 0)
            continue;
        // The colours Windows rotates are used by the bar at the bottom only.
        ++animated;
        EXPECT_EQ(logo.ImportantColours, 236u) << file;
        for (int y = 0; y < logo.Height; ++y)
            for (int x = 0; x < logo.Width; ++x)
                ASSERT_EQ(logo.Row(y)[x] >= 236, y >= 386) << file << " " << x << "," << y;
    }
    EXPECT_GE(animated, 2);
}

}  // namespace
