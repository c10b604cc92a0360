#include "platform/Errors.h"

#include <new>

namespace platform {

EFOpenError CannotOpen(std::string_view shownName) {
    return EFOpenError("Cannot open file \"" + std::string(shownName) + "\"");
}

EReadError FileTooLarge(std::string_view shownName, std::uintmax_t maxBytes) {
    return EReadError("File \"" + std::string(shownName) + "\" is larger than " +
                      std::to_string(maxBytes) + " bytes");
}

std::string ClassNameOf(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        return own->ClassName();
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return "EOutOfMemory";
    return "Exception";
}

std::string ErrorDetail(const std::exception& error) {
    if (const auto* image = dynamic_cast<const EDiskImageError*>(&error))
        return ClassNameOf(error) + "\r" + image->Message();
    return ClassNameOf(error);
}

}  // namespace platform
