#include "platform/drives/Partitions.h"

#include <algorithm>
#include <array>
#include <set>

#include "platform/drives/Bytes.h"

namespace platform::drives {

namespace {

constexpr std::uint64_t kSector = 512;
constexpr std::size_t kTableAt = 446;
constexpr int kMaxLogical = 128;

using Sector = std::array<std::uint8_t, kSector>;

bool IsExtended(std::uint8_t type) {
    return type == 0x05 || type == 0x0F || type == 0x85;
}

bool HasSignature(const Sector& sector) {
    return sector[510] == 0x55 && sector[511] == 0xAA;
}

struct TableEntry {
    std::uint8_t status;
    std::uint8_t type;
    std::uint64_t start;  // sectors
    std::uint64_t count;
};

TableEntry EntryAt(const Sector& sector, int index) {
    const std::uint8_t* entry = sector.data() + kTableAt + 16 * index;
    return {entry[0], entry[4], Le32(entry + 8), Le32(entry + 12)};
}

bool Used(const TableEntry& entry) {
    return entry.type != 0 && entry.count != 0;
}

bool ReadSector(Disk& disk, std::uint64_t sector, Sector& out) {
    if (sector >= disk.Size() / kSector)
        return false;
    disk.Read(sector * kSector, out);
    return HasSignature(out);
}

// Each extended boot record holds one logical drive and the link to the next record,
// both counted from places the chain must not leave or revisit.
void AddLogical(Disk& disk, std::uint64_t extendedStart, std::vector<Partition>& partitions) {
    std::set<std::uint64_t> visited;
    std::uint64_t record = extendedStart;
    Sector sector{};
    int number = 5 + static_cast<int>(std::count_if(partitions.begin(), partitions.end(),
                                                    [](const auto& p) { return p.number >= 5; }));
    while (number < 5 + kMaxLogical && visited.insert(record).second &&
           ReadSector(disk, record, sector)) {
        TableEntry logical = EntryAt(sector, 0);
        if (Used(logical) && !IsExtended(logical.type)) {
            partitions.push_back({number++, logical.type, logical.status == 0x80,
                                  (record + logical.start) * kSector, logical.count * kSector});
        }
        TableEntry next = EntryAt(sector, 1);
        if (!Used(next) || !IsExtended(next.type))
            break;
        record = extendedStart + next.start;
    }
}

}  // namespace

bool Partition::IsFat() const {
    switch (type & 0xEF) {  // 0x10 hides a partition from DOS
        case 0x01:
        case 0x04:
        case 0x06:
        case 0x0B:
        case 0x0C:
        case 0x0E:
            return true;
        default:
            return false;
    }
}

std::vector<Partition> ReadPartitions(Disk& disk) {
    Sector mbr{};
    if (!ReadSector(disk, 0, mbr))
        return {};
    for (int i = 0; i < 4; ++i) {
        if (std::uint8_t status = EntryAt(mbr, i).status; status != 0 && status != 0x80)
            return {};
    }
    std::vector<Partition> partitions;
    std::vector<std::uint64_t> extended;
    for (int i = 0; i < 4; ++i) {
        TableEntry entry = EntryAt(mbr, i);
        if (!Used(entry))
            continue;
        if (IsExtended(entry.type))
            extended.push_back(entry.start);
        partitions.push_back({i + 1, entry.type, entry.status == 0x80, entry.start * kSector,
                              entry.count * kSector});
    }
    for (std::uint64_t start : extended) AddLogical(disk, start, partitions);
    return partitions;
}

}  // namespace platform::drives
