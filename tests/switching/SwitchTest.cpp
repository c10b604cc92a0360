#include <gmock/gmock.h>

#include "core/ProgErrors.h"
#include "core/RegEntries.h"
#include "image/Bitmap.h"
#include "image/BmpCodec.h"
#include "platform/Files.h"
#include "support/TestEnv.h"
#include "switching/Switch.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

namespace fs = std::filesystem;

class SwitchTest : public testenv::MachineTest {
protected:
    SwitchTest() {
        WriteFile(DriveC() / "LOGO.SYS", "current startup");
        WriteFile(DriveC() / "WINDOWS" / "LOGOW.SYS", "current shutdown");
        WriteFile(DriveC() / "WINDOWS" / "LOGOS.SYS", "current final");
    }
    fs::path ListHost(TLogoKind kind) const {
        static const TKindTable<const char*> names = {"brboot.dat", "brclsing.dat", "brclose.dat"};
        return ProgramDir() / names[kind];
    }
    std::string MakeLogo(const std::string& name) const {
        WriteFile(DriveC() / "Logos" / name, "logo " + name);
        return "C:\\Logos\\" + name;
    }
    std::string StartupLogo() const { return ReadFile(DriveC() / "LOGO.SYS"); }
};

// ---- The generator ----

TEST(RandomGenerator, WorkedDraws) {
    SetRandomState(0);
    EXPECT_EQ(RandomDraw(3), 0u);
    EXPECT_EQ(RandomState(), 1u);
    SetRandomState(1);
    EXPECT_EQ(RandomDraw(100), 3u);
    EXPECT_EQ(RandomState(), 134775814u);
}

TEST(RandomGenerator, StateWrapsAtThirtyTwoBits) {
    SetRandomState(0xFFFFFFFFu);
    RandomDraw(10);
    EXPECT_EQ(RandomState(), static_cast<std::uint32_t>(0xFFFFFFFFull * 134775813ull + 1));
}

TEST_F(SwitchTest, SeedIsTheMillisecondOfTheDayInUtc) {
    SetTime({23, 59, 59, 999});
    SeedRandomFromClock();
    EXPECT_EQ(RandomState(), 86399999u);
    SetTime({1, 2, 3, 4});
    SeedRandomFromClock();
    EXPECT_EQ(RandomState(), 3723004u);
}

TEST_F(SwitchTest, PicksInTheSameMillisecondAgree) {
    std::string lines;
    for (int i = 0; i < 1000; ++i) lines += "C:\\" + std::to_string(i) + ".sys\r\n";
    WriteFile(ListHost(lkBoot), lines);
    WriteFile(ListHost(lkClose), lines);
    SetTime({7, 30, 12, 345});
    EXPECT_EQ(PickRandomEntry(GlobalInfo().BootListFile),
              PickRandomEntry(GlobalInfo().CloseListFile));
    SetRandomState(((7 * 60 + 30) * 60 + 12) * 1000 + 345);
    EXPECT_EQ(PickRandomEntry(GlobalInfo().BootListFile),
              "C:\\" + std::to_string(RandomDraw(1000)) + ".sys");
}

TEST_F(SwitchTest, PickTakesAnyLineAsItStands) {
    WriteFile(ListHost(lkBoot), "C:\\only.sys");
    for (int ms = 0; ms < 5; ++ms) {
        SetTime({12, 0, 0, ms});
        EXPECT_EQ(PickRandomLogo(lkBoot), "C:\\only.sys");
    }
    WriteFile(ListHost(lkBoot), "\r\n");
    EXPECT_EQ(PickRandomLogo(lkBoot), "");
}

TEST_F(SwitchTest, PickFromMissingOrEmptyListRaises) {
    try {
        PickRandomLogo(lkClosing);
        FAIL();
    } catch (const EFileListError& error) {
        EXPECT_EQ(error.Message(), "Error reading the logo list in " +
                                       GlobalInfo().ClosingListFile + "!\rError: EFileListError");
    }
    WriteFile(ListHost(lkClosing), "");
    try {
        PickRandomLogo(lkClosing);
        FAIL();
    } catch (const EFileListError& error) {
        EXPECT_EQ(error.Message(), "Logo list is empty!");
    }
}

