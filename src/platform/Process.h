#pragma once
// The running process: its command line, the folder of its executable, the program folder it
// keeps its data in and the user's own folders of the desktop.

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

void SetCommandLine(std::vector<std::string> arguments);
// Argument i of the command line (0 is the program), empty when there is none.
std::string ParamStr(std::size_t index);
std::size_t ParamCount();

// Host folder of the running executable, links resolved: the windows' library and the files
// that come with the program (Examples, NewMachine, the help file) lie there.
std::filesystem::path ExecutableDirectory();

// Host folder of the program folder (AppPath). As on Windows it is the executable's folder,
// as long as this user may write there (the build, a private installation). An executable
// installed where the user can't write (under /usr) keeps its data in the user's own
// $XDG_DATA_HOME/bootrama/program instead: made on first use as an installer leaves a
// program folder, with a bootrama.ini that asks for the first-run setup, and holding links
// to the example logos and the help file of the executable's folder. Tests point it at a
// program folder of their own.
std::filesystem::path ProgramHostDirectory();
void SetProgramHostDirectory(const std::filesystem::path& directory);
// File name of the executable as Windows would see it ("bootrama").
std::string ProgramFileName();

// The user's folders of the XDG base directories: $XDG_DATA_HOME (~/.local/share) and
// $XDG_CONFIG_HOME (~/.config); a relative value counts as unset, as the standard says.
std::filesystem::path UserDataHome();
std::filesystem::path UserConfigHome();

// For a run that reads, uses and drops one large buffer after another: memory given back is
// kept for the next one rather than returned to the system and faulted in anew.
void KeepFreedMemory();

}  // namespace platform
