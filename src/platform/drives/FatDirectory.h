#pragma once
// One folder of a FAT volume: its 32-byte entries, long names put together from the
// entries in front of each 8.3 entry (pieces in order, checksum right, else ignored, as
// Windows ignores them).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/FatVolume.h"
#include "platform/drives/LongName.h"
#include "platform/drives/ShortName.h"

namespace platform::drives {

constexpr std::uint8_t kAttributeReadOnly = 0x01;
constexpr std::uint8_t kAttributeVolume = 0x08;
constexpr std::uint8_t kAttributeDirectory = 0x10;
constexpr std::uint8_t kAttributeArchive = 0x20;
// The attributes a file's owner sets: read-only, hidden, system, archive.
constexpr std::uint8_t kAttributesOfFiles = 0x27;

// A file or folder: its 8.3 entry as stored, and where its entries are.
struct DirEntry {
    std::string longName;  // empty without one
    RawEntry raw{};
    std::size_t slot = 0;       // the 8.3 entry
    std::size_t firstSlot = 0;  // its first long-name entry, else the 8.3 entry

    ShortName Short() const;
    std::string Name() const;  // the long name, else the 8.3 name
    std::uint8_t Attributes() const { return raw[11]; }
    bool IsDirectory() const { return (raw[11] & kAttributeDirectory) != 0; }
    std::uint32_t FirstCluster(FatType type) const;
    std::uint32_t Size() const;
    void SetFirstCluster(std::uint32_t cluster);
    void SetSize(std::uint32_t size);
};

// An 8.3 entry with the given fields, created and modified now.
RawEntry NewShortEntry(const ShortName& name, std::uint8_t attributes, std::uint32_t cluster,
                       std::uint32_t size);
void StampModified(RawEntry& entry);
// The first cluster of a new folder: its "." and ".." entries.
std::string NewFolderContents(std::uint32_t self, std::uint32_t parent, std::uint32_t clusterBytes);

class FatDirectory {
public:
    // The root folder is cluster 0 on FAT12 and FAT16.
    FatDirectory(FatVolume& volume, std::uint32_t cluster);

    std::uint32_t Cluster() const { return cluster_; }
    // What a ".." entry stores for this folder: 0 for the root.
    std::uint32_t Reference() const { return root_ ? 0 : cluster_; }
    // Files and folders; "." and "..", labels and deleted entries left out.
    const std::vector<DirEntry>& Entries() const { return entries_; }
    std::optional<DirEntry> Find(std::string_view name) const;
    // Whether a new 8.3 name would clash with an entry's 8.3 or long name.
    bool Taken(const ShortName& name) const;
    // Writes the entries (long-name entries, then the 8.3 one) where there is room,
    // growing a folder by a cluster when needed. False when the folder can't hold them.
    bool Add(const std::vector<RawEntry>& entries);
    void Update(const DirEntry& entry);                // writes its 8.3 entry back
    void Remove(const DirEntry& entry);                // marks its entries deleted
    void SetParent(std::uint32_t reference);           // the cluster its ".." entry names
    std::uint64_t SlotOffset(std::size_t slot) const;  // in the volume

private:
    void Parse();
    void WriteSlot(std::size_t slot, const RawEntry& entry);
    bool Grow();

    FatVolume& volume_;
    std::uint32_t cluster_;
    bool root_;
    std::vector<std::uint32_t> chain_;  // empty for the fixed root folder
    std::vector<RawEntry> slots_;
    std::vector<DirEntry> entries_;
};

}  // namespace platform::drives
