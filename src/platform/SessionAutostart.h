#pragma once
// The desktop session's autostart: an entry of the XDG autostart standard in
// $XDG_CONFIG_HOME/autostart that runs this program at every login, as the Run key of the
// registry runs it at every start of Windows.

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

std::filesystem::path SessionAutostartFile();
// The entry that runs the executable with these arguments; a machine other than the default
// one ($BOOTRAMA_MACHINE) goes into the command, since a session starts without it.
std::string SessionAutostartEntry(std::string_view arguments);
// Whether the entry is there and is the one SessionAutostartEntry makes; every error gives
// false.
bool SessionAutostartIs(std::string_view arguments);
// The toolkit's file errors (EFCreateError, EInOutError); a failed write leaves the old
// entry as it was.
void WriteSessionAutostart(std::string_view arguments);
// True when no entry is left; a missing entry is no failure.
bool RemoveSessionAutostart();

// One argument of an Exec line, quoted, with the characters that the desktop entry standard
// reserves escaped for its quoting and again for its string values.
std::string ExecArgument(std::string_view argument);

}  // namespace platform
