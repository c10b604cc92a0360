#include "platform/drives/Disk.h"

#include "platform/drives/ImageErrors.h"

namespace platform::drives {

void Disk::CheckRange(std::uint64_t offset, std::size_t length) const {
    if (offset > Size() || length > Size() - offset)
        throw Damaged(file_.Path(), "a structure lies beyond the end of the disk");
}

void PlainDisk::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
    CheckRange(offset, out.size());
    File().Read(offset, out);
}

void PlainDisk::Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what) {
    CheckRange(offset, data.size());
    File().Write(offset, data, what);
}

}  // namespace platform::drives
