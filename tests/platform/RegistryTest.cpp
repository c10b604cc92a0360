#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "PlatformFixture.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/Registry.h"

namespace {

using namespace platform;
using platformtest::PlatformTest;
namespace fs = std::filesystem;

constexpr const char* kRun = "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

class RegistryTest : public PlatformTest {
protected:
    fs::path Store() const { return Root() / "registry.reg"; }
};

TEST_F(RegistryTest, NewMachineHasTheRunKey) {
    Registry registry(RootKey::LocalMachine);
    EXPECT_TRUE(registry.KeyExists(kRun));
    EXPECT_TRUE(registry.KeyExists("software\\MICROSOFT\\windows"));
    EXPECT_TRUE(registry.OpenKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\run", false));
    EXPECT_FALSE(registry.HasSubKeys());
    EXPECT_FALSE(Registry(RootKey::CurrentUser).KeyExists("\\SOFTWARE\\Microsoft"));
    EXPECT_FALSE(registry.OpenKey("\\SOFTWARE\\Orvell", false));
}

TEST_F(RegistryTest, StringValuesRoundTripWithRegeditEscaping) {
    Registry registry(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(kRun, false));
    registry.WriteString("Bootrama: change logos", "C:\\Program Files\\\"B\"\\bootrama /Auto");
    EXPECT_EQ(
        Read(Store()),
        "REGEDIT4\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Bootrama: change logos\"=\"C:\\\\Program Files\\\\\\\"B\\\"\\\\bootrama /Auto\"\r\n"
        "\r\n");
    Registry reader(RootKey::LocalMachine);
    ASSERT_TRUE(reader.OpenKey(kRun, false));
    EXPECT_TRUE(reader.ValueExists("BOOTRAMA: CHANGE LOGOS"));
    EXPECT_EQ(reader.ReadString("bootrama: change logos"),
              "C:\\Program Files\\\"B\"\\bootrama /Auto");
    EXPECT_EQ(reader.ReadString("missing"), "");
    reader.WriteString("BOOTRAMA: change logos", "new");
    EXPECT_EQ(reader.ReadString("Bootrama: change logos"), "new");
    EXPECT_NE(Read(Store()).find("\"Bootrama: change logos\"=\"new\""), std::string::npos);
    EXPECT_TRUE(reader.DeleteValue("Bootrama: change logos"));
    EXPECT_FALSE(reader.DeleteValue("Bootrama: change logos"));
    EXPECT_FALSE(reader.ValueExists("Bootrama: change logos"));
}

TEST_F(RegistryTest, KeysAreCreatedAndDeletedWithTheirSubkeys) {
    Registry user(RootKey::CurrentUser);
    ASSERT_TRUE(user.OpenKey("\\Software\\Orvell\\Bootrama\\2.00", true));
    user.WriteString("Version", "2");
    ASSERT_TRUE(user.OpenKey("\\Software\\Orvell\\Other", true));
    ASSERT_TRUE(user.OpenKey("\\Software\\Orvell", false));
    EXPECT_TRUE(user.HasSubKeys());

    EXPECT_TRUE(user.DeleteKey("\\SOFTWARE\\orvell\\bootrama"));
    EXPECT_FALSE(user.KeyExists("\\Software\\Orvell\\Bootrama\\2.00"));
    EXPECT_TRUE(user.KeyExists("\\Software\\Orvell\\Other"));
    EXPECT_FALSE(user.DeleteKey("\\Software\\Orvell\\Bootrama"));

    // A parent that lived only through the deleted key stays, as in the registry.
    EXPECT_TRUE(user.DeleteKey("\\Software\\Orvell\\Other"));
    EXPECT_TRUE(user.KeyExists("\\Software\\Orvell"));
    ASSERT_TRUE(user.OpenKey("\\Software\\Orvell", false));
    EXPECT_FALSE(user.HasSubKeys());
    EXPECT_TRUE(user.DeleteKey("\\Software\\Orvell"));
    EXPECT_FALSE(user.DeleteKey("\\"));
    EXPECT_TRUE(Registry(RootKey::LocalMachine).KeyExists(kRun));
}

TEST_F(RegistryTest, ValuesOfOtherTypesAndCommentsAreKept) {
    const std::string kept =
        "; exported by hand\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
        "\"Count\"=dword:0000002a\r\n"
        "; a comment inside\r\n"
        "\"Blob\"=hex:01,02,03,\\\r\n"
        "  04,05\r\n"
        "\"Path\"=hex(2):43,3a,5c,00\r\n"
        "@=\"default\"\r\n";
    Write(Store(), "REGEDIT4\r\n" + kept);
    Registry registry(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(kRun, false));
    EXPECT_THROW(registry.ReadString("Count"), ERegistryException);
    EXPECT_THROW(registry.ReadString("blob"), ERegistryException);
    EXPECT_EQ(registry.ReadString("Path"), "C:\\");
    EXPECT_EQ(registry.ReadString(""), "default");
    EXPECT_TRUE(registry.ValueExists("count"));
    registry.WriteString("New", "x");
    std::string after = Read(Store());
    for (const char* line : {"\"Count\"=dword:0000002a\r\n", "; a comment inside\r\n",
                             "\"Blob\"=hex:01,02,03,\\\r\n  04,05\r\n", "; exported by hand\r\n",
                             "\"Path\"=hex(2):43,3a,5c,00\r\n", "@=\"default\"\r\n"}) {
        EXPECT_NE(after.find(line), std::string::npos) << line;
    }
    registry.WriteString("Count", "now a string");
    EXPECT_EQ(registry.ReadString("Count"), "now a string");
}

TEST_F(RegistryTest, TwoBlocksOfOneKeyAreOneKey) {
    Write(
        Store(),
        "REGEDIT4\r\n\r\n[HKEY_USERS\\A]\r\n\"x\"=\"1\"\r\n\r\n[hkey_users\\a]\r\n\"y\"=\"2\"\r\n");
    Registry registry(RootKey::Users);
    ASSERT_TRUE(registry.OpenKey("A", false));
    EXPECT_EQ(registry.ReadString("y"), "2");
    EXPECT_TRUE(registry.DeleteValue("x"));
    EXPECT_EQ(registry.ReadString("y"), "2");
}

TEST_F(RegistryTest, MissingStoreIsEmptyAndCreatedOnWrite) {
    fs::remove(Store());
    Registry registry(RootKey::LocalMachine);
    EXPECT_FALSE(registry.KeyExists(kRun));
    EXPECT_FALSE(registry.OpenKey(kRun, false));
    EXPECT_FALSE(fs::exists(Store()));
    ASSERT_TRUE(registry.OpenKey(kRun, true));
    registry.WriteString("a", "b");
    EXPECT_EQ(Read(Store()),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
              "\"a\"=\"b\"\r\n\r\n");
}

TEST_F(RegistryTest, UnwritableStoreMakesWritesFail) {
    fs::permissions(Store(),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    std::string before = Read(Store());
    Registry registry(RootKey::LocalMachine);
    EXPECT_FALSE(registry.OpenKey("\\SOFTWARE\\New", true));
    ASSERT_TRUE(registry.OpenKey(kRun, false));
    EXPECT_THROW(registry.WriteString("a", "b"), ERegistryException);
    EXPECT_FALSE(registry.DeleteKey(kRun));
    EXPECT_EQ(Read(Store()), before);
}

TEST_F(RegistryTest, LineBreaksInAStringAreRefused) {
    Registry registry(RootKey::LocalMachine);
    ASSERT_TRUE(registry.OpenKey(kRun, false));
    EXPECT_THROW(registry.WriteString("a", "b\r\n[HKEY_USERS\\X]"), ERegistryException);
    EXPECT_THROW(registry.WriteString("a\n", "b"), ERegistryException);
    EXPECT_FALSE(Registry(RootKey::Users).KeyExists("X"));
}

TEST_F(RegistryTest, WritingToADeletedKeyFails) {
    Registry registry(RootKey::CurrentUser);
    ASSERT_TRUE(registry.OpenKey("\\Software\\Gone", true));
    ASSERT_TRUE(Registry(RootKey::CurrentUser).DeleteKey("\\Software\\Gone"));
    EXPECT_THROW(registry.WriteString("a", "b"), ERegistryException);
}

struct DamagedStore {
    const char* fault;
    std::string text;
};

// Test names come from the rule; the listing shows the same instead of raw bytes.
void PrintTo(const DamagedStore& test, std::ostream* out) {
    *out << test.fault;
}

class DamagedStoreTest : public RegistryTest, public ::testing::WithParamInterface<DamagedStore> {};

TEST_P(DamagedStoreTest, EveryOperationFailsAndTheStoreStaysAsItWas) {
    Write(Store(), GetParam().text);
    Registry registry(RootKey::LocalMachine);
    std::vector<std::function<void()>> operations = {
        [&] { registry.OpenKey(kRun, false); },  [&] { registry.OpenKey("\\SOFTWARE\\New", true); },
        [&] { registry.KeyExists(kRun); },       [&] { registry.DeleteKey(kRun); },
        [&] { registry.ValueExists("a"); },      [&] { registry.ReadString("a"); },
        [&] { registry.WriteString("a", "b"); }, [&] { registry.DeleteValue("a"); },
        [&] { registry.HasSubKeys(); },
    };
    for (std::size_t i = 0; i < operations.size(); ++i) {
        EXPECT_THROW(operations[i](), ERegistryException) << "operation " << i;
    }
    EXPECT_EQ(Read(Store()), GetParam().text);
}

std::string RandomJunk() {
    std::mt19937 random(99);
    std::string junk(4096, '\0');
    for (char& c : junk) c = static_cast<char>(random() % 255 + 1);
    return "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n" + junk;
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedStoreTest,
    ::testing::Values(
        DamagedStore{"no_header", "[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"a\"=\"b\"\r\n"},
        DamagedStore{"other_header", "Windows Registry Editor Version 5.00\r\n\r\n"},
        DamagedStore{"value_before_any_key", "REGEDIT4\r\n\"a\"=\"b\"\r\n"},
        DamagedStore{"stray_line", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\ngarbage\r\n"},
        DamagedStore{"unterminated_string",
                     "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"a\"=\"b\r\n"},
        DamagedStore{"text_after_string",
                     "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"a\"=\"b\" c\r\n"},
        DamagedStore{"missing_equals", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"a\"\r\n"},
        DamagedStore{"unknown_root", "REGEDIT4\r\n[SOFTWARE\\X]\r\n"},
        DamagedStore{"nul_byte", std::string("REGEDIT4\r\n[HKEY_USERS\\A\0]\r\n", 25)},
        DamagedStore{"binary_junk", RandomJunk()}),
    [](const auto& test) { return std::string(test.param.fault); });

TEST_F(RegistryTest, EmptyStoreFileHoldsNothing) {
    Write(Store(), "");
    Registry registry(RootKey::LocalMachine);
    EXPECT_FALSE(registry.KeyExists(kRun));
    EXPECT_TRUE(registry.OpenKey(kRun, true));
    EXPECT_TRUE(registry.KeyExists(kRun));
}

TEST_F(RegistryTest, LineFeedsAloneAndIndentationAreRead) {
    Write(Store(), "REGEDIT4\n\n[HKEY_USERS\\A]\n  \"x\" = \"1\"\n");
    Registry registry(RootKey::Users);
    ASSERT_TRUE(registry.OpenKey("A", false));
    EXPECT_EQ(registry.ReadString("x"), "1");
}

}  // namespace
