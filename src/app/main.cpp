// The entry of bootrama: the window-less modes /U and /Auto, else the main window.

#include <exception>
#include <string>
#include <vector>

#include "app/Modes.h"
#include "app/UiLibrary.h"
#include "core/Global.h"
#include "platform/Errors.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace {

// Boxes go to the log in unattended runs, on screen where there is a display, else to
// standard error; the on-screen ones load the windows only for the first box.
std::unique_ptr<platform::MessageBoxes> ChooseMessageBoxes() {
    if (auto logged = platform::MessageBoxesFromEnvironment())
        return logged;
    if (DisplayAvailable())
        return MakeScreenMessageBoxes();
    return platform::MakeStderrMessageBoxes();
}

// The program folder is reached through its Windows path; one whose name that path can't
// hold would lose its settings and lists, so it is refused before anything is done.
bool ProgramFolderUsable() {
    const auto folder = platform::ProgramHostDirectory();
    if (platform::HasWindowsSpelling(folder))
        return true;
    ErrorBox("Bootrama",
             Format("Bootrama can't run from the folder \"%s\": its name holds a backslash or a "
                    "control character, which a Windows path can't hold.\rPlease move Bootrama "
                    "to another folder.",
                    {folder.string()}));
    return false;
}

int Run() {
    GlobalInfoScope global;
    if (UndoMode())
        return 0;
    if (AutoMode())
        return 0;
    return RunMainWindow();
}

}  // namespace

int main(int argc, char** argv) {
    platform::SetCommandLine(std::vector<std::string>(argv, argv + argc));
    try {
        platform::SetMessageBoxes(ChooseMessageBoxes());
        if (!ProgramFolderUsable())
            return 1;
        platform::UseMachine(platform::DefaultMachineRoot(),
                             platform::ProgramHostDirectory() / "NewMachine");
        return Run();
    } catch (const std::exception& error) {
        ErrorBox("Bootrama", Format("General Error\rError: %s", {platform::ClassNameOf(error)}));
        return 1;
    }
}
