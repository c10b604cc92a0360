#pragma once
// The startup-logo switch: key Logo of section Options in msdos.sys on the boot drive.

bool ReadLogoSetting();          // EBootOffError when msdos.sys is missing or unreadable
void WriteLogoSetting(bool on);  // on removes the key, off writes Logo=0
bool LogoKeyPresent();           // never raises
bool LogoSettingWritable();      // never raises; writes the current state back
