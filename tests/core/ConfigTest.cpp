#include <filesystem>

#include "core/Config.h"
#include "core/Global.h"
#include "core/ProgErrors.h"
#include "platform/Files.h"
#include "support/TestEnv.h"

namespace {

using platform::IDNO;
using platform::IDYES;
namespace fs = std::filesystem;

class ConfigTest : public testenv::MachineTest {
protected:
    fs::path Ini() const { return ProgramDir() / "bootrama.ini"; }
    void WriteIni(const std::string& body) { WriteFile(Ini(), "[Bootrama-Options]\r\n" + body); }
};

TEST_F(ConfigTest, WritesTheEightLinesInOrder) {
    TGlobalInfo& info = GlobalInfo();
    info.SetLogoPath("C:\\WINDOWS\\");
    info.ChangeBootBmp = true;
    info.ChangeClosingBmp = true;
    Answer({IDYES});
    TSBootIni ini;
    ini.WriteContents();
    EXPECT_EQ(ReadFile(Ini()),
              "[Bootrama-Options]\r\nBootDrive=C:\\\r\nLogoPath=C:\\WINDOWS\\\r\nImagePath=\r\n"
              "ChangeBootBmp=1\r\nChangeCloseBmp=0\r\nChangeClosingBmp=1\r\nNewInstalled=0\r\n");
}

TEST_F(ConfigTest, BooleansFollowTheIntegerRule) {
    struct Case {
        const char* text;
        bool expected;
    };
    for (Case c : {Case{"2", true},
                   {"-1", true},
                   {"0x10", true},
                   {"0X1f", true},
                   {"$10", true},
                   {"0", false},
                   {"0x0", false},
                   {"yes", false},
                   {"", false},
                   {"1.5", false},
                   {"0x", false},
                   {"99999999999", false},
                   {" 1 ", true}}) {
        WriteIni(std::string("ChangeBootBmp=") + c.text + "\r\n");
        GlobalInfo().SetDefaults();
        TSBootIni ini;
        ini.ReadConfig();
        EXPECT_EQ(GlobalInfo().ChangeBootBmp, c.expected) << '"' << c.text << '"';
    }
}

TEST_F(ConfigTest, IntegersKeepTheirSignAcrossThe32BitRange) {
    struct Case {
        const char* text;
        long expected;
    };
    for (Case c : {Case{"-2147483648", -2147483647L - 1},
                   {"2147483647", 2147483647L},
                   {"2147483648", 42},
                   {"-2147483649", 42},
                   {"-1", -1},
                   {"0xFFFFFFFF", -1},
                   {"-$10", -16},
                   {"$80000000", -2147483647L - 1}}) {
        WriteIni(std::string("Number=") + c.text + "\r\n");
        EXPECT_EQ(TIniFile(GlobalInfo().IniFileName).ReadInteger("Bootrama-Options", "Number", 42),
                  c.expected)
            << '"' << c.text << '"';
    }
}

TEST_F(ConfigTest, KeysAndSectionMatchWithoutRegardToCase) {
    WriteFile(Ini(), "[bootrama-options]\r\nchangeclosebmp=1\r\nLOGOPATH=c:\\windows\r\n");
    TSBootIni ini;
    ini.ReadConfig();
    EXPECT_TRUE(GlobalInfo().ChangeCloseBmp);
    EXPECT_EQ(GlobalInfo().LogoPath(), "c:\\windows");
}

TEST_F(ConfigTest, WindowsPathKeyOverridesUntilTheNextWrite) {
    fs::create_directories(DriveC() / "OTHERWIN");
    WriteIni("WindowsPath=C:\\OTHERWIN\\\r\nExtra=kept?\r\n[Mine]\r\nA=1\r\n");
    TSBootIni ini;
    ini.ReadConfig();
    EXPECT_EQ(GlobalInfo().WindowsPath(), "C:\\OTHERWIN\\");
    WriteConfigAtClose();
    std::string written = ReadFile(Ini());
    EXPECT_EQ(written.find("WindowsPath"), std::string::npos);
    EXPECT_EQ(written.find("[Mine]"), std::string::npos);  // hand-made sections go
    EXPECT_EQ(written.find("Extra"), std::string::npos);
}

TEST_F(ConfigTest, EmptyPathLineEmptiesWithoutAMessage) {
    GlobalInfo().SetLogoPath("C:\\WINDOWS\\");
    WriteIni("LogoPath=\r\n");
    TSBootIni ini;
    ini.ReadConfig();
    EXPECT_EQ(GlobalInfo().LogoPath(), "");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ConfigTest, EachInvalidPathGivesOneBoxInKeyOrderAndKeepsTheOldValue) {
    WriteIni("BootDrive=Q:\\\r\nLogoPath=C:\\Missing\\\r\nImagePath=C:\\WINDOWS\\\r\n");
    TSBootIni ini;
    ini.ReadConfig();
    EXPECT_EQ(GlobalInfo().BootDrive(), "C:\\");
    EXPECT_EQ(GlobalInfo().LogoPath(), "");
    EXPECT_EQ(GlobalInfo().ImagePath(), "C:\\WINDOWS\\");
    EXPECT_FALSE(GlobalInfo().ReadingConfig);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_NE(Boxes()[0]->text.find("\"Q:\\\""), std::string::npos);
    EXPECT_NE(Boxes()[1]->text.find("\"C:\\Missing\\\""), std::string::npos);
    EXPECT_EQ(Boxes()[1]->title, "Bootrama");
}

TEST_F(ConfigTest, MissingFileAtStartAnsweredYesIsCreatedWithStartValues) {
    Answer({IDYES});
    ReadConfigAtStart();
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::YesNo);
    EXPECT_EQ(Boxes()[0]->title, "Configuration file");
    EXPECT_EQ(Boxes()[0]->text, "File " + GlobalInfo().IniFileName +
                                    " not found or damaged - create new with default values?");
    EXPECT_NE(ReadFile(Ini()).find("BootDrive=C:\\\r\n"), std::string::npos);
}

