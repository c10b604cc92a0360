#include "core/BootOff.h"
#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Files.h"
#include "support/TestEnv.h"

namespace {

class BootOffTest : public testenv::MachineTest {
protected:
    std::filesystem::path Msdos() const { return DriveC() / "MSDOS.SYS"; }
    void WriteOptions(const std::string& options) {
        WriteFile(Msdos(), "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\n" + options +
                               ";padding\r\n;xxxxxxxxxxxxxxxxxxx\r\n");
    }
};

TEST_F(BootOffTest, WithoutTheKeyTheLogoIsOnAndTheKeyAbsent) {
    WriteOptions("");
    EXPECT_TRUE(ReadLogoSetting());
    EXPECT_FALSE(LogoKeyPresent());
}

TEST_F(BootOffTest, ZeroTurnsTheLogoOffAndSwitchingOnRemovesTheLine) {
    WriteOptions("Logo=0\r\n");
    EXPECT_FALSE(ReadLogoSetting());
    EXPECT_TRUE(LogoKeyPresent());
    WriteLogoSetting(true);
    EXPECT_EQ(ReadFile(Msdos()),
              "[Paths]\r\nWinDir=C:\\WINDOWS\r\n[Options]\r\nBootGUI=1\r\n;padding\r\n"
              ";xxxxxxxxxxxxxxxxxxx\r\n");
}

TEST_F(BootOffTest, OneIsOnAndWritableCheckLeavesIt) {
    WriteOptions("Logo=1\r\n");
    EXPECT_TRUE(ReadLogoSetting());
    EXPECT_TRUE(LogoKeyPresent());
    EXPECT_TRUE(LogoSettingWritable());
    EXPECT_NE(ReadFile(Msdos()).find("Logo=1\r\n"), std::string::npos);
    WriteLogoSetting(true);
    EXPECT_EQ(ReadFile(Msdos()).find("Logo="), std::string::npos);
}

TEST_F(BootOffTest, AWordReadsAsOnAndIsNoKey) {
    WriteOptions("Logo=never\r\n");
    EXPECT_TRUE(ReadLogoSetting());
    EXPECT_FALSE(LogoKeyPresent());
}

TEST_F(BootOffTest, SwitchingOffWritesZeroInPlace) {
    WriteOptions("");
    WriteLogoSetting(false);
    EXPECT_FALSE(ReadLogoSetting());
    EXPECT_NE(ReadFile(Msdos()).find("BootGUI=1\r\nLogo=0\r\n;padding"), std::string::npos);
}

TEST_F(BootOffTest, ProtectedFileIsWrittenAndLosesOnlyReadOnly) {
    WriteOptions("Logo=0\r\n");
    const std::string file = GlobalInfo().BootDrive() + "msdos.sys";
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::FILE_ATTRIBUTE_READONLY |
                                                      platform::FILE_ATTRIBUTE_HIDDEN |
                                                      platform::FILE_ATTRIBUTE_SYSTEM));
    WriteLogoSetting(true);
    EXPECT_TRUE(ReadLogoSetting());
    std::uint32_t attributes = platform::GetFileAttributes(file);
    EXPECT_EQ(attributes & 0x27u, platform::FILE_ATTRIBUTE_HIDDEN |
                                      platform::FILE_ATTRIBUTE_SYSTEM |
                                      platform::FILE_ATTRIBUTE_ARCHIVE)
        << std::hex << attributes;
}

// What a file looks like from outside: its bytes, DOS attributes, mode and time.
struct FileState {
    std::string contents;
    std::uint32_t attributes;
    std::filesystem::perms mode;
    std::filesystem::file_time_type written;
    bool operator==(const FileState&) const = default;
};

struct UntouchedCase {
    const char* name;
    const char* options;
    void (*call)();
};

void PrintTo(const UntouchedCase& c, std::ostream* out) {
    *out << c.name;
}

class UntouchedTest : public BootOffTest, public ::testing::WithParamInterface<UntouchedCase> {
protected:
    FileState State() const {
        return {ReadFile(Msdos()),
                platform::GetFileAttributes(GlobalInfo().BootDrive() + "msdos.sys"),
                std::filesystem::status(Msdos()).permissions(),
                std::filesystem::last_write_time(Msdos())};
    }
};

// A protected system file, as Windows 98 leaves msdos.sys, is touched only by a change.
TEST_P(UntouchedTest, ProtectedFileKeepsEverything) {
    WriteOptions(GetParam().options);
    ASSERT_TRUE(platform::SetFileAttributes(GlobalInfo().BootDrive() + "msdos.sys",
                                            platform::FILE_ATTRIBUTE_READONLY |
                                                platform::FILE_ATTRIBUTE_HIDDEN |
                                                platform::FILE_ATTRIBUTE_SYSTEM));
    const FileState before = State();
    GetParam().call();
    EXPECT_TRUE(State() == before);
    EXPECT_EQ(State().attributes & 0x27u, 0x07u);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, UntouchedTest,
    ::testing::Values(UntouchedCase{"WritableCheck", "Logo=0\r\n",
                                    [] { EXPECT_TRUE(LogoSettingWritable()); }},
                      UntouchedCase{"WritableCheckOfOne", "Logo=1\r\n",
                                    [] { EXPECT_TRUE(LogoSettingWritable()); }},
                      UntouchedCase{"OnWithoutKey", "", [] { WriteLogoSetting(true); }},
                      UntouchedCase{"OffWhenZero", "Logo=0\r\n", [] { WriteLogoSetting(false); }}),
    [](const ::testing::TestParamInfo<UntouchedCase>& c) { return std::string(c.param.name); });

TEST_F(BootOffTest, MissingFileRaisesAndIsNeverCreated) {
    std::filesystem::remove(Msdos());
    try {
        ReadLogoSetting();
        ADD_FAILURE();
    } catch (const EBootOffError& error) {
        EXPECT_EQ(error.Message(), "Error reading the file \"C:\\msdos.sys\"!\rError: not FileOK");
    }
    try {
        WriteLogoSetting(false);
        ADD_FAILURE();
    } catch (const EBootOffError& error) {
        EXPECT_EQ(error.Message(), "Error writing file \"C:\\msdos.sys\"!\rError: not FileOK");
    }
    EXPECT_FALSE(LogoKeyPresent());
    EXPECT_FALSE(LogoSettingWritable());
    EXPECT_FALSE(std::filesystem::exists(Msdos()));
}

}  // namespace
