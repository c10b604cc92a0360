// The real program on a display of its own, driven with keys as a user would: the main
// window's menu opens the view-and-replace and the create-logo dialogs.

#include <gmock/gmock.h>

#include "RealProgram.h"
#include "UiTest.h"

using ::testing::IsEmpty;

namespace uitest {
namespace {

class DialogsRunTest : public UiTest {};

TEST_F(DialogsRunTest, TheMenuOpensTheViewAndTheCreateDialog) {
    if (const auto tool = RealProgram::MissingXTool())
        GTEST_SKIP() << *tool << " is needed to run the program on a display";
    for (TLogoKind kind : AllLogoKinds) WriteFile(ListHost(kind), "");
    CopyProgram();
    RealProgram program(ProgramDir(), MachineRoot());
    ASSERT_TRUE(program.Start(RealProgram::Display::PrivateX));

    const std::string main = program.WaitForWindow("Bootrama");
    ASSERT_TRUE(program.Keys(main, {"alt+l", "v", "Return"}));  // Logo, View & replace, Startup
    const std::string view = program.WaitForWindow("View & Replace Startup logo");
    ASSERT_TRUE(program.Keys(view, {"alt+c"}));  // &Close
    ASSERT_TRUE(program.WaitUntilGone("View & Replace Startup logo"));

    ASSERT_TRUE(program.Keys(main, {"alt+l", "c"}));  // Logo, Create logo: it asks for a picture
    ASSERT_TRUE(program.Keys(program.WaitForWindow("Open source file "), {"Escape"}));
    const std::string create = program.WaitForWindow("Create logo - no source file specified");
    ASSERT_TRUE(program.Keys(create, {"alt+c"}));
    ASSERT_TRUE(program.WaitUntilGone("Create logo - no source file specified"));

    ASSERT_TRUE(program.Keys(main, {"alt+f", "x"}));  // File, Exit
    ASSERT_TRUE(program.WaitForEnd());
    EXPECT_FALSE(program.Crashed());
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_THAT(ReadFile(program.BoxLog()), IsEmpty());
}

}  // namespace
}  // namespace uitest
