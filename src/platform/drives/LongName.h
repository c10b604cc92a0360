#pragma once
// VFAT long names: up to 255 UTF-16 units, kept thirteen to an entry in the entries in front
// of the 8.3 entry, the last piece first.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform::drives {

using RawEntry = std::array<std::uint8_t, 32>;

// The name as Windows stores it (trailing dots and spaces go), or nothing when Windows
// refuses it: empty, too long, not UTF-8, or with one of \ / : * ? " < > | or a control
// character.
std::optional<std::string> StoredName(std::string_view name);

// The long-name entries for a name, in the order they go on disk.
std::vector<RawEntry> LongNameEntries(std::string_view name, std::uint8_t checksum);
// The thirteen units one entry holds, up to the terminating zero.
std::u16string LongNamePiece(const RawEntry& entry);
std::string FromUtf16(const std::u16string& units);

}  // namespace platform::drives
