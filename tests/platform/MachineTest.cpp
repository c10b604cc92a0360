#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "PlatformFixture.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/Profile.h"

namespace {

using namespace platform;
using platformtest::PlatformTest;
namespace fs = std::filesystem;

using NewMachineTest = PlatformTest;

TEST_F(NewMachineTest, HasTheLayoutOfAFreshWindows98) {
    EXPECT_EQ(Read(DriveC() / "MSDOS.SYS"),
              "[Paths]\r\nWinDir=C:\\WINDOWS\r\nWinBootDir=C:\\WINDOWS\r\nHostWinBootDrv=C\r\n"
              "\r\n[Options]\r\nBootGUI=1\r\n");
    EXPECT_TRUE(fs::is_directory(DriveC() / "WINDOWS" / "SYSTEM"));
    EXPECT_EQ(fs::read_symlink(Root() / "dosdevices" / "c:"), fs::path("../drive_c"));
    EXPECT_EQ(fs::read_symlink(Root() / "dosdevices" / "z:"), fs::path("/"));
    EXPECT_EQ(Read(Root() / "registry.reg"),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\r\n");
    EXPECT_FALSE(fs::exists(DriveC() / "logo.sys"));
    EXPECT_EQ(CurrentMachine().Drives(), (std::vector<char>{'C', 'Z'}));
}

TEST_F(NewMachineTest, SeedFilesAreCopiedOnlyIntoANewMachine) {
    fs::path seed = Outside() / "seed";
    Write(seed / "WINDOWS" / "LOGOW.SYS", "shutdown");
    Write(seed / "WINDOWS" / "LOGOS.SYS", "final");
    UseMachine(Outside() / "seeded", seed);
    EXPECT_EQ(Read(Outside() / "seeded" / "drive_c" / "WINDOWS" / "LOGOW.SYS"), "shutdown");
    EXPECT_EQ(Read(Outside() / "seeded" / "drive_c" / "WINDOWS" / "LOGOS.SYS"), "final");

    Write(DriveC() / "MSDOS.SYS", "[Paths]\r\nWinDir=D:\\W98\r\n");
    UseMachine(Root(), seed);
    EXPECT_EQ(Read(DriveC() / "MSDOS.SYS"), "[Paths]\r\nWinDir=D:\\W98\r\n");
    EXPECT_FALSE(fs::exists(DriveC() / "WINDOWS" / "LOGOW.SYS"));
}

TEST_F(NewMachineTest, WindowsAndSystemDirectoryComeFromMsdosSys) {
    EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
    EXPECT_EQ(GetSystemDirectory(), "C:\\WINDOWS\\SYSTEM");
    Write(DriveC() / "MSDOS.SYS", "[paths]\r\nwindir = D:\\W98\\\r\n");
    EXPECT_EQ(GetWindowsDirectory(), "D:\\W98");
    EXPECT_EQ(GetSystemDirectory(), "D:\\W98\\SYSTEM");
    fs::remove(DriveC() / "MSDOS.SYS");
    EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
}

TEST_F(NewMachineTest, AMachineThatCantBeCreatedStillOpensAndItsOperationsFail) {
    Write(Outside() / "a file", "x");
    UseMachine(Outside() / "a file" / "machine");
    EXPECT_TRUE(CurrentMachine().Drives().empty());
    EXPECT_EQ(CurrentMachine().ToHost("C:\\MSDOS.SYS"), std::nullopt);
    EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
    EXPECT_FALSE(FileExists("C:\\MSDOS.SYS"));
    EXPECT_FALSE(WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));
}

TEST(DefaultMachineRootTest, EnvironmentThenDataHomeThenHome) {
    setenv("BOOTRAMA_MACHINE", "/m/chosen", 1);
    EXPECT_EQ(DefaultMachineRoot(), fs::path("/m/chosen"));
    unsetenv("BOOTRAMA_MACHINE");
    setenv("XDG_DATA_HOME", "/data", 1);
    EXPECT_EQ(DefaultMachineRoot(), fs::path("/data/bootrama/machine"));
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ(DefaultMachineRoot(), fs::path("/home/u/.local/share/bootrama/machine"));
}

class ToHostTest : public PlatformTest {
protected:
    ToHostTest() {
        Write(DriveC() / "WINDOWS" / "logow.sys", "x");
        Write(DriveC() / "Ölbilder" / "Blau.bmp", "x");
    }
    std::optional<fs::path> Host(std::string_view path) { return CurrentMachine().ToHost(path); }
    fs::path C() const { return Root() / "dosdevices" / "c:"; }
};

TEST_F(ToHostTest, ComponentsMatchWithoutRegardToCase) {
    EXPECT_EQ(Host("C:\\WINDOWS\\logow.sys"), C() / "WINDOWS" / "logow.sys");
    EXPECT_EQ(Host("c:\\windows\\LOGOW.SYS"), C() / "WINDOWS" / "logow.sys");
    EXPECT_EQ(Host("C:\\ölbilder\\BLAU.BMP"), C() / "Ölbilder" / "Blau.bmp");
    EXPECT_EQ(Host("C:/Windows/./System/../logow.sys"), C() / "WINDOWS" / "logow.sys");
    EXPECT_EQ(Host("C:\\"), C());
}

TEST_F(ToHostTest, MissingComponentsKeepTheirSpelling) {
    EXPECT_EQ(Host("C:\\windows\\New\\Logo.SYS"), C() / "WINDOWS" / "New" / "Logo.SYS");
    EXPECT_EQ(Host("C:\\logo.sys"), C() / "logo.sys");
}

TEST_F(ToHostTest, AnExactMatchWinsOverOneInOtherCase) {
    Write(DriveC() / "windows" / "other", "x");
    EXPECT_EQ(Host("C:\\windows\\other"), C() / "windows" / "other");
    EXPECT_EQ(Host("C:\\WINDOWS\\logow.sys"), C() / "WINDOWS" / "logow.sys");
}

TEST_F(ToHostTest, NamesInASettledFolderAreFoundAgainAfterItChanges) {
    const fs::path folder = DriveC() / "Logos";
    Write(folder / "Sky.sys", "x");
    // A folder last changed a while ago: its listing may be kept between lookups.
    auto settle = [&] {
        fs::last_write_time(folder, fs::file_time_type::clock::now() - std::chrono::hours(1));
    };
    settle();
    EXPECT_EQ(Host("C:\\LOGOS\\SKY.SYS"), C() / "Logos" / "Sky.sys");
    EXPECT_EQ(Host("C:\\LOGOS\\SEA.SYS"), C() / "Logos" / "SEA.SYS");
    Write(folder / "Sea.sys", "x");
    EXPECT_EQ(Host("C:\\LOGOS\\SEA.SYS"), C() / "Logos" / "Sea.sys");
    settle();
    fs::remove(folder / "Sky.sys");
    Write(folder / "sky.SYS", "y");
    EXPECT_EQ(Host("C:\\LOGOS\\SKY.SYS"), C() / "Logos" / "sky.SYS");
}

TEST_F(ToHostTest, LinksOfASettledDosdevicesFolderAreFollowedAgainAfterAChange) {
    const fs::path devices = Root() / "dosdevices";
    fs::create_directories(Root() / "drive_d");
    Write(Root() / "disk.img", "x");
    // Links changed a while ago: where they lead may be kept between lookups.
    auto settle = [&] {
        fs::last_write_time(devices, fs::file_time_type::clock::now() - std::chrono::hours(1));
    };
    const auto windows = [&] { return CurrentMachine().ToWindows(Root() / "drive_d" / "x"); };
    settle();
    EXPECT_EQ(Host("D:\\x"), std::nullopt);
    EXPECT_EQ(windows().substr(0, 3), "Z:\\");
    fs::create_directory_symlink(Root() / "drive_d", devices / "d:");
    EXPECT_EQ(Host("D:\\x"), devices / "d:" / "x");
    EXPECT_EQ(windows(), "D:\\x");
    settle();
    EXPECT_EQ(Host("D:\\x"), devices / "d:" / "x");
    EXPECT_EQ(windows(), "D:\\x");
    CurrentMachine().MapDrive('D', {DriveTarget::Kind::Image, Root() / "disk.img", 0});
    EXPECT_EQ(Host("D:\\x"), std::nullopt);
    EXPECT_EQ(windows().substr(0, 3), "Z:\\");
    settle();
    fs::remove(devices / "d:");
    fs::create_directory_symlink(Root() / "drive_d", devices / "D:");
    EXPECT_EQ(Host("d:\\x"), devices / "D:" / "x");
    // A dosdevices folder put in the place of another one, whose time says nothing.
    settle();
    EXPECT_EQ(Host("d:\\x"), devices / "D:" / "x");
    fs::rename(devices, Root() / "old devices");
    fs::create_directory(devices);
    fs::create_directory_symlink(Root() / "drive_d", devices / "e:");
    settle();
    EXPECT_EQ(Host("D:\\x"), std::nullopt);
    EXPECT_EQ(Host("E:\\x"), devices / "e:" / "x");
}

TEST_F(ToHostTest, NoDriveOrAnUnmappedDriveGivesNothing) {
    EXPECT_EQ(Host("WINDOWS\\logow.sys"), std::nullopt);
    EXPECT_EQ(Host("\\\\server\\share\\x"), std::nullopt);
    EXPECT_EQ(Host("Q:\\x"), std::nullopt);
    EXPECT_EQ(Host(""), std::nullopt);
    EXPECT_EQ(Host(std::string("C:\\WINDOWS\\logow.sys\0.bmp", 26)), std::nullopt);
}

TEST_F(ToHostTest, DanglingDriveMapsThroughTheLinkAndOperationsFail) {
    fs::remove(C());
    fs::create_directory_symlink("../gone", C());
    EXPECT_EQ(Host("C:\\WINDOWS\\logow.sys"), C() / "WINDOWS" / "logow.sys");
    EXPECT_EQ(CurrentMachine().ToWindows(C() / "WINDOWS" / "x.sys"), "C:\\WINDOWS\\x.sys");
    EXPECT_EQ(GetFileAttributes("C:\\WINDOWS"), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(FileExists("C:\\MSDOS.SYS"));
    Write(Outside() / "logo.sys", "x");
    EXPECT_FALSE(CopyFile(CurrentMachine().ToWindows(Outside() / "logo.sys"), "C:\\x", false,
                          kMaxLogoFileBytes));
    EXPECT_TRUE(FindFiles("C:\\*.*").empty());
    EXPECT_THROW(WriteFileAtomic("C:\\x", "y"), EFCreateError);
    EXPECT_FALSE(WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));
    EXPECT_EQ(GetWindowsDirectory(), "C:\\WINDOWS");
    UseMachine(Root());  // opening it again must not repair or trip over it
    EXPECT_EQ(CurrentMachine().Drives(), (std::vector<char>{'C', 'Z'}));
}

TEST_F(PlatformTest, ToWindowsTakesTheDriveWithTheLongestTarget) {
    fs::create_directories(DriveC() / "WINDOWS" / "Logos");
    fs::create_directory_symlink(DriveC() / "WINDOWS", Root() / "dosdevices" / "d:");
    auto& machine = CurrentMachine();
    EXPECT_EQ(machine.ToWindows(DriveC() / "WINDOWS" / "Logos" / "a.sys"), "D:\\Logos\\a.sys");
    EXPECT_EQ(machine.ToWindows(DriveC() / "MSDOS.SYS"), "C:\\MSDOS.SYS");
    EXPECT_EQ(machine.ToWindows(DriveC()), "C:\\");
    EXPECT_EQ(machine.ToWindows("/usr/share/x.bmp"), "Z:\\usr\\share\\x.bmp");
    EXPECT_EQ(machine.ToWindows("/"), "Z:\\");
    // A folder whose name only begins like a drive's target is not on that drive.
    fs::create_directories(Root() / "drive_c2");
    std::string onZ = "Z:" + (fs::canonical(Root()) / "drive_c2" / "x").string();
    std::replace(onZ.begin(), onZ.end(), '/', '\\');
    EXPECT_EQ(machine.ToWindows(Root() / "drive_c2" / "x"), onZ);
}

TEST_F(PlatformTest, ToWindowsAndToHostAreInverse) {
    Write(DriveC() / "WINDOWS" / "LOGOS.SYS", "x");
    auto& machine = CurrentMachine();
    auto host = machine.ToHost("c:\\windows\\logos.sys");
    ASSERT_TRUE(host);
    EXPECT_EQ(machine.ToWindows(*host), "C:\\WINDOWS\\LOGOS.SYS");
    std::string outside = machine.ToWindows(Outside() / "pictures" / "sun.jpg");
    EXPECT_EQ(machine.ToHost(outside).value().lexically_normal(),
              (Root() / "dosdevices" / "z:" / fs::canonical(Outside()).relative_path() /
               "pictures" / "sun.jpg")
                  .lexically_normal());
}

}  // namespace
