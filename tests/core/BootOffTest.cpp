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

TEST_F(BootOffTest, OneIsOnAndWritableCheckRemovesIt) {
    WriteOptions("Logo=1\r\n");
    EXPECT_TRUE(ReadLogoSetting());
    EXPECT_TRUE(LogoKeyPresent());
    EXPECT_TRUE(LogoSettingWritable());
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