// ---- Copying and replacing ----

TEST_F(SwitchTest, CopyReplacesAProtectedLogoAndTakesTheSourceAttributes) {
    const std::string source = MakeLogo("sky.sys");
    platform::SetFileAttributes(source, platform::FILE_ATTRIBUTE_ARCHIVE);
    platform::SetFileAttributes(
        "C:\\LOGO.SYS", platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
    CopyLogoFile(source, "C:\\logo.sys", false);
    EXPECT_EQ(StartupLogo(), "logo sky.sys");
    EXPECT_EQ(platform::GetFileAttributes("C:\\logo.sys"), platform::GetFileAttributes(source));
}

TEST_F(SwitchTest, CopyOfMissingSourceClearsTheTargetAttributesOnly) {
    platform::SetFileAttributes("C:\\LOGO.SYS", platform::FILE_ATTRIBUTE_READONLY);
    try {
        CopyLogoFile("C:\\Logos\\gone.sys", "C:\\logo.sys", false);
        FAIL();
    } catch (const EFileNotFound& error) {
        EXPECT_EQ(error.Message(), "File \"C:\\Logos\\gone.sys\" not found.");
    }
    EXPECT_EQ(StartupLogo(), "current startup");
    EXPECT_EQ(platform::GetFileAttributes("C:\\logo.sys") & platform::FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(SwitchTest, CopyErrorNamesTheTargetWithoutQuotes) {
    const std::string source = MakeLogo("sky.sys");
    try {
        CopyLogoFile(source, "C:\\logo.sys", true);
        FAIL();
    } catch (const ECopyError& error) {
        EXPECT_EQ(error.Message(),
                  "Error copying file \"C:\\Logos\\sky.sys\" to C:\\logo.sys\rError: ECopyError");
    }
    EXPECT_EQ(StartupLogo(), "current startup");
}

TEST_F(SwitchTest, ReplaceReturnsTheCurrentLogoFile) {
    EXPECT_EQ(ReplaceLogo(lkClosing, MakeLogo("dusk.sys")), LogoFileOf(lkClosing));
    EXPECT_EQ(ReadFile(DriveC() / "WINDOWS" / "LOGOW.SYS"), "logo dusk.sys");
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(SwitchTest, ReplaceByVanishedFileShowsThreeLinesThenChecksTheList) {
    WriteFile(ListHost(lkBoot), "C:\\Logos\\gone.sys\r\n" + MakeLogo("a.sys") + "\r\n");
    Answer({platform::IDYES});
    EXPECT_EQ(ReplaceLogo(lkBoot, "C:\\Logos\\gone.sys"), "");
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->kind, platform::BoxKind::Error);
    EXPECT_EQ(Boxes()[0]->title, "Switch logo");
    EXPECT_EQ(Boxes()[0]->text,
              "The Startup logo could not be changed!\rError: \rFile \"C:\\Logos\\gone.sys\" "
              "not found.");
    EXPECT_EQ(Boxes()[1]->title, "Switch logo");
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), "C:\\Logos\\a.sys\r\n");
    EXPECT_EQ(StartupLogo(), "current startup");
}

TEST_F(SwitchTest, FailedCopyIsShownWithoutListCheck) {
    const std::string source = MakeLogo("sky.sys");
    fs::remove_all(DriveC() / "WINDOWS");
    EXPECT_EQ(ReplaceLogo(lkClose, source), "");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0]->text,
              "The Final logo could not be changed!\rError: \rError copying file "
              "\"C:\\Logos\\sky.sys\" to C:\\WINDOWS\\logos.sys\rError: ECopyError");
}

struct BadEntry {
    const char* name;
    std::string path;
    std::string error;  // the message behind "Error: " and a line break
};

