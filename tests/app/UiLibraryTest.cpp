// bootrama loads its windows (the UI library and with it Qt Widgets) only for a window or an
// on-screen box; /Auto with nothing to say never does.

#include <gmock/gmock.h>

#include <sstream>
#include <string>
#include <vector>

#include "app/BootramaRun.h"

using ::testing::HasSubstr;
using ::testing::Not;

namespace apptest {
namespace {

// Whether the dynamic linker's report names a library it loaded (not only looked for).
bool Loaded(const std::string& report, const std::string& library) {
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("generating link map") != std::string::npos &&
            line.find(library) != std::string::npos)
            return true;
    }
    return false;
}

struct LoadCase {
    const char* name;
    bool switchOn;      // the Final logo is switched automatically, from a list of one logo
    bool libraryThere;  // in the program folder
    bool loaded;
    int exitCode;                     // -1: ended by Qt's abort on the missing display
    std::vector<std::string> errors;  // on standard error; none: not a single box
};

void PrintTo(const LoadCase& testCase, std::ostream* out) {
    *out << testCase.name;
}

class UiLibraryLoading : public BootramaRun, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(UiLibraryLoading, OnlyForAWindowOrABox) {
    const LoadCase& c = GetParam();
    WriteConfig(false, c.switchOn, false);
    WriteFile(DriveC() / "WINDOWS" / "LOGOS.SYS", "current");
    WriteFile(DriveC() / "Logos" / "final.sys", "new");
    WriteFile(ProgramDir() / "brclose.dat", "C:\\Logos\\final.sys\r\n");
    if (!c.libraryThere)
        fs::remove(ProgramDir() / "libbootrama_ui.so");

    const RunResult run = RunOnScreen("/Auto");
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(Loaded(run.errors, "libbootrama_ui.so"), c.loaded);
    EXPECT_EQ(Loaded(run.errors, "libQt6Widgets.so"), c.loaded);
    EXPECT_FALSE(Loaded(run.errors, "libQt6Gui.so") && !c.loaded);
    for (const std::string& text : c.errors) EXPECT_THAT(run.errors, HasSubstr(text));
    if (c.errors.empty()) {
        EXPECT_THAT(run.errors, Not(HasSubstr("\tBootrama\t")));
    }
    EXPECT_EQ(ReadFile(DriveC() / "WINDOWS" / "LOGOS.SYS"), c.switchOn ? "new" : "current");
}

INSTANTIATE_TEST_SUITE_P(
    Auto, UiLibraryLoading,
    ::testing::Values(
        LoadCase{"SwitchShowsNothing", true, true, false, 0, {}},
        LoadCase{"BoxLoadsTheWindows", false, true, true, -1, {NoDisplayPlatform}},
        // The box, then the main window, which can't open either.
        LoadCase{"WithoutTheLibraryBoxesGoToStandardError",
                 false,
                 false,
                 false,
                 1,
                 {"error\tBootrama\tBootrama can't load its windows from",
                  "error\tBootrama\tThe Automatic Bootrama is not activated. There is nothing "
                  "to do.\tok"}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace apptest
