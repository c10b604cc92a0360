#include <gmock/gmock.h>

#include "core/Global.h"
#include "core/ProgErrors.h"
#include "core/RegEntries.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/SessionAutostart.h"
#include "support/TestEnv.h"

namespace {

namespace fs = std::filesystem;
using platform::Registry;
using platform::RootKey;

constexpr const char* RunKey = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* ValueName = "Bootrama: change logos";

class RegEntriesTest : public testenv::MachineTest {
protected:
    std::string RunValue() {
        Registry registry(RootKey::LocalMachine);
        EXPECT_TRUE(registry.OpenKey(RunKey, false));
        return registry.ValueExists(ValueName) ? registry.ReadString(ValueName) : "<none>";
    }
    void SetRunValue(const std::string& data) {
        Registry registry(RootKey::LocalMachine);
        ASSERT_TRUE(registry.OpenKey(RunKey, false));
        registry.WriteString(ValueName, data);
    }
    static void CreateUserKey(const std::string& key) {
        Registry registry(RootKey::CurrentUser);
        ASSERT_TRUE(registry.OpenKey(key, true));
    }
    static bool UserKeyExists(const std::string& key) {
        return Registry(RootKey::CurrentUser).KeyExists(key);
    }
};

TEST_F(RegEntriesTest, CommandIsTheProgramFolderAndAutoWithoutQuotes) {
    EXPECT_EQ(AutoStartCommand(), GlobalInfo().AppPath + "bootrama /Auto");
}

TEST_F(RegEntriesTest, AddTestRemoveRoundTrip) {
    const auto session = platform::SessionAutostartFile();
    EXPECT_FALSE(IsAutoStartOn());
    AddAutoStart();
    EXPECT_TRUE(IsAutoStartOn());
    EXPECT_EQ(RunValue(), AutoStartCommand());
    const std::string executable = (platform::ExecutableDirectory() / "bootrama").string();
    EXPECT_THAT(ReadFile(session), ::testing::HasSubstr("\nExec=\"" + executable + "\" /Auto\n"));
    RemoveAutoStart();
    EXPECT_FALSE(IsAutoStartOn());
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_FALSE(fs::exists(session));
    EXPECT_NO_THROW(RemoveAutoStart());  // a missing value is no error
}

// Kept in step like the value: a missing or changed entry makes the next update write both.
TEST_F(RegEntriesTest, TheSessionEntryCountsAsPartOfTheAutostart) {
    AddAutoStart();
    fs::remove(platform::SessionAutostartFile());
    EXPECT_FALSE(IsAutoStartOn());
    AddAutoStart();
    EXPECT_TRUE(IsAutoStartOn());
    WriteFile(platform::SessionAutostartFile(), "[Desktop Entry]\nExec=elsewhere /Auto\n");
    EXPECT_FALSE(IsAutoStartOn());
}

// A session started without $BOOTRAMA_MACHINE still switches the machine the switch was set on.
TEST_F(RegEntriesTest, TheSessionEntryNamesAMachineChosenByTheEnvironment) {
    {
        const testenv::ScopedEnvironment chosen({{"BOOTRAMA_MACHINE", MachineRoot().string()}});
        AddAutoStart();
    }
    EXPECT_THAT(
        ReadFile(platform::SessionAutostartFile()),
        ::testing::HasSubstr("\nExec=env \"BOOTRAMA_MACHINE=" + MachineRoot().string() + "\" \""));
}

TEST_F(RegEntriesTest, ASessionFolderThatCantBeWrittenIsReported) {
    const auto autostart = platform::SessionAutostartFile().parent_path();
    WriteFile(autostart, "a file where the folder belongs");
    try {
        AddAutoStart();
        ADD_FAILURE();
    } catch (const EWriteRegError& error) {
        EXPECT_EQ(error.Message(), "Error writing the autostart entry \"" +
                                       platform::SessionAutostartFile().string() +
                                       "\" of the desktop session!\rError: EFCreateError");
    }
    EXPECT_EQ(RunValue(), AutoStartCommand());
    EXPECT_FALSE(IsAutoStartOn());
    EXPECT_NO_THROW(RemoveAutoStart());
    EXPECT_EQ(RunValue(), "<none>");
}

TEST_F(RegEntriesTest, OtherFolderOrOtherCaseIsNotOurEntry) {
    SetRunValue("Z:\\Elsewhere\\bootrama /Auto");
    EXPECT_FALSE(IsAutoStartOn());
    AddAutoStart();
    EXPECT_EQ(RunValue(), AutoStartCommand());
    std::string lower = AutoStartCommand();
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    SetRunValue(lower);
    EXPECT_FALSE(IsAutoStartOn());
}

TEST_F(RegEntriesTest, WithoutTheRunKeyAddingFailsAndRemovingIsQuiet) {
    ASSERT_TRUE(Registry(RootKey::LocalMachine).DeleteKey(RunKey));
    EXPECT_FALSE(IsAutoStartOn());
    try {
        AddAutoStart();
        ADD_FAILURE();
    } catch (const EWriteRegError& error) {
        EXPECT_EQ(error.Message(),
                  "Error writing to the Windows registry!\rError: ERegistryException");
    }
    EXPECT_NO_THROW(RemoveAutoStart());
    EXPECT_FALSE(Registry(RootKey::LocalMachine).KeyExists(RunKey));  // never created
}

TEST_F(RegEntriesTest, RemoveProgramKeysKeepsOtherPrograms) {
    EXPECT_NO_THROW(RemoveProgramKeys());  // none of the keys exists
    CreateUserKey("\\Software\\Orvell\\Bootrama\\2.00\\Deeper");
    CreateUserKey("\\Software\\Orvell\\OtherTool");
    RemoveProgramKeys();
    EXPECT_FALSE(UserKeyExists("\\Software\\Orvell\\Bootrama"));
    EXPECT_TRUE(UserKeyExists("\\Software\\Orvell\\OtherTool"));
    Registry(RootKey::CurrentUser).DeleteKey("\\Software\\Orvell\\OtherTool");
    RemoveProgramKeys();
    EXPECT_FALSE(UserKeyExists("\\Software\\Orvell"));
    EXPECT_TRUE(UserKeyExists("\\Software"));
}

TEST_F(RegEntriesTest, DamagedStoreCountsAsOffAndIsLeftAlone) {
    const auto store = MachineRoot() / "registry.reg";
    WriteFile(store, std::string("\x01\x02 not a registry \xff", 20));
    EXPECT_FALSE(IsAutoStartOn());
    EXPECT_THROW(AddAutoStart(), EWriteRegError);
    EXPECT_EQ(ReadFile(store), std::string("\x01\x02 not a registry \xff", 20));
}

}  // namespace