void PrintTo(const BadEntry& testCase, std::ostream* out) {
    *out << testCase.name;
}

class ReplaceByBadEntry : public SwitchTest, public ::testing::WithParamInterface<BadEntry> {};

TEST_P(ReplaceByBadEntry, IsReportedAndLeavesTheLogo) {
    fs::create_directories(DriveC() / "Logos" / "folder.sys");
    const bool devices = testenv::MakeCharacterDevice(DriveC() / "Devices" / "null", 3) &&
                         testenv::MakeCharacterDevice(DriveC() / "Devices" / "zero", 5);
    if (!devices && GetParam().path.starts_with("C:\\Devices"))
        GTEST_SKIP() << "only root may make device nodes";
    EXPECT_EQ(ReplaceLogo(lkBoot, GetParam().path), "");
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes()[0]->text,
              "The Startup logo could not be changed!\rError: \r" + GetParam().error);
    EXPECT_EQ(StartupLogo(), "current startup");
}

std::string NotFound(const std::string& path) {
    return "File \"" + path + "\" not found.";
}
// Devices pass for files but are never copied: reading a zero device would not end.
std::string NotCopied(const std::string& path) {
    return "Error copying file \"" + path + "\" to C:\\logo.sys\rError: ECopyError";
}

INSTANTIATE_TEST_SUITE_P(
    Switch, ReplaceByBadEntry,
    ::testing::Values(BadEntry{"Directory", "C:\\Logos\\folder.sys",
                               NotFound("C:\\Logos\\folder.sys")},
                      BadEntry{"MissingDrive", "Q:\\logo.sys", NotFound("Q:\\logo.sys")},
                      BadEntry{"NullDevice", "C:\\Devices\\null", NotCopied("C:\\Devices\\null")},
                      BadEntry{"ZeroDevice", "C:\\Devices\\zero", NotCopied("C:\\Devices\\zero")},
                      BadEntry{"Empty", "", NotFound("")},
                      BadEntry{"NoDrive", "logo.sys", NotFound("logo.sys")}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// ---- Saving a bitmap ----

TBitmap GreyLogo() {
    TBitmap logo;
    logo.Width = 320;
    logo.Height = 400;
    logo.BitsPerPixel = 8;
    logo.Pixels.assign(320 * 400, 7);
    for (int i = 0; i < 256; ++i) {
        auto level = static_cast<std::uint8_t>(i);
        logo.Colours.push_back({level, level, level});
    }
    return logo;
}

TEST_F(SwitchTest, SavedBitmapBecomesTheCurrentLogo) {
    platform::SetFileAttributes(
        "C:\\logo.sys", platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_SYSTEM);
    EXPECT_EQ(SaveBitmapAsLogo(lkBoot, GreyLogo()), LogoFileOf(lkBoot));
    EXPECT_EQ(ReadFile(DriveC() / "LOGO.SYS"), EncodeBmp8(GreyLogo()));
    EXPECT_EQ(ReadFile(DriveC() / "LOGO.SYS").size(), 129078u);
}

TEST_F(SwitchTest, BitmapThatCannotBeSavedLeavesTheLogo) {
    try {
        SaveBitmapAsLogo(lkBoot, TBitmap());
        FAIL();
    } catch (const EChangeError& error) {
        EXPECT_EQ(error.Message(),
                  "The Startup logo could not be changed!\rError: EInvalidGraphic");
    }
    fs::remove_all(DriveC() / "WINDOWS");
    try {
        SaveBitmapAsLogo(lkClosing, GreyLogo());
        FAIL();
    } catch (const EChangeError& error) {
        EXPECT_EQ(error.Message(), "The Shutdown logo could not be changed!\rError: EFCreateError");
    }
    EXPECT_EQ(StartupLogo(), "current startup");
}

// ---- Random switch ----

TEST_F(SwitchTest, RandomSwitchInstallsTheDrawnEntry) {
    WriteFile(ListHost(lkClose), MakeLogo("night.sys") + "\r\n");
    RandomSwitch(lkClose);
    EXPECT_EQ(ReadFile(DriveC() / "WINDOWS" / "LOGOS.SYS"), "logo night.sys");
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(SwitchTest, RandomSwitchReportsListProblems) {
    WriteFile(ListHost(lkBoot), "");
    RandomSwitch(lkBoot);
    RandomSwitch(lkClosing);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->title, "Bootrama");
    EXPECT_EQ(Boxes()[0]->text,
              "The Startup logo could not be changed!\rError: Logo list is empty!");
    EXPECT_EQ(Boxes()[1]->text,
              "The Shutdown logo could not be changed!\rError: Error reading the "
              "logo list in " +
                  GlobalInfo().ClosingListFile + "!\rError: EFileListError");
    EXPECT_EQ(StartupLogo(), "current startup");
}

// ---- The list operations around the switch ----

TEST_F(SwitchTest, CheckLogoListWritesTheListBackSorted) {
    WriteFile(ListHost(lkClosing), MakeLogo("b.sys") + "\r\n" + MakeLogo("a.sys"));
    CheckLogoList(lkClosing);
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_EQ(ReadFile(ListHost(lkClosing)), "C:\\Logos\\a.sys\r\nC:\\Logos\\b.sys\r\n");
}

TEST_F(SwitchTest, CheckLogoListReportsMissingAndEmptyLists) {
    CheckLogoList(lkBoot);
    WriteFile(ListHost(lkBoot), "");
    CheckLogoList(lkBoot);
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->text, "Error reading the logo list in " + GlobalInfo().BootListFile +
                                    "!\rError: EFileListError");
    EXPECT_EQ(Boxes()[1]->text, "Logo list is empty!");
    EXPECT_EQ(Boxes()[1]->title, "Bootrama");
}

TEST_F(SwitchTest, EnsureListFilesAsksForEachMissingFileInKindOrder) {
    WriteFile(ListHost(lkClosing), "C:\\x.sys\r\n");
    Answer({platform::IDYES, platform::IDNO});
    EnsureListFiles();
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0]->text,
              "Can not find logo list file " + GlobalInfo().BootListFile + ".\rCreate new?");
    EXPECT_EQ(Boxes()[1]->text,
              "Can not find logo list file " + GlobalInfo().CloseListFile + ".\rCreate new?");
    EXPECT_EQ(ReadFile(ListHost(lkBoot)), "");
    EXPECT_FALSE(fs::exists(ListHost(lkClose)));
    EXPECT_EQ(ReadFile(ListHost(lkClosing)), "C:\\x.sys\r\n");
}

