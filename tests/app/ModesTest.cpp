// Black-box tests of the command-line modes /Auto and /U of the real executable.

#include <gmock/gmock.h>

#include <random>

#include "app/BootramaRun.h"
#include "platform/Files.h"
#include "platform/Profile.h"
#include "platform/Registry.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace apptest {
namespace {

constexpr const char* RunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* AutoStartValue = "Bootrama: change logos";
constexpr const char* ProgramKey = "\\Software\\Orvell\\Bootrama\\2.00";
constexpr const char* UndoTitle = "Bootrama: undo changes";

class ModesTest : public BootramaRun {
protected:
    ModesTest() {
        for (TLogoKind kind : AllLogoKinds) WriteFile(Logo(kind), Current(kind));
    }

    std::string ListPath(TLogoKind kind) const {
        return AppPath() + List(kind).filename().string();
    }
    fs::path Backup(TLogoKind kind) const {
        return ProgramDir() / (kind == lkBoot      ? "logo.bak"
                               : kind == lkClosing ? "logow.bak"
                                                   : "logos.bak");
    }
    void ExpectNothingSwitched() const {
        for (TLogoKind kind : AllLogoKinds) EXPECT_EQ(ReadFile(Logo(kind)), Current(kind));
    }

    static std::string NotChanged(const std::string& kindName, const std::string& error) {
        return Box("error", "Bootrama",
                   "The " + kindName + " could not be changed!\rError: " + error, "ok");
    }
    static std::string NoConfigBox() {
        return Box("error", "Bootrama", "Can't find configuration file.", "ok");
    }

    // The registry entries and the msdos.sys key that /U takes back.
    void WriteSystemChanges() {
        platform::Registry machine(platform::RootKey::LocalMachine);
        ASSERT_TRUE(machine.OpenKey(RunKey, true));
        machine.WriteString(AutoStartValue, AppPath() + "bootrama /Auto");
        platform::Registry user(platform::RootKey::CurrentUser);
        ASSERT_TRUE(user.OpenKey(ProgramKey, true));
        user.WriteString("Version", "2.00");
        ASSERT_TRUE(platform::WritePrivateProfileString("Options", "Logo", "0", "C:\\MSDOS.SYS"));
    }
    bool AutoStartPresent() {
        platform::Registry machine(platform::RootKey::LocalMachine);
        return machine.OpenKey(RunKey, false) && machine.ValueExists(AutoStartValue);
    }
    bool ProgramKeyPresent() {
        return platform::Registry(platform::RootKey::CurrentUser).KeyExists(ProgramKey);
    }
    std::string LogoKey() {
        return platform::GetPrivateProfileString("Options", "Logo", "absent", "C:\\MSDOS.SYS");
    }
};

// Qt names the missing platform plugin when the GUI application is attempted.
void ExpectMainWindowAttempted(const RunResult& run) {
    EXPECT_FALSE(run.exited && run.exitCode == 0);
    EXPECT_THAT(run.errors, HasSubstr(NoDisplayPlatform));
}

// Ended by itself, without any GUI object: one would have aborted on the missing plugin.
void ExpectWindowless(const RunResult& run) {
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.errors, Not(HasSubstr(NoDisplayPlatform)));
}

// ---- /Auto ----

class AutoFlags : public ModesTest, public ::testing::WithParamInterface<int> {};

TEST_P(AutoFlags, SwitchesExactlyTheKindsWhoseFlagIsOn) {
    const bool boot = GetParam() & 1, closing = GetParam() & 2, close = GetParam() & 4;
    WriteConfig(boot, close, closing);
    WriteOneLogoLists();
    RunResult run = Run("/Auto");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, IsEmpty());
    EXPECT_EQ(Switched(lkBoot), boot);
    EXPECT_EQ(Switched(lkClosing), closing);
    EXPECT_EQ(Switched(lkClose), close);
}

INSTANTIATE_TEST_SUITE_P(Auto, AutoFlags, ::testing::Range(1, 8));

