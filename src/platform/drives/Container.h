#pragma once
// Recognises what an image file holds: a raw disk, a fixed or dynamic VHD. Formats whose
// changes we can't make safely are refused with the conversion that makes them usable.

#include <memory>

#include "platform/drives/Disk.h"

namespace platform::drives {

// EDiskImageError for a refused format, and for writing a VHD that is not exactly right.
std::unique_ptr<Disk> OpenDisk(ImageFile& file, bool forWriting);

}  // namespace platform::drives
