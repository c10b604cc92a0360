#pragma once
// Backup, restore and the default startup logo. A failure of one kind lets the others go on;
// a disk image that refuses (in use by a virtual machine, damaged) ends the operation with
// its EDiskImageError, as it would refuse the other kinds too.

#include <string>

// Bit of a kind in a set of kinds: 1 << kind.
int FindBackups(const std::string& directory);
bool BackupLogos(const std::string& directory);
bool RestoreLogos();
bool DeleteBackups();
bool RestoreDefaultStartupLogo();
