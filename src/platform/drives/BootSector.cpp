#include "platform/drives/BootSector.h"

#include <bit>

#include "platform/drives/Bytes.h"

namespace platform::drives {

namespace {

constexpr std::uint32_t kFat12Limit = 4085;
constexpr std::uint32_t kFat16Limit = 65525;

std::uint32_t EntryBits(FatType type) {
    return type == FatType::Fat12 ? 12 : type == FatType::Fat16 ? 16 : 32;
}

bool ValidMedia(std::uint8_t media) {
    return media == 0xF0 || media >= 0xF8;
}

std::optional<FatLayout> Fail(std::string& problem, const char* why) {
    problem = why;
    return std::nullopt;
}

// The fields every FAT boot sector must have right to be read at all.
std::optional<FatLayout> Geometry(const std::uint8_t* b, std::string& problem) {
    FatLayout layout;
    layout.bytesPerSector = Le16(b + 11);
    const std::uint32_t sectorsPerCluster = b[13];
    layout.reservedSectors = Le16(b + 14);
    layout.fatCount = b[16];
    layout.rootEntries = Le16(b + 17);
    const std::uint64_t totalSectors = Le16(b + 19) != 0 ? Le16(b + 19) : Le32(b + 32);
    const std::uint32_t fat16Sectors = Le16(b + 22);
    layout.fatSectors = fat16Sectors != 0 ? fat16Sectors : Le32(b + 36);
    if ((b[0] != 0xEB && b[0] != 0xE9) || !ValidMedia(b[21]))
        return Fail(problem, "no FAT boot sector");
    if (layout.bytesPerSector < 512 || layout.bytesPerSector > 4096 ||
        !std::has_single_bit(layout.bytesPerSector) || sectorsPerCluster == 0 ||
        !std::has_single_bit(sectorsPerCluster) || layout.reservedSectors == 0 ||
        layout.fatCount == 0 || layout.fatSectors == 0 || totalSectors == 0) {
        return Fail(problem, "a boot sector with impossible values");
    }
    layout.clusterBytes = layout.bytesPerSector * sectorsPerCluster;
    const std::uint64_t rootSectors =
        (std::uint64_t{layout.rootEntries} * 32 + layout.bytesPerSector - 1) /
        layout.bytesPerSector;
    layout.firstDataSector =
        layout.reservedSectors + std::uint64_t{layout.fatCount} * layout.fatSectors + rootSectors;
    if (layout.firstDataSector >= totalSectors)
        return Fail(problem, "no room for data after the FATs");
    const std::uint64_t clusters = (totalSectors - layout.firstDataSector) / sectorsPerCluster;
    if (clusters == 0 || clusters > 0x0FFFFFF5)
        return Fail(problem, "an impossible number of clusters");
    layout.clusterCount = static_cast<std::uint32_t>(clusters);
    layout.type = clusters < kFat12Limit   ? FatType::Fat12
                  : clusters < kFat16Limit ? FatType::Fat16
                                           : FatType::Fat32;
    const bool fat32Fields = layout.rootEntries == 0 && fat16Sectors == 0;
    if (fat32Fields != (layout.type == FatType::Fat32))
        return Fail(problem, "a boot sector that contradicts the number of clusters");
    const std::uint64_t fatEntries =
        std::uint64_t{layout.fatSectors} * layout.bytesPerSector * 8 / EntryBits(layout.type);
    if (fatEntries < std::uint64_t{layout.clusterCount} + 2)
        return Fail(problem, "a FAT too small for its clusters");
    return layout;
}

// Why the FAT32 fields make the volume unreadable, or nothing.
const char* ReadFat32Fields(const std::uint8_t* b, FatLayout& layout) {
    const std::uint16_t flags = Le16(b + 40);
    layout.mirrored = (flags & 0x80) == 0;
    layout.activeFat = layout.mirrored ? 0 : flags & 0x0F;
    layout.rootCluster = Le32(b + 44);
    const std::uint32_t fsInfo = Le16(b + 48);
    layout.fsInfoSector = fsInfo != 0 && fsInfo < layout.reservedSectors ? fsInfo : 0;
    if (layout.activeFat >= layout.fatCount)
        return "the active FAT does not exist";
    if (layout.rootCluster < 2 || layout.rootCluster > layout.MaxCluster())
        return "the root folder lies outside the volume";
    if (Le16(b + 42) != 0)
        layout.writeProblem = "a FAT32 version this program does not know";
    return nullptr;
}

}  // namespace

std::uint64_t FatLayout::FatOffset(std::uint32_t fat) const {
    return (reservedSectors + std::uint64_t{fat} * fatSectors) * bytesPerSector;
}

std::uint64_t FatLayout::RootOffset() const {
    return FatOffset(fatCount);
}

std::uint64_t FatLayout::ClusterOffset(std::uint32_t cluster) const {
    return firstDataSector * bytesPerSector + std::uint64_t{cluster - 2} * clusterBytes;
}

std::optional<FatLayout> ParseBootSector(std::span<const std::uint8_t> sector,
                                         std::uint64_t volumeBytes, std::string* problem) {
    std::string why;
    std::optional<FatLayout> layout;
    if (sector.size() < 512)
        why = "a boot sector cut short";
    else
        layout = Geometry(sector.data(), why);
    if (layout && layout->type == FatType::Fat32) {
        if (const char* fault = ReadFat32Fields(sector.data(), *layout)) {
            why = fault;
            layout.reset();
        }
    }
    if (layout && layout->ClusterOffset(layout->MaxCluster() + 1) > volumeBytes) {
        why = "a file system larger than its partition";
        layout.reset();
    }
    if (layout && (sector[510] != 0x55 || sector[511] != 0xAA))
        layout->writeProblem = "a boot sector without its signature";
    if (layout && layout->clusterBytes > 32768)
        layout->writeProblem = "clusters larger than 32 KB";
    if (problem != nullptr)
        *problem = why;
    return layout;
}

}  // namespace platform::drives
