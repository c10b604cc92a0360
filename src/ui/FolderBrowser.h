#pragma once
// The folder browser of the dialogs: a Qt folder dialog on the host, whose answer is a
// Windows path of the machine.

#include <optional>
#include <string>

class QWidget;

// Starts at the host folder of initialPath (a Windows path) when it exists. Returns the
// chosen folder without a trailing backslash (except a drive root), or nothing when the
// user cancels.
std::optional<std::string> BrowseForFolder(QWidget* owner, const std::string& caption,
                                           const std::string& instruction,
                                           const std::string& initialPath);
