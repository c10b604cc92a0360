#pragma once
// Writing a current logo, the random switch and the small list operations around it.

#include <cstdint>
#include <string>

#include "core/Global.h"

class TBitmap;

void CopyLogoFile(const std::string& source, const std::string& destination, bool failIfExists);
std::string ReplaceLogo(TLogoKind kind, const std::string& source);   // "" on failure (shown)
std::string SaveBitmapAsLogo(TLogoKind kind, const TBitmap& bitmap);  // EChangeError

// The generator of the random pick: a 32-bit linear congruential generator.
void SeedRandomFromClock();
void SetRandomState(std::uint32_t state);
std::uint32_t RandomState();
std::uint32_t RandomDraw(std::uint32_t n);  // 0 .. n-1

std::string PickRandomEntry(const std::string& listFile);  // EFileListError
std::string PickRandomLogo(TLogoKind kind);
void RandomSwitch(TLogoKind kind);
void CheckLogoList(TLogoKind kind);
void EnsureListFiles();
int ListEntryCount(TLogoKind kind);
void UpdateAutoSwitch();
