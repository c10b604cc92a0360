#include "core/Global.h"
#include "core/ProgErrors.h"
#include "support/TestEnv.h"

namespace {

using testenv::MachineTest;

class GlobalTest : public MachineTest {};

TEST_F(GlobalTest, StartValuesComeFromTheMachineAndTheProgramFolder) {
    const TGlobalInfo& info = GlobalInfo();
    EXPECT_EQ(info.AppPath, Win(ProgramDir()) + "\\");
    EXPECT_EQ(info.BootListFile, info.AppPath + "brboot.dat");
    EXPECT_EQ(info.ClosingListFile, info.AppPath + "brclsing.dat");
    EXPECT_EQ(info.CloseListFile, info.AppPath + "brclose.dat");
    EXPECT_EQ(info.IniFileName, info.AppPath + "bootrama.ini");
    EXPECT_EQ(info.WindowsPath(), "C:\\WINDOWS\\");
    EXPECT_EQ(info.BootDrive(), "C:\\");
    EXPECT_EQ(info.LogoPath(), "");
    EXPECT_EQ(info.ImagePath(), "");
    EXPECT_TRUE(info.ShowPreview);
    EXPECT_FALSE(info.ChangeBootBmp || info.ChangeCloseBmp || info.ChangeClosingBmp);
    EXPECT_FALSE(info.NewInstalled || info.ReadingConfig);
}

TEST_F(GlobalTest, WindowsDirectoryFollowsMsdosSys) {
    std::filesystem::create_directories(DriveC() / "WIN98");
    WriteFile(DriveC() / "MSDOS.SYS", "[Paths]\r\nWinDir=C:\\WIN98\r\n");
    GlobalInfo().SetDefaults();
    EXPECT_EQ(GlobalInfo().WindowsPath(), "C:\\WIN98\\");
    EXPECT_EQ(LogoFileOf(lkClosing), "C:\\WIN98\\logow.sys");
}

TEST_F(GlobalTest, SetPathTakesEmptyAndExistingDirectoriesUnchanged) {
    TGlobalInfo& info = GlobalInfo();
    info.SetLogoPath("C:\\WINDOWS");
    EXPECT_EQ(info.LogoPath(), "C:\\WINDOWS");  // no backslash is added
    info.SetLogoPath("c:\\windows\\system\\");
    EXPECT_EQ(info.LogoPath(), "c:\\windows\\system\\");
    info.SetLogoPath("");
    EXPECT_EQ(info.LogoPath(), "");
}

TEST_F(GlobalTest, SetPathRefusesMissingDirectoriesAndFiles) {
    TGlobalInfo& info = GlobalInfo();
    info.SetImagePath("C:\\WINDOWS\\");
    for (std::string bad : {"C:\\NoSuchDir\\", "C:\\MSDOS.SYS", "Q:\\", "nonsense"}) {
        try {
            info.SetImagePath(bad);
            ADD_FAILURE() << bad << " was accepted";
        } catch (const EPathError& error) {
            EXPECT_EQ(error.Message(), "The path \"" + bad +
                                           "\" is not valid. Please, check the entry in the "
                                           "Options dialog!");
        }
        EXPECT_EQ(info.ImagePath(), "C:\\WINDOWS\\");
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(GlobalTest, SetPathWhileReadingConfigShowsOneBoxAndRaisesNothing) {
    TGlobalInfo& info = GlobalInfo();
    info.ReadingConfig = true;
    EXPECT_NO_THROW(info.SetBootDrive("X:\\"));
    EXPECT_EQ(info.BootDrive(), "C:\\");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::Error);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_EQ(Boxes()[0]->text,
              "The path \"X:\\\" is not valid. Please, check the entry in the Options dialog!");
}

TEST_F(GlobalTest, DanglingBootDriveGivesThePathErrorNotACrash) {
    std::filesystem::remove_all(DriveC());
    EXPECT_THROW(GlobalInfo().SetLogoPath("C:\\WINDOWS\\"), EPathError);
    EXPECT_NO_THROW(GlobalInfo().SetDefaults());
    EXPECT_EQ(
        BoxTexts(),
        (std::vector<std::string>{
            "The path \"C:\\WINDOWS\\\" is not valid. Please, check the entry in the "
            "Options dialog!",
            "The path \"C:\\\" is not valid. Please, check the entry in the Options dialog!"}));
    EXPECT_FALSE(GlobalInfo().ReadingConfig);
}

TEST_F(GlobalTest, KindLookups) {
    EXPECT_EQ(LogoFileOf(lkBoot), "C:\\logo.sys");
    EXPECT_EQ(LogoFileOf(lkClosing), "C:\\WINDOWS\\logow.sys");
    EXPECT_EQ(LogoFileOf(lkClose), "C:\\WINDOWS\\logos.sys");
    EXPECT_EQ(ListFileOf(lkClosing), GlobalInfo().AppPath + "brclsing.dat");
    EXPECT_EQ(ListFileOf(lkClose), GlobalInfo().AppPath + "brclose.dat");
    EXPECT_EQ(LogoKindName(lkBoot), "Startup logo");
    EXPECT_EQ(LogoKindName(lkClosing), "Shutdown logo");
    EXPECT_EQ(LogoKindName(lkClose), "Final logo");
    for (auto outside : {TLogoKind(-1), TLogoKind(3), TLogoKind(7)}) {
        EXPECT_EQ(LogoKindName(outside), "logo");
        EXPECT_EQ(ListFileOf(outside), "");
        EXPECT_EQ(LogoFileOf(outside), "");
    }
}

TEST_F(GlobalTest, ChangeFlagOfMapsKindsAndAnswersAnyBeyondThem) {
    TGlobalInfo& info = GlobalInfo();
    EXPECT_FALSE(AnyChangeFlag());
    EXPECT_FALSE(ChangeFlagOf(TLogoKind(3)));
    info.ChangeClosingBmp = true;
    EXPECT_FALSE(ChangeFlagOf(lkBoot));
    EXPECT_TRUE(ChangeFlagOf(lkClosing));
    EXPECT_FALSE(ChangeFlagOf(lkClose));
    EXPECT_TRUE(AnyChangeFlag());
    EXPECT_TRUE(ChangeFlagOf(TLogoKind(3)));
    info.ChangeClosingBmp = false;
    info.ChangeCloseBmp = true;
    EXPECT_TRUE(ChangeFlagOf(lkClose));
    EXPECT_TRUE(ChangeFlagOf(TLogoKind(4)));
}

TEST(TextUtilities, IntToStrWidthPadsButNeverCuts) {
    EXPECT_EQ(IntToStrWidth(7, 5), "    7");
    EXPECT_EQ(IntToStrWidth(123456, 5), "123456");
    EXPECT_EQ(IntToStrWidth(-3, 3), " -3");
}

TEST(TextUtilities, AddBackslash) {
    EXPECT_EQ(AddBackslash(""), "");
    EXPECT_EQ(AddBackslash("C:\\"), "C:\\");
    EXPECT_EQ(AddBackslash("C:\\Logos"), "C:\\Logos\\");
}

TEST(TextUtilities, ExtractFilePathAndName) {
    EXPECT_EQ(ExtractFilePath("C:\\Logos\\sun.sys"), "C:\\Logos\\");
    EXPECT_EQ(ExtractFileName("C:\\Logos\\sun.sys"), "sun.sys");
    EXPECT_EQ(ExtractFilePath("C:logo.sys"), "C:");
    EXPECT_EQ(ExtractFileName("C:\\"), "");
    EXPECT_EQ(ExtractFileName("sun.sys"), "sun.sys");
}

TEST(TextUtilities, FormatFillsPlaceholdersInOrder) {
    EXPECT_EQ(Format("Error reading the file \"%s\"!\rError: %s", {"C:\\a.ini", "EFOpenError"}),
              "Error reading the file \"C:\\a.ini\"!\rError: EFOpenError");
    EXPECT_EQ(Format("Invalid entries: %d", {"3"}), "Invalid entries: 3");
    EXPECT_EQ(Format("100%% %s", {}), "100%% %s");  // nothing to fill: the text stays
}

TEST(ExceptionTree, HandlersCatchTheClassesBelowThem) {
    auto caughtAs = [](auto thrower) {
        try {
            thrower();
        } catch (const ELogoError& error) {
            return std::string("ELogoError:") + error.ClassName();
        } catch (const EConfigError& error) {
            return std::string("EConfigError:") + error.ClassName();
        } catch (const EProgError& error) {
            return std::string("EProgError:") + error.ClassName();
        }
        return std::string("none");
    };
    EXPECT_EQ(caughtAs([] { throw EChangeError("x"); }), "ELogoError:EChangeError");
    EXPECT_EQ(caughtAs([] { throw EInvalidLogo("x"); }), "ELogoError:EInvalidLogo");
    EXPECT_EQ(caughtAs([] { throw EDefaultLogo("x"); }), "ELogoError:EDefaultLogo");
    EXPECT_EQ(caughtAs([] { throw EPathError("x"); }), "EConfigError:EPathError");
    EXPECT_EQ(caughtAs([] { throw EWriteRegError("x"); }), "EProgError:EWriteRegError");
    EXPECT_EQ(caughtAs([] { throw EFileListError("x"); }), "EProgError:EFileListError");
}

TEST(ExceptionTree, ClassNamesSurviveSlicingThroughTheBase) {
    try {
        throw ECopyError("copy failed");
    } catch (const std::exception& error) {
        EXPECT_EQ(platform::ClassNameOf(error), "ECopyError");
        EXPECT_STREQ(error.what(), "copy failed");
    }
    EXPECT_EQ(platform::ClassNameOf(std::bad_alloc()), "EOutOfMemory");
    EXPECT_EQ(platform::ClassNameOf(std::runtime_error("x")), "Exception");
}

}  // namespace