TEST_F(ModesTest, AutoWithoutAnyFlagSaysSoAndOpensTheMainWindow) {
    WriteConfig(false, false, false);
    WriteOneLogoLists();
    RunResult run = Run("/Auto");
    EXPECT_THAT(run.boxes, ElementsAre(Box("error", "Bootrama",
                                           "The Automatic Bootrama is not activated. There is "
                                           "nothing to do.",
                                           "ok")));
    ExpectMainWindowAttempted(run);
    ExpectNothingSwitched();
}

TEST_F(ModesTest, AutoReportsMissingAndEmptyListsKindByKind) {
    WriteConfig(true, true, true);
    WriteOneLogoLists();
    fs::remove(List(lkBoot));
    WriteFile(List(lkClosing), "");
    RunResult run = Run("/Auto");
    ExpectWindowless(run);
    EXPECT_THAT(
        run.boxes,
        ElementsAre(NotChanged("Startup logo", "Error reading the logo list in " +
                                                   ListPath(lkBoot) + "!\rError: EFileListError"),
                    NotChanged("Shutdown logo", "Logo list is empty!")));
    EXPECT_TRUE(Switched(lkClose));
    EXPECT_EQ(ReadFile(Logo(lkBoot)), Current(lkBoot));
}

TEST_F(ModesTest, AutoSwitchesStartupBeforeFinal) {
    WriteConfig(true, true, false);
    RunResult run = Run("/Auto");
    ASSERT_EQ(run.boxes.size(), 2u);
    EXPECT_THAT(run.boxes[0], HasSubstr("The Startup logo"));
    EXPECT_THAT(run.boxes[1], HasSubstr("The Final logo"));
}

TEST_F(ModesTest, AutoWithVanishedEntryOffersToCleanTheList) {
    WriteConfig(false, false, true);
    WriteFile(List(lkClosing), "C:\\Logos\\gone.sys\r\n");
    RunResult run = Run("/Auto", "yes");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes,
                ElementsAre(Box("error", "Switch logo",
                                "The Shutdown logo could not be changed!\rError: \rFile "
                                "\"C:\\Logos\\gone.sys\" not found.",
                                "ok"),
                            Box("yesno", "Switch logo",
                                "The logo list contains one or more invalid entries.\rInvalid "
                                "entries: 1\rDo you want to remove these entries from the logo "
                                "list?",
                                "yes")));
    EXPECT_EQ(ReadFile(List(lkClosing)), "");
    ExpectNothingSwitched();
}

TEST_F(ModesTest, AutoWithoutConfigurationTouchesNothing) {
    WriteOneLogoLists();
    RunResult run = Run("/Auto");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(NoConfigBox()));
    ExpectNothingSwitched();
}

TEST_F(ModesTest, WithoutLogAndDisplayBoxesGoToStandardError) {
    WriteConfig(false, true, false);
    RunResult run = RunWithoutLog("/Auto");
    EXPECT_TRUE(run.exited);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_THAT(run.errors, HasSubstr("The Final logo could not be changed!"));
    ExpectNothingSwitched();
}

class OtherSpellings : public ModesTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OtherSpellings, OpenTheMainWindowAndSwitchNothing) {
    WriteConfig(true, true, true);
    WriteOneLogoLists();
    WriteSystemChanges();
    RunResult run = Run(GetParam());
    ExpectMainWindowAttempted(run);
    EXPECT_THAT(run.boxes, IsEmpty());
    ExpectNothingSwitched();
    EXPECT_TRUE(AutoStartPresent());
}

INSTANTIATE_TEST_SUITE_P(Entry, OtherSpellings,
                         ::testing::Values("/auto", "/AUTO", "-Auto", "/u", "-U", ""));

// ---- Bad lists ----

struct BadList {
    const char* name;
    std::string contents;
    bool switched;  // to C:\Logos\new0.sys
};

void PrintTo(const BadList& testCase, std::ostream* out) {
    *out << testCase.name;
}

class AutoWithBadList : public ModesTest, public ::testing::WithParamInterface<BadList> {};

