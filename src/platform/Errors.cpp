#include "platform/Errors.h"

#include <new>

namespace platform {

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
