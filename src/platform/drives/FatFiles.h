#pragma once
// The file operations of a drive on an open FAT volume. A path is its list of names below
// the root; shown is the path as the caller spelled it, for messages. Changes are made in
// the volume's pending transaction, which the caller commits; whatever throws leaves it
// to be dropped.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drives/Drive.h"
#include "platform/drives/FatDirectory.h"

namespace platform::drives {

using Names = std::vector<std::string>;

class FatFiles {
public:
    // id names the image, for the FileIds of its files.
    FatFiles(FatVolume& volume, FileId id) : volume_(volume), id_(id) {}

    std::optional<Entry> Find(const Names& path);
    std::vector<Entry> List(const Names& folder);
    std::string Read(const Names& path, std::uintmax_t maxBytes, std::string_view shown);

    void Write(const Names& path, std::string_view contents,
               std::optional<std::uint32_t> attributes, std::string_view shown);
    void SetAttributes(const Names& path, std::uint32_t attributes);
    void Delete(const Names& path);
    void Rename(const Names& from, const Names& to);
    void CreateFolder(const Names& path);

private:
    struct Located {
        FatDirectory folder;
        std::optional<DirEntry> entry;
        std::string name;  // the last name as it would be stored
    };

    // The folder a path names; along collects the clusters of the folders on the way.
    std::optional<FatDirectory> Folder(const Names& path,
                                       std::vector<std::uint32_t>* along = nullptr);
    // Nothing when the folder above is missing or the name is one Windows refuses.
    std::optional<Located> Locate(const Names& path);
    Located LocateForChange(const Names& path);
    bool AddEntry(FatDirectory& folder, const std::string& name, RawEntry entry);
    Entry ToEntry(const DirEntry& entry, const FatDirectory& folder) const;
    std::uint32_t FirstCluster(const DirEntry& entry) const;

    FatVolume& volume_;
    FileId id_;
};

}  // namespace platform::drives