TEST_P(AutoWithBadList, EndsInTheProgramsMessagesAndLosesNoLogo) {
    WriteConfig(true, false, false);
    WriteOneLogoLists();
    fs::create_directories(DriveC() / "Logos" / "folder.sys");
    const bool devices = testenv::MakeCharacterDevice(DriveC() / "Devices" / "null", 3) &&
                         testenv::MakeCharacterDevice(DriveC() / "Devices" / "zero", 5);
    if (!devices && GetParam().contents.starts_with("C:\\Devices"))
        GTEST_SKIP() << "only root may make device nodes";
    WriteFile(List(lkBoot), GetParam().contents);
    RunResult run = Run("/Auto");
    ExpectWindowless(run);
    EXPECT_EQ(Switched(lkBoot), GetParam().switched);
    if (!GetParam().switched) {
        EXPECT_EQ(ReadFile(Logo(lkBoot)), Current(lkBoot));
        ASSERT_FALSE(run.boxes.empty());
        EXPECT_THAT(run.boxes[0], HasSubstr("The Startup logo could not be changed!"));
    }
    EXPECT_EQ(ReadFile(Logo(lkClose)), Current(lkClose));
}

std::string ManyMissingLines() {
    std::string lines;
    for (int i = 0; i < 100000; ++i) lines += "C:\\Logos\\missing" + std::to_string(i) + ".sys\r\n";
    return lines;
}

std::string Junk() {
    std::mt19937 random(11);
    std::string junk;
    for (int i = 0; i < 100000; ++i) junk += static_cast<char>(random() % 256);
    return junk;
}

INSTANTIATE_TEST_SUITE_P(
    Auto, AutoWithBadList,
    ::testing::Values(
        BadList{"NulBytes", std::string("C:\\Logos\\new0.sys\0C:\\Logos\\x.sys\r\n", 34), true},
        BadList{"CarriageReturnsOnly", "C:\\Logos\\new0.sys\rc:\\LOGOS\\NEW0.SYS\r", true},
        BadList{"LongLine", std::string(100000, 'x'), false},
        BadList{"ManyLines", ManyMissingLines(), false}, BadList{"Junk", Junk(), false},
        BadList{"Directory", "C:\\Logos\\folder.sys\r\n", false},
        BadList{"NullDevice", "C:\\Devices\\null\r\n", false},
        BadList{"ZeroDevice", "C:\\Devices\\zero\r\n", false},
        BadList{"MissingDrive", "Q:\\new0.sys\r\n", false}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// ---- /U ----

TEST_F(ModesTest, UndoWithoutConfigurationAsksNothing) {
    WriteOneLogoLists();
    WriteSystemChanges();
    RunResult run = Run("/U", "yes,no");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(NoConfigBox()));
    EXPECT_TRUE(AutoStartPresent());
    EXPECT_TRUE(ProgramKeyPresent());
    EXPECT_EQ(LogoKey(), "0");
    EXPECT_TRUE(fs::exists(List(lkBoot)));
}

std::string RestoreQuestion(const std::string& answer) {
    return Box("yesno", UndoTitle,
               "Do you wish to replace the current logos by the backup copies created by "
               "Bootrama?",
               answer);
}

std::string KeepListsQuestion(const std::string& answer) {
    return Box("yesno", UndoTitle,
               "Do you wish to keep the logo lists for future use with Bootrama?", answer);
}

// Answering No to keeping the lists deletes them, as the question says.
TEST_F(ModesTest, UndoAnsweredNoTwiceKeepsLogosAndTakesBackTheRest) {
    WriteConfig(true, false, false);
    WriteOneLogoLists();
    WriteSystemChanges();
    for (TLogoKind kind : AllLogoKinds) WriteFile(Backup(kind), "backup");
    RunResult run = Run("/U", "no,no");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(RestoreQuestion("no"), KeepListsQuestion("no")));
    ExpectNothingSwitched();
    for (TLogoKind kind : AllLogoKinds) {
        EXPECT_FALSE(fs::exists(List(kind)));
        EXPECT_TRUE(fs::exists(Backup(kind)));
    }
    EXPECT_FALSE(AutoStartPresent());
    EXPECT_FALSE(ProgramKeyPresent());
    EXPECT_EQ(LogoKey(), "absent");
}

