// The real program on a new machine with a fresh program folder: the first start runs the
// setup and ends in the main window with the machine's logos.

#include <gmock/gmock.h>

#include <algorithm>

#include "RealProgram.h"
#include "UiTest.h"

using ::testing::HasSubstr;

namespace uitest {
namespace {

class FirstStartTest : public UiTest {
protected:
    // A program folder as the build or an installation lays it out.
    void CopyProgramFolder() {
        CopyProgram({"BootramaE.qch", "Examples", "NewMachine"});
        WriteIni("NewInstalled=1\r\n");
    }

    // Runs until the main window has painted its previews; returns what it printed.
    std::string RunProgram(const fs::path& machine,
                           RealProgram::Display display = RealProgram::Display::Offscreen) {
        RealProgram program(ProgramDir(), machine);
        EXPECT_TRUE(
            program.Start(display, {{"BOOTRAMA_ANSWERS", "ok"}, {"BOOTRAMA_STARTUP_BENCH", "1"}}));
        EXPECT_TRUE(program.WaitForEnd());
        EXPECT_FALSE(program.Crashed());
        exitCode_ = program.ExitCode();
        return program.Output();
    }
    fs::path Log() const { return ProgramDir() / "boxes.log"; }
    int exitCode_ = -1;
};

TEST_F(FirstStartTest, LeadsThroughTheSetupIntoTheMainWindow) {
    CopyProgramFolder();
    const fs::path machine = ProgramDir() / "new-machine";
    EXPECT_THAT(RunProgram(machine), HasSubstr("main window painted"));
    EXPECT_EQ(exitCode_, 0);

    // The backup question (answered OK) and its summary, nothing else.
    const std::string boxes = ReadFile(Log());
    EXPECT_THAT(boxes, HasSubstr("okcancel\tBackup\t"));
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), '\n'), 2) << boxes;
    // The example logos went into the Startup list; the settings were saved at the close.
    EXPECT_THAT(ReadFile(ListHost(lkBoot)), HasSubstr("Examples\\Sunrise.bmp"));
    EXPECT_THAT(ReadFile(Ini()), HasSubstr("NewInstalled=0"));
    EXPECT_TRUE(fs::exists(ProgramDir() / "logow.bak"));
    EXPECT_TRUE(fs::exists(machine / "drive_c" / "WINDOWS" / "LOGOW.SYS"));

    // The second start asks nothing.
    fs::remove(Log());
    EXPECT_THAT(RunProgram(machine), HasSubstr("main window painted"));
    EXPECT_EQ(exitCode_, 0);
    EXPECT_FALSE(fs::exists(Log()));
}

TEST_F(FirstStartTest, WithoutADisplayTheProgramSaysSoInsteadOfAborting) {
    CopyProgramFolder();
    WriteIni("NewInstalled=0\r\n");
    RunProgram(ProgramDir() / "new-machine", RealProgram::Display::None);
    EXPECT_EQ(exitCode_, 1);
    EXPECT_EQ(ReadFile(Log()),
              "error\tBootrama\tBootrama needs a graphical display to show its main window.\tok\n");
}

}  // namespace
}  // namespace uitest
