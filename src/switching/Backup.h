#pragma once
// Backup, restore and the default startup logo.

#include <string>

// Bit of a kind in a set of kinds: 1 << kind.
int FindBackups(const std::string& directory);
bool BackupLogos(const std::string& directory);
bool RestoreLogos();
bool DeleteBackups();
bool RestoreDefaultStartupLogo();
