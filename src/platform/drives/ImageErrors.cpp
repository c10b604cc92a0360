#include "platform/drives/ImageErrors.h"

#include <cerrno>

#include "platform/drives/Drive.h"

namespace platform::drives {

EDiskImageError Damaged(const std::filesystem::path& image, std::string_view what) {
    return EDiskImageError("The disk image " + Quoted(image) + " is damaged or of a kind " +
                               "Bootrama does not know (" + std::string(what) +
                               ").\rLet ScanDisk or fsck.fat check it; nothing was changed.",
                           kImageDamaged);
}

void ThrowWriteFailure(int errnoValue) {
    bool full = errnoValue == ENOSPC || errnoValue == EDQUOT || errnoValue == EFBIG;
    throw InOutError(full ? kDiskFull : 29);
}

std::string Quoted(const std::filesystem::path& file) {
    return "\"" + file.string() + "\"";
}

}  // namespace platform::drives
