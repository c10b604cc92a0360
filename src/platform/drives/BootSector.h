#pragma once
// The layout of a FAT volume from the BIOS parameter block of its boot sector, after
// Microsoft's FAT32 document (fatgen103.doc): the type follows from the
// number of clusters alone.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace platform::drives {

enum class FatType { Fat12, Fat16, Fat32 };

struct FatLayout {
    FatType type = FatType::Fat12;
    std::uint32_t bytesPerSector = 0;
    std::uint32_t clusterBytes = 0;
    std::uint32_t reservedSectors = 0;
    std::uint32_t fatCount = 0;
    std::uint32_t fatSectors = 0;
    std::uint32_t rootEntries = 0;   // FAT12 and FAT16: the fixed root folder
    std::uint32_t rootCluster = 0;   // FAT32: where the root folder's chain starts
    std::uint32_t fsInfoSector = 0;  // FAT32; 0 without one
    std::uint32_t activeFat = 0;     // the FAT that is read
    bool mirrored = true;            // every FAT is written, not the active one alone
    std::uint64_t firstDataSector = 0;
    std::uint32_t clusterCount = 0;  // clusters 2 .. clusterCount + 1 hold data
    std::string writeProblem;        // why the volume must not be changed, if it must not

    std::uint64_t FatOffset(std::uint32_t fat) const;
    std::uint64_t RootOffset() const;  // the fixed root folder
    std::uint64_t ClusterOffset(std::uint32_t cluster) const;
    std::uint32_t MaxCluster() const { return clusterCount + 1; }
};

// Nothing when the sector is no FAT boot sector or describes more than volumeBytes;
// problem (if given) then says why.
std::optional<FatLayout> ParseBootSector(std::span<const std::uint8_t> sector,
                                         std::uint64_t volumeBytes, std::string* problem = nullptr);

}  // namespace platform::drives
