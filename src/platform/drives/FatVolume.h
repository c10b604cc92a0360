#pragma once
// A FAT volume on a disk, opened for one operation: its clusters, the FAT (read entry by
// entry through a cache of the sectors a chain touches, never whole), and FAT32's FSInfo.
// Every fault of the structures throws EDiskImageError before anything is written.

#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Errors.h"
#include "platform/drives/BootSector.h"
#include "platform/drives/Disk.h"

namespace platform::drives {

class FatVolume {
public:
    // Opening for writing refuses a volume that must not be changed.
    FatVolume(Disk& disk, std::uint64_t offset, std::uint64_t length, bool forWriting);

    const FatLayout& Layout() const { return layout_; }
    Disk& GetDisk() const { return disk_; }
    std::uint64_t Offset() const { return offset_; }
    EDiskImageError Damaged(std::string_view what) const;

    // The FAT, folders and FSInfo: read and written through the sector cache.
    void ReadMeta(std::uint64_t offset, std::span<std::uint8_t> out);
    void WriteMeta(std::uint64_t offset, std::span<const std::uint8_t> data);

    // The clusters of a chain in order (none for cluster 0), checked to stay in the volume
    // and to end.
    std::vector<std::uint32_t> Chain(std::uint32_t first);
    // count free clusters linked into a new chain; EInOutError 112 when there are not enough.
    std::vector<std::uint32_t> Allocate(std::size_t count);
    void Append(std::uint32_t last, std::uint32_t next);  // links next behind a chain's end
    void Free(const std::vector<std::uint32_t>& chain);
    void WriteFsInfo();  // the free count and the hint after allocating and freeing

    std::string ReadClusters(const std::vector<std::uint32_t>& chain, std::uint64_t size);
    // Fills newly allocated clusters, zeros behind the contents.
    void WriteClusters(const std::vector<std::uint32_t>& chain, std::string_view contents);

private:
    static constexpr std::uint64_t kSector = 512;
    using Sector = std::array<std::uint8_t, kSector>;

    Sector& Cached(std::uint64_t sector);
    void Fill(std::uint64_t first, std::uint64_t end);
    std::uint32_t Entry(std::uint32_t cluster);
    void SetEntry(std::uint32_t cluster, std::uint32_t value);
    void CheckCopiesAgree(std::uint64_t at, std::size_t length);
    bool IsEnd(std::uint32_t value) const;
    std::uint32_t EndMark() const;
    void CheckFsInfo();

    Disk& disk_;
    std::uint64_t offset_;
    std::uint64_t length_;
    FatLayout layout_;
    std::map<std::uint64_t, Sector> cache_;
    std::set<std::uint64_t> agreeing_;  // FAT sectors whose copies were compared
    bool fsInfoValid_ = false;
    std::int64_t freeChange_ = 0;
    std::uint32_t lastAllocated_ = 0;
};

}  // namespace platform::drives
