#pragma once
// Text comparison for the user's locale, as CompareString with NORM_IGNORECASE.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Negative, zero or positive; letter case is ignored. The "C" locale collates as en_US.
// Zero exactly when SameText holds, so sorted lists and duplicate checks agree.
int CompareText(std::string_view a, std::string_view b);
// Equal apart from letter case (Unicode case folding; composed and decomposed accents are
// the same). Text that is not valid UTF-8 folds only its ASCII letters.
bool SameText(std::string_view a, std::string_view b);
std::string UpperCase(std::string_view text);
// Sorts in the order of CompareText, collating each text once rather than for every pair:
// for folders of thousands of names.
void SortTexts(std::vector<std::string>& texts);
// A key that two names share exactly when SameText holds for them, for lookups by name.
std::string SameTextKey(std::string_view text);

}  // namespace platform
