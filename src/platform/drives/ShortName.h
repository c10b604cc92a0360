#pragma once
// 8.3 names as a directory entry stores them: eleven bytes, name and extension padded with
// spaces, in the OEM code page (437).

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform::drives {

using ShortName = std::array<std::uint8_t, 11>;

// The upper-case 8.3 form of a name that fits one as it is ("logo.sys" -> "LOGO    SYS").
std::optional<ShortName> ExactShortName(std::string_view name);
// The alias Windows would give a long name: its letters made 8.3 with a numeric tail
// ("Logo Files.txt" -> "LOGOFI~1TXT"), the first tail that taken refuses not.
std::optional<ShortName> AliasFor(std::string_view longName,
                                  const std::function<bool(const ShortName&)>& taken);

std::string ShortNameText(const ShortName& name);  // "LOGO.SYS"
std::uint8_t LongNameChecksum(const ShortName& name);

}  // namespace platform::drives
