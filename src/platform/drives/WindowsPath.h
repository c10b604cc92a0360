#pragma once
// The names along a Windows path, as every drive walks it.

#include <string>
#include <string_view>
#include <vector>

namespace platform::drives {

// "\WINDOWS\.\SYSTEM\..\LOGOW.SYS" -> {"WINDOWS", "LOGOW.SYS"}: either slash separates, "."
// and empty names drop out, ".." goes up but never above the root.
std::vector<std::string> PathComponents(std::string_view path);

// The path without the drive letter in front ("C:\X" -> "\X"), if it has one.
std::string_view BelowDrive(std::string_view path);

}  // namespace platform::drives
