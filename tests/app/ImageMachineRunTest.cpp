// The real bootrama on a machine whose C: is an emulator's disk image: /Auto and /U change
// the image as they change a folder, a virtual machine that has the image open is named in
// the boxes, and a switch killed at any moment leaves the old or the new logos whole.

#include <gmock/gmock.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>

#include "app/BootramaRun.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/Profile.h"
#include "platform/drives/ImageDrive.h"
#include "platform/drives/Journal.h"
#include "support/DiskImages.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace apptest {
namespace {

using imagetest::ImageKind;
using imagetest::Pattern;
using imagetest::TestImage;

// What mtools calls each kind's current logo.
std::string InImage(TLogoKind kind) {
    return kind == lkBoot      ? "::/LOGO.SYS"
           : kind == lkClosing ? "::/WINDOWS/LOGOW.SYS"
                               : "::/WINDOWS/LOGOS.SYS";
}

class ImageMachineRun : public BootramaRun {
protected:
    void SetUp() override {
        if (auto missing = imagetest::MissingTool(); !missing.empty())
            GTEST_SKIP() << missing << " is not installed";
    }
    // The image as the machine's C:, with lists of host logos that /Auto draws from.
    TestImage& MapImage(const ImageKind& imageKind, int logosPerList) {
        const fs::path folder = MachineRoot().parent_path() / "image";
        fs::create_directories(folder);
        image_ = std::make_unique<TestImage>(folder, imageKind);
        platform::CurrentMachine().MapDrive(
            'C', {platform::DriveTarget::Kind::Image, image_->Path(), 0});
        for (TLogoKind kind : AllLogoKinds) {
            std::string list;
            for (int entry = 0; entry < logosPerList; ++entry) {
                const fs::path logo = MachineRoot().parent_path() / "logos" / LogoName(kind, entry);
                WriteFile(logo, NewLogo(kind, entry));
                list += platform::CurrentMachine().ToWindows(logo) + "\r\n";
            }
            WriteFile(List(kind), list);
        }
        return *image_;
    }
    static std::string LogoName(TLogoKind kind, int entry) {
        return "new" + std::to_string(KindIndex(kind)) + "-" + std::to_string(entry) + ".sys";
    }
    static std::string NewLogo(TLogoKind kind, int entry) {
        return Pattern(static_cast<char>('A' + 8 * KindIndex(kind) + entry));
    }
    void ExpectCheckedClean(const std::string& when = "") {
        int status = -1;
        const std::string report = image_->Fsck(&status);
        EXPECT_EQ(status, 0) << when << report;
    }

    std::unique_ptr<TestImage> image_;
};

class ImageAutoRun : public ImageMachineRun, public ::testing::WithParamInterface<ImageKind> {};

TEST_P(ImageAutoRun, SwitchesTheThreeLogosInsideTheImage) {
    TestImage& image = MapImage(GetParam(), 1);
    WriteConfig(true, true, true);
    const RunResult run = Run("/Auto");
    EXPECT_TRUE(run.exited && run.exitCode == 0) << run.errors;
    EXPECT_THAT(run.boxes, IsEmpty());
    for (TLogoKind kind : AllLogoKinds) EXPECT_EQ(image.MRead(InImage(kind)), NewLogo(kind, 0));
    // New files under their upper-case 8.3 names alone, as Windows 98 has them.
    EXPECT_THAT(image.MDir("::/WINDOWS"), HasSubstr("LOGOW    SYS"));
    EXPECT_THAT(image.MDir("::/WINDOWS"), ::testing::Not(HasSubstr("logow")));
    ExpectCheckedClean();
}

INSTANTIATE_TEST_SUITE_P(Images, ImageAutoRun, ::testing::ValuesIn(imagetest::kImageKinds),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ImageMachineRun, UndoRestoresTheBackupsAndTheStartupLogoSwitchInsideTheImage) {
    TestImage& image = MapImage(imagetest::kImageKinds[4], 1);
    WriteConfig(false, false, false);
    for (TLogoKind kind : AllLogoKinds)
        WriteFile(ProgramDir() / (kind == lkBoot      ? "logo.bak"
                                  : kind == lkClosing ? "logow.bak"
                                                      : "logos.bak"),
                  Pattern(static_cast<char>('s' + KindIndex(kind))));
    ASSERT_TRUE(platform::SetFileAttributes(
        "C:\\MSDOS.SYS", platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(platform::WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));

    const RunResult run = Run("/U", "yes,yes");
    EXPECT_TRUE(run.exited && run.exitCode == 0) << run.errors;
    EXPECT_EQ(run.boxes.size(), 2u);
    for (TLogoKind kind : AllLogoKinds)
        EXPECT_EQ(image.MRead(InImage(kind)), Pattern(static_cast<char>('s' + KindIndex(kind))));
    EXPECT_EQ(image.MRead("::/MSDOS.SYS"), "[Options]\r\nBootGUI=1\r\n");
    EXPECT_THAT(image.MAttrib("::/MSDOS.SYS"), HasSubstr("  SH  "));
    ExpectCheckedClean();
}

// As an emulator leaves it while the virtual machine runs: every kind says why, nothing
// changes.
TEST_F(ImageMachineRun, AutoOnAnImageInUseSaysToCloseTheVirtualMachine) {
    TestImage& image = MapImage(imagetest::kImageKinds[2], 1);
    WriteConfig(true, true, true);
    const std::string before = imagetest::Bytes(image.Path());
    const imagetest::QemuLikeLock lock(image.Path());
    ASSERT_TRUE(lock.Held());
    const RunResult run = Run("/Auto");
    ASSERT_EQ(run.boxes.size(), 3u);
    for (const std::string& box : run.boxes) {
        EXPECT_THAT(box, HasSubstr("could not be changed!\\rError: EDiskImageError\\r"));
        EXPECT_THAT(box, HasSubstr("Close the virtual machine first"));
    }
    EXPECT_TRUE(imagetest::Bytes(image.Path()) == before);
}

// A kill at a random moment of the whole run: before, inside or after a change. The next
// open takes back an unfinished change, so every logo is one of its list's or the old one,
// whole, and fsck.fat finds nothing wrong.
TEST_F(ImageMachineRun, AutoKilledAtRandomLeavesEachLogoOldOrNewWhole) {
    constexpr int kKills = 100;
    TestImage& image = MapImage(imagetest::kImageKinds[0], 2);
    WriteConfig(true, true, true);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_THAT(Run("/Auto").boxes, IsEmpty());
    const auto runTime = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    const unsigned seed = std::random_device()();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> delay(0, runTime.count());
    platform::drives::ImageDrive drive(image.Path());
    int interrupted = 0;
    for (int kill = 0; kill < kKills && !HasFailure(); ++kill) {
        const pid_t child = Start("/Auto");
        ::usleep(static_cast<useconds_t>(delay(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string when = "after kill " + std::to_string(kill) + ": ";
        interrupted += fs::exists(platform::drives::JournalPath(image.Path()));
        for (TLogoKind kind : AllLogoKinds) {
            const std::string path = kind == lkBoot      ? "C:\\LOGO.SYS"
                                     : kind == lkClosing ? "C:\\WINDOWS\\LOGOW.SYS"
                                                         : "C:\\WINDOWS\\LOGOS.SYS";
            const std::string logo = drive.ReadFile(path, 1 << 20);
            EXPECT_TRUE(logo == NewLogo(kind, 0) || logo == NewLogo(kind, 1)) << when << path;
        }
        ExpectCheckedClean(when);
    }
    RecordProperty("KillsDuringAChange", interrupted);
}

}  // namespace
}  // namespace apptest
