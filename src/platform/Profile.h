#pragma once
// The private-profile (ini file) functions, by the rules Windows applies when it reads
// them; writing keeps every byte the change does not concern and replaces the file
// atomically.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// At most 1023 characters; the default for a missing file, section or key; the empty
// string for "Key=". A file that is there but can't be read (a device or FIFO, larger than
// kMaxProfileFileBytes) throws EFOpenError or EReadError rather than pass for one without
// keys.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view fileName);
// Writes the key, or deletes it when value is empty (nullopt). False when the file can't be
// written (missing folder, read-only file, full disk); deleting from a missing file
// succeeds without creating it. A disk image that refuses the change throws
// EDiskImageError, which says why.
bool WritePrivateProfileString(std::string_view section, std::string_view key,
                               std::optional<std::string_view> value, std::string_view fileName);

// WinDir of [Paths] in C:\MSDOS.SYS, else C:\WINDOWS (GetWindowsDirectory); no trailing
// backslash. The system directory is the Windows directory + "\SYSTEM".
std::string GetWindowsDirectory();
std::string GetSystemDirectory();

namespace profile {
// The same rules on a file's text, for the functions above and for tests.
std::optional<std::string> ReadValue(std::string_view text, std::string_view section,
                                     std::string_view key);
std::string WithValue(std::string_view text, std::string_view section, std::string_view key,
                      std::optional<std::string_view> value);
}  // namespace profile

}  // namespace platform
