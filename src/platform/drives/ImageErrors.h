#pragma once
// The refusals of the image code, all EDiskImageError with the code Windows would report.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/Errors.h"

namespace platform::drives {

constexpr int kImageWriteProtected = 19;  // ERROR_WRITE_PROTECT
constexpr int kImageInUse = 32;           // ERROR_SHARING_VIOLATION
constexpr int kImageDamaged = 1392;       // ERROR_FILE_CORRUPT
constexpr int kImageUnknown = 1785;       // ERROR_UNRECOGNIZED_MEDIA

// A structure of the image that is inconsistent or that we don't fully understand; what
// says which, in a few words.
EDiskImageError Damaged(const std::filesystem::path& image, std::string_view what);

// A failed write on the host: EInOutError 112 for a full disk, else 29 (write fault).
[[noreturn]] void ThrowWriteFailure(int errnoValue);

std::string Quoted(const std::filesystem::path& file);

}  // namespace platform::drives
