#include "core/Global.h"
#include "core/ProgErrors.h"
#include "core/RegEntries.h"
#include "platform/Registry.h"
#include "support/TestEnv.h"

namespace {

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
    EXPECT_FALSE(IsAutoStartOn());
    AddAutoStart();
    EXPECT_TRUE(IsAutoStartOn());
    EXPECT_EQ(RunValue(), AutoStartCommand());
    RemoveAutoStart();
    EXPECT_FALSE(IsAutoStartOn());
    EXPECT_EQ(RunValue(), "<none>");
    EXPECT_NO_THROW(RemoveAutoStart());  // a missing value is no error
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
