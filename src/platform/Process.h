#pragma once
// The running process: its command line and the folder of its executable.

#include <filesystem>
#include <string>
#include <vector>

namespace platform {

void SetCommandLine(std::vector<std::string> arguments);
// Argument i of the command line (0 is the program), empty when there is none.
std::string ParamStr(std::size_t index);
std::size_t ParamCount();

// Host folder of the running executable; tests point it at a program folder of their own.
std::filesystem::path ProgramHostDirectory();
void SetProgramHostDirectory(const std::filesystem::path& directory);
// File name of the executable as Windows would see it ("bootrama").
std::string ProgramFileName();

}  // namespace platform