TEST_F(ConfigTest, DecliningAtStartAndAtCloseLeavesNoFileAndTwoErrors) {
    Answer({IDNO});
    ReadConfigAtStart();
    Answer({IDNO});
    WriteConfigAtClose();
    EXPECT_FALSE(fs::exists(Ini()));
    ASSERT_EQ(Boxes().size(), 4u);
    EXPECT_EQ(Boxes()[1]->title, "Configuration file");
    EXPECT_EQ(Boxes()[1]->text, "Error reading the file \"" + GlobalInfo().IniFileName +
                                    "\"!\rError: Can't find configuration file.");
    EXPECT_EQ(Boxes()[3]->title, "Configuration file");
    EXPECT_EQ(Boxes()[3]->text, "Can't find configuration file.");
}

TEST_F(ConfigTest, LoadConfigNeverCreatesTheFile) {
    EXPECT_FALSE(LoadConfig());
    EXPECT_FALSE(fs::exists(Ini()));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_EQ(Boxes()[0]->text, "Can't find configuration file.");
}

TEST_F(ConfigTest, LoadConfigStartsFromDefaults) {
    WriteIni("ChangeClosingBmp=1\r\n");
    GlobalInfo().ChangeBootBmp = true;
    EXPECT_TRUE(LoadConfig());
    EXPECT_FALSE(GlobalInfo().ChangeBootBmp);
    EXPECT_TRUE(GlobalInfo().ChangeClosingBmp);
}

TEST_F(ConfigTest, AFailedWriteKeepsTheOldFileAndReportsTheErrorCode) {
    WriteIni("ChangeBootBmp=1\r\n");
    std::string before = ReadFile(Ini());
    ASSERT_TRUE(
        platform::SetFileAttributes(GlobalInfo().IniFileName, platform::FILE_ATTRIBUTE_READONLY));
    WriteConfigAtClose();
    EXPECT_EQ(ReadFile(Ini()), before);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->text,
              "Error creating the file \"" + GlobalInfo().IniFileName + "\"!\rError: 5");
}

TEST_F(ConfigTest, DamagedFilesReadByTheRulesWithoutCrashing) {
    std::string junk;
    for (int i = 0; i < 4096; ++i) junk += static_cast<char>((i * 37 + 11) % 256);
    for (std::string text :
         {std::string("[Bootrama-Options]\rChangeBootBmp=1\rNewInstalled=1"),
          std::string("[Bootrama-Options]\nChangeBootBmp=1\nNewInstalled=1"),
          std::string("[Bootrama-Options]\r\nChangeBootBmp=1\0junk\r\nNewInstalled=1", 56),
          "[Bootrama-Options]\r\nLogoPath=" + std::string(100000, 'x') +
              "\r\nChangeBootBmp=1\r\nNewInstalled=1",
          junk + "\r\n[Bootrama-Options]\r\nChangeBootBmp=1\r\nNewInstalled=1\r\n" + junk}) {
        WriteFile(Ini(), text);
        GlobalInfo().SetDefaults();
        TSBootIni ini;
        EXPECT_NO_THROW(ini.ReadConfig());
        EXPECT_TRUE(GlobalInfo().ChangeBootBmp);
        EXPECT_TRUE(GlobalInfo().NewInstalled);
    }
}

}  // namespace
