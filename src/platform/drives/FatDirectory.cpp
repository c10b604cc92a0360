#include "platform/drives/FatDirectory.h"

#include <algorithm>
#include <chrono>

#include "platform/Text.h"
#include "platform/drives/Bytes.h"
#include "platform/drives/DosTime.h"

namespace platform::drives {

namespace {

constexpr std::size_t kEntrySize = 32;
constexpr std::size_t kMaxSlots = 65536;  // the most a folder may have
constexpr std::uint8_t kDeleted = 0xE5;
constexpr std::uint8_t kLongNameMask = 0x3F;
constexpr std::uint8_t kLongName = 0x0F;
constexpr std::size_t kMaxPieces = 20;

// A long name under way: pieces arrive from the last to the first.
struct PendingName {
    std::vector<std::u16string> pieces;
    std::size_t next = 0;  // the piece number the next entry must carry
    std::uint8_t checksum = 0;
    std::size_t firstSlot = 0;
};

std::optional<PendingName> StartName(const RawEntry& raw, std::size_t slot) {
    const std::size_t count = raw[0] & 0x1F;
    if ((raw[0] & 0x40) == 0 || count == 0 || count > kMaxPieces)
        return std::nullopt;
    PendingName name{std::vector<std::u16string>(count), count - 1, raw[13], slot};
    name.pieces[count - 1] = LongNamePiece(raw);
    return name;
}

std::string Joined(const PendingName& name) {
    std::u16string units;
    for (const auto& piece : name.pieces) units += piece;
    return FromUtf16(units);
}

}  // namespace

ShortName DirEntry::Short() const {
    ShortName name;
    std::copy_n(raw.begin(), name.size(), name.begin());
    return name;
}

std::string DirEntry::Name() const {
    return longName.empty() ? ShortNameText(Short()) : longName;
}

std::uint32_t DirEntry::FirstCluster(FatType type) const {
    const std::uint32_t high = type == FatType::Fat32 ? Le16(&raw[20]) : 0;
    return high << 16 | Le16(&raw[26]);
}

std::uint32_t DirEntry::Size() const {
    return Le32(&raw[28]);
}

void DirEntry::SetFirstCluster(std::uint32_t cluster) {
    PutLe16(&raw[20], cluster >> 16);
    PutLe16(&raw[26], cluster & 0xFFFF);
}

void DirEntry::SetSize(std::uint32_t size) {
    PutLe32(&raw[28], size);
}

RawEntry NewShortEntry(const ShortName& name, std::uint8_t attributes, std::uint32_t cluster,
                       std::uint32_t size) {
    DirEntry entry;
    std::copy(name.begin(), name.end(), entry.raw.begin());
    entry.raw[11] = attributes;
    entry.SetFirstCluster(cluster);
    entry.SetSize(size);
    StampModified(entry.raw);
    std::copy_n(entry.raw.begin() + 22, 4, entry.raw.begin() + 14);  // created now too
    return entry.raw;
}

void StampModified(RawEntry& entry) {
    const DosTime now = ToDosTime(std::chrono::system_clock::now());
    PutLe16(&entry[18], now.date);  // last access
    PutLe16(&entry[22], now.time);
    PutLe16(&entry[24], now.date);
}

std::string NewFolderContents(std::uint32_t self, std::uint32_t parent,
                              std::uint32_t clusterBytes) {
    std::string contents(clusterBytes, '\0');
    ShortName dots;
    dots.fill(' ');
    dots[0] = '.';
    const RawEntry dot = NewShortEntry(dots, kAttributeDirectory, self, 0);
    dots[1] = '.';
    const RawEntry dotDot = NewShortEntry(dots, kAttributeDirectory, parent, 0);
    std::copy(dot.begin(), dot.end(), contents.begin());
    std::copy(dotDot.begin(), dotDot.end(), contents.begin() + kEntrySize);
    return contents;
}

FatDirectory::FatDirectory(FatVolume& volume, std::uint32_t cluster)
    : volume_(volume), cluster_(cluster) {
    const FatLayout& layout = volume.Layout();
    if (cluster_ == 0 && layout.type == FatType::Fat32)
        cluster_ = layout.rootCluster;  // ".." of a folder in the root says 0
    root_ = cluster_ == 0 || (layout.type == FatType::Fat32 && cluster_ == layout.rootCluster);
    std::vector<std::uint8_t> bytes;
    if (cluster_ == 0) {
        bytes.resize(std::size_t{layout.rootEntries} * kEntrySize);
        volume.ReadMeta(layout.RootOffset(), bytes);
    } else {
        chain_ = volume.Chain(cluster_);
        if (chain_.size() * layout.clusterBytes / kEntrySize > kMaxSlots)
            throw volume.Damaged("a folder larger than FAT allows");
        bytes.resize(chain_.size() * layout.clusterBytes);
        for (std::size_t i = 0; i < chain_.size(); ++i) {
            volume.ReadMeta(layout.ClusterOffset(chain_[i]),
                            std::span(bytes).subspan(i * layout.clusterBytes, layout.clusterBytes));
        }
    }
    slots_.resize(bytes.size() / kEntrySize);
    for (std::size_t i = 0; i < slots_.size(); ++i)
        std::copy_n(bytes.begin() + i * kEntrySize, kEntrySize, slots_[i].begin());
    Parse();
}

void FatDirectory::Parse() {
    entries_.clear();
    std::optional<PendingName> pending;
    for (std::size_t slot = 0; slot < slots_.size() && slots_[slot][0] != 0; ++slot) {
        const RawEntry& raw = slots_[slot];
        if (raw[0] == kDeleted) {
            pending.reset();
        } else if ((raw[11] & kLongNameMask) == kLongName) {
            if (raw[0] & 0x40)
                pending = StartName(raw, slot);
            else if (pending && pending->next != 0 && raw[0] == pending->next &&
                     raw[13] == pending->checksum)
                pending->pieces[--pending->next] = LongNamePiece(raw);
            else
                pending.reset();
        } else {
            DirEntry entry;
            entry.raw = raw;
            entry.slot = entry.firstSlot = slot;
            if (pending && pending->next == 0 &&
                pending->checksum == LongNameChecksum(entry.Short())) {
                entry.longName = Joined(*pending);
                entry.firstSlot = pending->firstSlot;
            }
            pending.reset();
            if ((raw[11] & kAttributeVolume) == 0 && raw[0] != '.')
                entries_.push_back(std::move(entry));
        }
    }
}

std::optional<DirEntry> FatDirectory::Find(std::string_view name) const {
    for (const auto& entry : entries_) {
        if ((!entry.longName.empty() && SameText(entry.longName, name)) ||
            SameText(ShortNameText(entry.Short()), name)) {
            return entry;
        }
    }
    return std::nullopt;
}

bool FatDirectory::Taken(const ShortName& name) const {
    const std::string text = ShortNameText(name);
    return std::any_of(entries_.begin(), entries_.end(), [&](const DirEntry& entry) {
        return entry.Short() == name || SameText(entry.longName, text);
    });
}

std::uint64_t FatDirectory::SlotOffset(std::size_t slot) const {
    const FatLayout& layout = volume_.Layout();
    if (chain_.empty())
        return layout.RootOffset() + slot * kEntrySize;
    const std::size_t perCluster = layout.clusterBytes / kEntrySize;
    return layout.ClusterOffset(chain_[slot / perCluster]) + slot % perCluster * kEntrySize;
}

void FatDirectory::WriteSlot(std::size_t slot, const RawEntry& entry) {
    slots_[slot] = entry;
    volume_.WriteMeta(SlotOffset(slot), entry);
}

bool FatDirectory::Add(const std::vector<RawEntry>& entries) {
    for (;;) {
        // Past the first never-used entry every entry counts as free.
        const auto end = std::find_if(slots_.begin(), slots_.end(),
                                      [](const RawEntry& raw) { return raw[0] == 0; }) -
                         slots_.begin();
        std::size_t run = 0;
        for (std::size_t slot = 0; slot < slots_.size(); ++slot) {
            const bool free =
                static_cast<std::ptrdiff_t>(slot) >= end || slots_[slot][0] == kDeleted;
            run = free ? run + 1 : 0;
            if (run < entries.size())
                continue;
            const std::size_t first = slot + 1 - run;
            for (std::size_t i = 0; i < entries.size(); ++i) WriteSlot(first + i, entries[i]);
            // What follows must still read as the end of the folder.
            if (slot + 1 < slots_.size() && static_cast<std::ptrdiff_t>(slot) >= end &&
                slots_[slot + 1][0] != 0)
                WriteSlot(slot + 1, RawEntry{});
            Parse();
            return true;
        }
        if (!Grow())
            return false;
    }
}

bool FatDirectory::Grow() {
    const std::uint32_t clusterBytes = volume_.Layout().clusterBytes;
    if (chain_.empty() || slots_.size() + clusterBytes / kEntrySize > kMaxSlots)
        return false;
    const std::uint32_t added = volume_.Allocate(1).front();
    volume_.Append(chain_.back(), added);
    volume_.WriteClusters({added}, {});
    chain_.push_back(added);
    slots_.resize(slots_.size() + clusterBytes / kEntrySize, RawEntry{});
    return true;
}

void FatDirectory::Update(const DirEntry& entry) {
    WriteSlot(entry.slot, entry.raw);
    Parse();
}

void FatDirectory::SetParent(std::uint32_t reference) {
    for (std::size_t slot = 0; slot < slots_.size() && slots_[slot][0] != 0; ++slot) {
        DirEntry entry;
        entry.raw = slots_[slot];
        if (ShortNameText(entry.Short()) == "..") {
            entry.SetFirstCluster(reference);
            return WriteSlot(slot, entry.raw);
        }
    }
    throw volume_.Damaged("a folder without its \"..\" entry");
}

void FatDirectory::Remove(const DirEntry& entry) {
    for (std::size_t slot = entry.firstSlot; slot <= entry.slot; ++slot) {
        RawEntry raw = slots_[slot];
        raw[0] = kDeleted;
        WriteSlot(slot, raw);
    }
    Parse();
}

}  // namespace platform::drives
