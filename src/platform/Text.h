#pragma once
// Text comparison for the user's locale, as CompareString with NORM_IGNORECASE.

#include <string>
#include <string_view>

namespace platform {

// Negative, zero or positive; letter case is ignored.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);

}  // namespace platform
