#include "platform/drives/FatFiles.h"

#include <algorithm>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/drives/Bytes.h"
#include "platform/drives/DosTime.h"
#include "platform/drives/ImageErrors.h"

namespace platform::drives {

namespace {

constexpr int kCannotMake = 82;  // the Windows code when a folder has no room for an entry

constexpr std::uint64_t kMaxFileSize = 0xFFFFFFFF;

Names Parent(const Names& path) {
    return Names(path.begin(), path.end() - (path.empty() ? 0 : 1));
}

}  // namespace

std::uint32_t FatFiles::FirstCluster(const DirEntry& entry) const {
    return entry.FirstCluster(volume_.Layout().type);
}

std::optional<FatDirectory> FatFiles::Folder(const Names& path, std::vector<std::uint32_t>* along) {
    std::optional<FatDirectory> folder;
    folder.emplace(volume_, 0);
    for (const auto& name : path) {
        if (along != nullptr)
            along->push_back(folder->Cluster());
        auto stored = StoredName(name);
        auto entry = stored ? folder->Find(*stored) : std::nullopt;
        if (!entry || !entry->IsDirectory())
            return std::nullopt;
        if (FirstCluster(*entry) == 0)
            throw volume_.Damaged("a folder without clusters");
        folder.emplace(volume_, FirstCluster(*entry));
    }
    if (along != nullptr)
        along->push_back(folder->Cluster());
    return folder;
}

std::optional<FatFiles::Located> FatFiles::Locate(const Names& path) {
    auto stored = path.empty() ? std::nullopt : StoredName(path.back());
    auto folder = stored ? Folder(Parent(path)) : std::nullopt;
    if (!folder)
        return std::nullopt;
    auto entry = folder->Find(*stored);
    return Located{std::move(*folder), std::move(entry), std::move(*stored)};
}

// The file a change acts on: EInOutError 3 without its folder, 2 when it is not there, 5
// for the root.
FatFiles::Located FatFiles::LocateForChange(const Names& path) {
    auto located = Locate(path);
    if (!located)
        throw InOutError(path.empty() ? kAccessDenied : kPathNotFound);
    if (!located->entry)
        throw InOutError(kFileNotFound);
    return std::move(*located);
}

Entry FatFiles::ToEntry(const DirEntry& entry, const FatDirectory& folder) const {
    Entry out;
    out.name = entry.Name();
    out.shortName = ShortNameText(entry.Short());
    const std::uint32_t attributes =
        entry.Attributes() & (kAttributesOfFiles | kAttributeDirectory);
    out.attributes = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
    out.size = entry.IsDirectory() ? 0 : entry.Size();
    out.modified = FromDosTime({Le16(&entry.raw[24]), Le16(&entry.raw[22])});
    out.id = id_;
    out.id.entry = volume_.Offset() + folder.SlotOffset(entry.slot) + 1;
    return out;
}

std::optional<Entry> FatFiles::Find(const Names& path) {
    if (path.empty()) {
        Entry root;
        root.attributes = FILE_ATTRIBUTE_DIRECTORY;
        root.id = id_;
        root.id.entry = volume_.Offset();
        return root;
    }
    auto located = Locate(path);
    if (!located || !located->entry)
        return std::nullopt;
    return ToEntry(*located->entry, located->folder);
}

std::vector<Entry> FatFiles::List(const Names& folder) {
    std::vector<Entry> entries;
    if (auto directory = Folder(folder)) {
        for (const auto& entry : directory->Entries())
            entries.push_back(ToEntry(entry, *directory));
    }
    return entries;
}

std::string FatFiles::Read(const Names& path, std::uintmax_t maxBytes, std::string_view shown) {
    auto located = Locate(path);
    if (!located || !located->entry || located->entry->IsDirectory())
        throw CannotOpen(shown);
    const DirEntry& entry = *located->entry;
    if (entry.Size() > maxBytes)
        throw FileTooLarge(shown, maxBytes);
    return volume_.ReadClusters(volume_.Chain(FirstCluster(entry)), entry.Size());
}

bool FatFiles::AddEntry(FatDirectory& folder, const std::string& name, RawEntry entry) {
    std::vector<RawEntry> entries;
    auto shortName = ExactShortName(name);
    if (!shortName) {
        shortName = AliasFor(name, [&](const ShortName& alias) { return folder.Taken(alias); });
        if (!shortName)
            return false;
        entries = LongNameEntries(name, LongNameChecksum(*shortName));
    }
    std::copy(shortName->begin(), shortName->end(), entry.begin());
    entry[12] = 0;  // no lower-case flags: the 8.3 name is upper case
    entries.push_back(entry);
    return folder.Add(entries);
}

void FatFiles::Write(const Names& path, std::string_view contents,
                     std::optional<std::uint32_t> attributes, std::string_view shown) {
    auto cannotCreate = [&](int code) {
        return EFCreateError("Cannot create file \"" + std::string(shown) + "\"", code);
    };
    if (path.empty())
        throw cannotCreate(kAccessDenied);
    auto located = Locate(path);
    if (!located)
        throw cannotCreate(StoredName(path.back()) ? kPathNotFound : kInvalidName);
    const auto& existing = located->entry;
    if (existing && (existing->IsDirectory() || (existing->Attributes() & kAttributeReadOnly)))
        throw cannotCreate(kAccessDenied);
    if (contents.size() > kMaxFileSize)
        throw InOutError(kDiskFull);
    const auto oldChain =
        existing ? volume_.Chain(FirstCluster(*existing)) : std::vector<std::uint32_t>{};
    const std::uint32_t clusterBytes = volume_.Layout().clusterBytes;
    const auto chain = volume_.Allocate((contents.size() + clusterBytes - 1) / clusterBytes);
    volume_.WriteClusters(chain, contents);
    const std::uint32_t first = chain.empty() ? 0 : chain.front();
    const auto size = static_cast<std::uint32_t>(contents.size());
    if (existing) {
        DirEntry updated = *existing;
        if (attributes)
            updated.raw[11] = static_cast<std::uint8_t>(*attributes & kAttributesOfFiles);
        updated.SetFirstCluster(first);
        updated.SetSize(size);
        StampModified(updated.raw);
        located->folder.Update(updated);
        volume_.Free(oldChain);
    } else {
        const std::uint8_t given =
            attributes ? *attributes & kAttributesOfFiles : kAttributeArchive;
        if (!AddEntry(located->folder, located->name, NewShortEntry({}, given, first, size)))
            throw cannotCreate(kCannotMake);
    }
    volume_.WriteFsInfo();
}

void FatFiles::SetAttributes(const Names& path, std::uint32_t attributes) {
    Located located = LocateForChange(path);
    DirEntry entry = *located.entry;
    entry.raw[11] = static_cast<std::uint8_t>((entry.raw[11] & kAttributeDirectory) |
                                              (attributes & kAttributesOfFiles));
    // Clearing what is clear already (as every logo switch does first) writes nothing, so
    // the change has nothing to journal and nothing to flush.
    if (entry.raw[11] != located.entry->raw[11])
        located.folder.Update(entry);
}

void FatFiles::Delete(const Names& path) {
    Located located = LocateForChange(path);
    const DirEntry& entry = *located.entry;
    if (entry.IsDirectory() || (entry.Attributes() & kAttributeReadOnly))
        throw InOutError(kAccessDenied);
    const auto chain = volume_.Chain(FirstCluster(entry));
    located.folder.Remove(entry);
    volume_.Free(chain);
    volume_.WriteFsInfo();
}

void FatFiles::Rename(const Names& from, const Names& to) {
    Located source = LocateForChange(from);
    const DirEntry moved = *source.entry;
    auto name = to.empty() ? std::nullopt : StoredName(to.back());
    if (!name)
        throw InOutError(kInvalidName);
    std::vector<std::uint32_t> along;
    auto target = Folder(Parent(to), &along);
    if (!target)
        throw InOutError(kPathNotFound);
    const bool sameFolder = target->Cluster() == source.folder.Cluster();
    FatDirectory& folder = sameFolder ? source.folder : *target;
    // A folder can't move into itself.
    if (moved.IsDirectory() &&
        std::find(along.begin(), along.end(), FirstCluster(moved)) != along.end()) {
        throw InOutError(kAccessDenied);
    }
    if (auto clash = folder.Find(*name); clash && !(sameFolder && clash->slot == moved.slot))
        throw InOutError(kAlreadyExists);
    source.folder.Remove(moved);
    if (!AddEntry(folder, *name, moved.raw))
        throw InOutError(kCannotMake);
    if (moved.IsDirectory() && !sameFolder)
        FatDirectory(volume_, FirstCluster(moved)).SetParent(folder.Reference());
    volume_.WriteFsInfo();
}

void FatFiles::CreateFolder(const Names& path) {
    auto located = Locate(path);
    if (!located)
        throw InOutError(path.empty() || StoredName(path.back()) ? kPathNotFound : kInvalidName);
    if (located->entry)
        throw InOutError(kAlreadyExists);
    const std::uint32_t cluster = volume_.Allocate(1).front();
    volume_.WriteClusters({cluster}, NewFolderContents(cluster, located->folder.Reference(),
                                                       volume_.Layout().clusterBytes));
    if (!AddEntry(located->folder, located->name,
                  NewShortEntry({}, kAttributeDirectory, cluster, 0))) {
        throw InOutError(kCannotMake);
    }
    volume_.WriteFsInfo();
}

}  // namespace platform::drives
