#pragma once
// The autostart value that runs the program with /Auto at every Windows start, and the
// program's own keys under the current user. The desktop session's autostart entry, which
// runs /Auto at every login on this computer, is written and removed with the value.

#include <string>

std::string AutoStartCommand();  // GetAppPath() + program file name + " /Auto"
bool IsAutoStartOn();            // both entries as they are written; never raises
void AddAutoStart();             // EWriteRegError
void RemoveAutoStart();          // EWriteRegError
void RemoveProgramKeys();        // EReadRegError