TEST_F(SwitchTest, ListEntryCountDropsDuplicatesAndIgnoresMissingFiles) {
    WriteFile(ListHost(lkBoot), "C:\\a.sys\r\nc:\\A.SYS\r\nC:\\b.sys\r\n");
    EXPECT_EQ(ListEntryCount(lkBoot), 2);
    EXPECT_EQ(ListEntryCount(lkClose), 0);
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_F(SwitchTest, UpdateAutoSwitchTurnsOffKindsWithEmptyLists) {
    AddAutoStart();
    WriteFile(ListHost(lkBoot), "");
    WriteFile(ListHost(lkClose), "C:\\a.sys\r\n");
    GlobalInfo().ChangeBootBmp = true;
    GlobalInfo().ChangeClosingBmp = false;  // its missing list is not even read
    UpdateAutoSwitch();
    EXPECT_FALSE(GlobalInfo().ChangeBootBmp);
    EXPECT_FALSE(IsAutoStartOn());

    GlobalInfo().ChangeCloseBmp = true;
    UpdateAutoSwitch();
    EXPECT_TRUE(GlobalInfo().ChangeCloseBmp);
    EXPECT_TRUE(IsAutoStartOn());
    EXPECT_THAT(Boxes(), IsEmpty());
}

}  // namespace
