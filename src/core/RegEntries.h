#pragma once
// The autostart value that runs the program with /Auto at every Windows start, and the
// program's own keys under the current user.

#include <string>

std::string AutoStartCommand();  // GetAppPath() + program file name + " /Auto"
bool IsAutoStartOn();            // never raises
void AddAutoStart();             // EWriteRegError
void RemoveAutoStart();          // EWriteRegError
void RemoveProgramKeys();        // EReadRegError
