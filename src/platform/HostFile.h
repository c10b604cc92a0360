#pragma once
// Host-side file primitives shared by the platform modules (files, profiles, registry):
// DOS attributes on a host file, reading a whole file, atomic replacement. Errors name
// the file as the caller shows it (usually its Windows path).

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform::host {

// INVALID_FILE_ATTRIBUTES when the file can't be reached; FILE_ATTRIBUTE_NORMAL when it
// has no attribute.
std::uint32_t Attributes(const std::filesystem::path& file);
bool SetAttributes(const std::filesystem::path& file, std::uint32_t attributes);

// Whether ReplaceAtomically could replace the file once its read-only flag is cleared: a
// regular file whose attributes this user may change, in a folder that takes new files.
// Looks only; nothing is changed.
bool Replaceable(const std::filesystem::path& file);

// Throws EFOpenError, EReadError, or EOutOfMemory past maxBytes.
std::string ReadWhole(const std::filesystem::path& file, std::string_view shownName,
                      std::uintmax_t maxBytes);

// Writes contents beside the file, flushes, and renames it over the file; a symbolic link
// is followed, so the link stays. The new file takes permissions and DOS attributes from
// attributesFrom (the replaced file itself when empty) where that exists. A read-only or
// directory target and a missing folder throw EFCreateError, a failed write EInOutError;
// on any failure the old file stays and nothing is left beside it.
void ReplaceAtomically(const std::filesystem::path& file, std::string_view shownName,
                       std::string_view contents, const std::filesystem::path& attributesFrom = {});

}  // namespace platform::host
