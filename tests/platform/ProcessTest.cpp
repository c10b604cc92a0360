#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Process.h"
#include "support/TestEnv.h"

namespace {

using namespace platform;

TEST(ProcessTest, ParamStrAndCountFollowTheCommandLine) {
    SetCommandLine({"/opt/bootrama/bootrama", "/Auto", "x"});
    EXPECT_EQ(ParamCount(), 2u);
    EXPECT_EQ(ParamStr(0), "/opt/bootrama/bootrama");
    EXPECT_EQ(ParamStr(1), "/Auto");
    EXPECT_EQ(ParamStr(3), "");
    SetCommandLine({});
    EXPECT_EQ(ParamCount(), 0u);
    EXPECT_EQ(ParamStr(0), "");
}

TEST(ProcessTest, ProgramDirectoryIsTheExecutablesFolderUntilSet) {
    auto executable = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ProgramHostDirectory(), executable.parent_path());
    SetProgramHostDirectory("/somewhere/else");
    EXPECT_EQ(ProgramHostDirectory(), std::filesystem::path("/somewhere/else"));
    EXPECT_EQ(ProgramFileName(), "bootrama");
}

struct XdgCase {
    const char* name;
    std::optional<std::string> value;  // of $XDG_CONFIG_HOME and $XDG_DATA_HOME
    std::string configHome, dataHome;
};

void PrintTo(const XdgCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class UserFolders : public ::testing::TestWithParam<XdgCase> {
protected:
    testenv::ScopedEnvironment environment_{{{"HOME", "/home/ann"},
                                             {"XDG_CONFIG_HOME", GetParam().value},
                                             {"XDG_DATA_HOME", GetParam().value}}};
};

// The XDG base directories: an absolute value is taken, an empty or relative one ignored.
TEST_P(UserFolders, FollowTheXdgBaseDirectories) {
    EXPECT_EQ(UserConfigHome(), std::filesystem::path(GetParam().configHome));
    EXPECT_EQ(UserDataHome(), std::filesystem::path(GetParam().dataHome));
}

INSTANTIATE_TEST_SUITE_P(
    Process, UserFolders,
    ::testing::Values(XdgCase{"Unset", std::nullopt, "/home/ann/.config", "/home/ann/.local/share"},
                      XdgCase{"Empty", "", "/home/ann/.config", "/home/ann/.local/share"},
                      XdgCase{"Relative", "xdg", "/home/ann/.config", "/home/ann/.local/share"},
                      XdgCase{"Absolute", "/srv/ann", "/srv/ann", "/srv/ann"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ProcessTest, WithoutHomeTheUsersFolderIsTakenFromTheUserList) {
    const testenv::ScopedEnvironment environment{{{"HOME", std::nullopt},
                                                  {"XDG_CONFIG_HOME", std::nullopt},
                                                  {"XDG_DATA_HOME", std::nullopt}}};
    const passwd* user = ::getpwuid(::getuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(UserDataHome(), std::filesystem::path(user->pw_dir) / ".local/share");
}

}  // namespace