TEST_F(ModesTest, UndoRestoresTheBackupsAndDeletesThem) {
    WriteConfig(false, false, false);
    WriteOneLogoLists();
    for (TLogoKind kind : AllLogoKinds)
        WriteFile(Backup(kind), "saved " + std::to_string(KindIndex(kind)));
    RunResult run = Run("/U", "yes,yes");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(RestoreQuestion("yes"), KeepListsQuestion("yes")));
    for (TLogoKind kind : AllLogoKinds) {
        EXPECT_EQ(ReadFile(Logo(kind)), "saved " + std::to_string(KindIndex(kind)));
        EXPECT_FALSE(fs::exists(Backup(kind)));
        EXPECT_TRUE(fs::exists(List(kind)));
    }
}

TEST_F(ModesTest, UndoWithoutBackupsGoesOnQuietly) {
    WriteConfig(false, false, false);
    WriteSystemChanges();
    RunResult run = Run("/U", "yes,yes");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(RestoreQuestion("yes"), KeepListsQuestion("yes")));
    // The startup logo went back to the Windows default; the two others had no copy.
    EXPECT_FALSE(fs::exists(Logo(lkBoot)));
    EXPECT_EQ(ReadFile(Logo(lkClose)), Current(lkClose));
    EXPECT_FALSE(AutoStartPresent());
    EXPECT_EQ(LogoKey(), "absent");
}

TEST_F(ModesTest, UndoReportsAWriteProtectedListFile) {
    WriteConfig(false, false, false);
    WriteOneLogoLists();
    platform::SetFileAttributes(AppPath() + "brclsing.dat", platform::FILE_ATTRIBUTE_READONLY);
    RunResult run = Run("/U", "no,no");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(RestoreQuestion("no"), KeepListsQuestion("no"),
                                       Box("error", UndoTitle,
                                           "Error deleting one or more logo list files!", "ok")));
    EXPECT_FALSE(fs::exists(List(lkBoot)));
    EXPECT_TRUE(fs::exists(List(lkClosing)));
    EXPECT_FALSE(fs::exists(List(lkClose)));
}

// msdos.sys is read-only, hidden and system on every Windows machine.
TEST_F(ModesTest, UndoTurnsTheLogoOnInAReadOnlyMsdosSys) {
    WriteConfig(false, false, false);
    WriteSystemChanges();
    const std::uint32_t hiddenSystem =
        platform::FILE_ATTRIBUTE_HIDDEN | platform::FILE_ATTRIBUTE_SYSTEM;
    platform::SetFileAttributes("C:\\MSDOS.SYS", platform::FILE_ATTRIBUTE_READONLY | hiddenSystem);
    RunResult run = Run("/U", "no,yes");
    ExpectWindowless(run);
    EXPECT_THAT(run.boxes, ElementsAre(RestoreQuestion("no"), KeepListsQuestion("yes")));
    EXPECT_EQ(LogoKey(), "absent");
    EXPECT_EQ(platform::GetFileAttributes("C:\\MSDOS.SYS") & platform::FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(AutoStartPresent());
}

TEST_F(ModesTest, UndoReportsARegistryItCannotRead) {
    WriteConfig(false, false, false);
    WriteFile(MachineRoot() / "registry.reg", "not a registry\r\n");
    RunResult run = Run("/U", "no,yes");
    ExpectWindowless(run);
    ASSERT_EQ(run.boxes.size(), 4u);
    EXPECT_EQ(run.boxes[2], Box("error", UndoTitle,
                                "Bootrama was unable to remove the item in the registry. "
                                "(EWriteRegError)",
                                "ok"));
    EXPECT_EQ(run.boxes[3],
              Box("error", UndoTitle,
                  "Error writing to the Windows registry!\rError: EReadRegError", "ok"));
    EXPECT_EQ(ReadFile(MachineRoot() / "registry.reg"), "not a registry\r\n");
}

}  // namespace
}  // namespace apptest
