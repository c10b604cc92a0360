#include "platform/drives/FatVolume.h"

#include <algorithm>
#include <cstring>

#include "platform/Errors.h"
#include "platform/drives/Bytes.h"
#include "platform/drives/Drive.h"
#include "platform/drives/ImageErrors.h"

namespace platform::drives {

namespace {

constexpr std::uint32_t kFsInfoLead = 0x41615252;
constexpr std::uint32_t kFsInfoStruct = 0x61417272;
constexpr std::uint32_t kFsInfoTrail = 0xAA550000;
constexpr std::uint32_t kUnknown = 0xFFFFFFFF;

// Runs of consecutive clusters, so that a file on an unfragmented disk is one transfer.
template <typename Visit>
void ForEachRun(const std::vector<std::uint32_t>& chain, Visit visit) {
    for (std::size_t start = 0; start < chain.size();) {
        std::size_t end = start + 1;
        while (end < chain.size() && chain[end] == chain[end - 1] + 1) ++end;
        visit(start, end);
        start = end;
    }
}

}  // namespace

FatVolume::FatVolume(Disk& disk, std::uint64_t offset, std::uint64_t length, bool forWriting)
    : disk_(disk), offset_(offset), length_(length) {
    if (offset > disk.Size())
        throw Damaged("a partition beyond the end of the disk");
    // A cut-off image can still be read as far as it goes.
    if (length > disk.Size() - offset) {
        if (forWriting)
            throw Damaged("a partition that runs past the end of the disk");
        length_ = disk.Size() - offset;
    }
    Sector boot{};
    if (length_ < boot.size())
        throw Damaged("a partition too small for a file system");
    disk.Read(offset, boot);
    std::string problem;
    auto layout = ParseBootSector(boot, length_, &problem);
    if (!layout)
        throw Damaged(problem);
    layout_ = *layout;
    CheckFsInfo();
    if (forWriting && !layout_.writeProblem.empty())
        throw Damaged(layout_.writeProblem);
}

EDiskImageError FatVolume::Damaged(std::string_view what) const {
    return drives::Damaged(disk_.File().Path(), what);
}

FatVolume::Sector& FatVolume::Cached(std::uint64_t sector) {
    Fill(sector, sector + 1);
    return cache_.find(sector)->second;
}

void FatVolume::ReadMeta(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (out.empty())
        return;
    Fill(offset / kSector, (offset + out.size() - 1) / kSector + 1);
    for (std::size_t done = 0; done < out.size();) {
        const std::uint64_t within = (offset + done) % kSector;
        const std::size_t count = std::min<std::size_t>(kSector - within, out.size() - done);
        std::memcpy(out.data() + done, Cached((offset + done) / kSector).data() + within, count);
        done += count;
    }
}

// Reads the sectors of a range that are not in the cache yet, each run of them at once.
void FatVolume::Fill(std::uint64_t first, std::uint64_t end) {
    if (end * kSector > length_)
        throw Damaged("a structure beyond the end of the partition");
    for (std::uint64_t sector = first; sector < end;) {
        if (cache_.count(sector) != 0) {
            ++sector;
            continue;
        }
        std::uint64_t runEnd = sector + 1;
        while (runEnd < end && cache_.count(runEnd) == 0) ++runEnd;
        std::vector<std::uint8_t> bytes((runEnd - sector) * kSector);
        disk_.Read(offset_ + sector * kSector, bytes);
        for (std::uint64_t i = sector; i < runEnd; ++i)
            std::copy_n(bytes.begin() + (i - sector) * kSector, kSector, cache_[i].begin());
        sector = runEnd;
    }
}

void FatVolume::WriteMeta(std::uint64_t offset, std::span<const std::uint8_t> data) {
    for (std::size_t done = 0; done < data.size();) {
        const std::uint64_t within = (offset + done) % kSector;
        const std::size_t count = std::min<std::size_t>(kSector - within, data.size() - done);
        std::memcpy(Cached((offset + done) / kSector).data() + within, data.data() + done, count);
        done += count;
    }
    disk_.Write(offset_ + offset, data, Overwrites::Data);
}

std::uint32_t FatVolume::Entry(std::uint32_t cluster) {
    const std::uint64_t fat = layout_.FatOffset(layout_.activeFat);
    std::array<std::uint8_t, 4> bytes{};
    switch (layout_.type) {
        case FatType::Fat12: {
            ReadMeta(fat + cluster + cluster / 2, std::span(bytes).first(2));
            const std::uint32_t pair = Le16(bytes.data());
            return cluster % 2 != 0 ? pair >> 4 : pair & 0x0FFF;
        }
        case FatType::Fat16:
            ReadMeta(fat + std::uint64_t{cluster} * 2, std::span(bytes).first(2));
            return Le16(bytes.data());
        case FatType::Fat32:
            ReadMeta(fat + std::uint64_t{cluster} * 4, bytes);
            return Le32(bytes.data()) & 0x0FFFFFFF;
    }
    return 0;
}

void FatVolume::SetEntry(std::uint32_t cluster, std::uint32_t value) {
    const std::uint64_t within = layout_.type == FatType::Fat12   ? cluster + cluster / 2
                                 : layout_.type == FatType::Fat16 ? std::uint64_t{cluster} * 2
                                                                  : std::uint64_t{cluster} * 4;
    const std::size_t length = layout_.type == FatType::Fat32 ? 4 : 2;
    CheckCopiesAgree(within, length);
    const std::uint32_t first = layout_.mirrored ? 0 : layout_.activeFat;
    const std::uint32_t last = layout_.mirrored ? layout_.fatCount - 1 : layout_.activeFat;
    for (std::uint32_t fat = first; fat <= last; ++fat) {
        const std::uint64_t at = layout_.FatOffset(fat) + within;
        std::array<std::uint8_t, 4> bytes{};
        auto field = std::span(bytes).first(length);
        ReadMeta(at, field);
        if (layout_.type == FatType::Fat12) {
            const std::uint32_t pair = Le16(bytes.data());
            PutLe16(bytes.data(), cluster % 2 != 0 ? (pair & 0x000F) | value << 4
                                                   : (pair & 0xF000) | (value & 0x0FFF));
        } else if (layout_.type == FatType::Fat16) {
            PutLe16(bytes.data(), value);
        } else {
            // The top four bits are reserved and keep what they hold.
            PutLe32(bytes.data(), (Le32(bytes.data()) & 0xF0000000) | (value & 0x0FFFFFFF));
        }
        WriteMeta(at, field);
    }
}

// Mirrored FATs that differ where we are about to write mean one of them is wrong, and we
// can't know which.
void FatVolume::CheckCopiesAgree(std::uint64_t within, std::size_t length) {
    if (!layout_.mirrored || layout_.fatCount < 2)
        return;
    for (std::uint64_t sector = within / kSector; sector <= (within + length - 1) / kSector;
         ++sector) {
        if (!agreeing_.insert(sector).second)
            continue;
        Sector first{};
        ReadMeta(layout_.FatOffset(0) + sector * kSector, first);
        for (std::uint32_t fat = 1; fat < layout_.fatCount; ++fat) {
            Sector copy{};
            ReadMeta(layout_.FatOffset(fat) + sector * kSector, copy);
            if (copy != first)
                throw Damaged("its copies of the FAT differ");
        }
    }
}

bool FatVolume::IsEnd(std::uint32_t value) const {
    return value >= (EndMark() & ~std::uint32_t{7});
}

std::uint32_t FatVolume::EndMark() const {
    return layout_.type == FatType::Fat12   ? 0x0FFF
           : layout_.type == FatType::Fat16 ? 0xFFFF
                                            : 0x0FFFFFFF;
}

std::vector<std::uint32_t> FatVolume::Chain(std::uint32_t first) {
    std::vector<std::uint32_t> chain;
    for (std::uint32_t cluster = first; cluster != 0;) {
        if (cluster < 2 || cluster > layout_.MaxCluster())
            throw Damaged("a cluster number outside the volume");
        if (chain.size() == layout_.clusterCount)
            throw Damaged("a cluster chain that loops");
        chain.push_back(cluster);
        const std::uint32_t next = Entry(cluster);
        if (IsEnd(next))
            break;
        if (next == 0)
            throw Damaged("a cluster chain that runs into a free cluster");
        cluster = next;
    }
    return chain;
}

std::vector<std::uint32_t> FatVolume::Allocate(std::size_t count) {
    std::vector<std::uint32_t> found;
    const std::uint32_t clusters = layout_.clusterCount;
    std::uint32_t start = lastAllocated_ != 0 ? lastAllocated_ + 1 : 2;
    if (lastAllocated_ == 0 && fsInfoValid_) {
        std::array<std::uint8_t, 4> hint{};
        ReadMeta(std::uint64_t{layout_.fsInfoSector} * layout_.bytesPerSector + 492, hint);
        start = Le32(hint.data());
    }
    if (start < 2 || start > layout_.MaxCluster())
        start = 2;
    for (std::uint32_t i = 0; i < clusters && found.size() < count; ++i) {
        const std::uint32_t cluster = 2 + (start - 2 + i) % clusters;
        if (Entry(cluster) == 0)
            found.push_back(cluster);
    }
    if (found.size() < count)
        throw InOutError(kDiskFull);
    for (std::size_t i = 0; i < found.size(); ++i)
        SetEntry(found[i], i + 1 < found.size() ? found[i + 1] : EndMark());
    if (!found.empty())
        lastAllocated_ = found.back();
    freeChange_ -= static_cast<std::int64_t>(found.size());
    return found;
}

void FatVolume::Append(std::uint32_t last, std::uint32_t next) {
    SetEntry(last, next);
}

void FatVolume::Free(const std::vector<std::uint32_t>& chain) {
    for (std::uint32_t cluster : chain) SetEntry(cluster, 0);
    freeChange_ += static_cast<std::int64_t>(chain.size());
}

void FatVolume::CheckFsInfo() {
    if (layout_.type != FatType::Fat32 || layout_.fsInfoSector == 0)
        return;
    Sector info{};
    ReadMeta(std::uint64_t{layout_.fsInfoSector} * layout_.bytesPerSector, info);
    fsInfoValid_ = Le32(&info[0]) == kFsInfoLead && Le32(&info[484]) == kFsInfoStruct &&
                   Le32(&info[508]) == kFsInfoTrail;
}

void FatVolume::WriteFsInfo() {
    if (!fsInfoValid_ || (freeChange_ == 0 && lastAllocated_ == 0))
        return;
    const std::uint64_t at = std::uint64_t{layout_.fsInfoSector} * layout_.bytesPerSector;
    std::array<std::uint8_t, 8> fields{};
    ReadMeta(at + 488, fields);
    if (const std::uint32_t known = Le32(fields.data()); known != kUnknown) {
        const std::int64_t free = std::int64_t{known} + freeChange_;
        const bool plausible = free >= 0 && free <= layout_.clusterCount;
        PutLe32(fields.data(), plausible ? static_cast<std::uint32_t>(free) : kUnknown);
    }
    if (lastAllocated_ != 0)
        PutLe32(fields.data() + 4, lastAllocated_);
    WriteMeta(at + 488, fields);
}

std::string FatVolume::ReadClusters(const std::vector<std::uint32_t>& chain, std::uint64_t size) {
    if (chain.size() < (size + layout_.clusterBytes - 1) / layout_.clusterBytes)
        throw Damaged("a file shorter than its size says");
    std::string contents(size, '\0');
    auto* out = reinterpret_cast<std::uint8_t*>(contents.data());
    ForEachRun(chain, [&](std::size_t start, std::size_t end) {
        const std::uint64_t from = start * std::uint64_t{layout_.clusterBytes};
        if (from >= size)
            return;
        const std::uint64_t count =
            std::min<std::uint64_t>((end - start) * layout_.clusterBytes, size - from);
        disk_.Read(offset_ + layout_.ClusterOffset(chain[start]), std::span(out + from, count));
    });
    return contents;
}

void FatVolume::WriteClusters(const std::vector<std::uint32_t>& chain, std::string_view contents) {
    ForEachRun(chain, [&](std::size_t start, std::size_t end) {
        const std::uint64_t from = start * std::uint64_t{layout_.clusterBytes};
        std::vector<std::uint8_t> run((end - start) * layout_.clusterBytes, 0);
        if (from < contents.size()) {
            const std::size_t count = std::min<std::uint64_t>(run.size(), contents.size() - from);
            std::memcpy(run.data(), contents.data() + from, count);
        }
        const std::uint64_t at = layout_.ClusterOffset(chain[start]);
        cache_.erase(cache_.lower_bound(at / kSector),
                     cache_.lower_bound((at + run.size()) / kSector));
        disk_.Write(offset_ + at, run, Overwrites::FreeSpace);
    });
}

}  // namespace platform::drives
