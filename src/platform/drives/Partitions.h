#pragma once
// The MBR partition table of a disk: four primary entries, and the logical drives that an
// extended partition chains together. Numbered as Linux numbers them: 1-4 primary, 5 on
// logical.

#include <cstdint>
#include <vector>

#include "platform/drives/Disk.h"

namespace platform::drives {

struct Partition {
    int number = 0;
    std::uint8_t type = 0;
    bool active = false;
    std::uint64_t offset = 0;  // bytes from the disk's start
    std::uint64_t length = 0;

    bool IsFat() const;  // by its type: FAT12, FAT16 or FAT32, hidden or not
};

// Nothing when sector 0 holds no partition table.
std::vector<Partition> ReadPartitions(Disk& disk);

}  // namespace platform::drives
