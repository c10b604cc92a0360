#pragma once
// The startup-logo switch: key Logo of section Options in msdos.sys on the boot drive.

#include <string>

bool ReadLogoSetting();          // EBootOffError when msdos.sys is missing or unreadable
void WriteLogoSetting(bool on);  // on removes the key, off writes Logo=0; only if that changes it
bool LogoKeyPresent();           // never raises
bool LogoSettingWritable();      // never raises; changes nothing
// Why the setting can't be written (msdos.sys missing or write-protected); empty when it
// can. Never raises, changes nothing.
std::string LogoSettingProblem();
