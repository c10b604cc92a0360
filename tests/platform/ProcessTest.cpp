#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Process.h"

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

}  // namespace
