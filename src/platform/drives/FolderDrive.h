#pragma once
// A drive that is a folder of the host, reached through its dosdevices link. Names match as
// on FAT: an exact match first, else the first entry equal without regard to case. Every
// read and rewrite goes through the host primitives (HostFile), which keep the host safe.
// A link that leads nowhere makes the drive one without its disk: nothing is there, and
// every change fails.

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "platform/drives/Drive.h"

namespace platform::drives {

class FolderDrive : public Drive {
public:
    explicit FolderDrive(std::filesystem::path root);
    ~FolderDrive() override;

    // The host path of a path on this drive: each name matched, names that are not there
    // kept as spelled. Nothing for a path no host path can stand for (a NUL in it).
    std::optional<std::filesystem::path> HostPath(std::string_view path);

    std::optional<Entry> Find(std::string_view path) override;
    std::optional<EntryKind> KindOf(std::string_view path) override;
    std::vector<Entry> List(std::string_view folder) override;
    std::string ReadFile(std::string_view path, std::uintmax_t maxBytes) override;
    std::string ReadFilePart(std::string_view path, std::uintmax_t offset, std::size_t size,
                             std::uintmax_t maxBytes) override;
    std::optional<std::string> ReadFileIfExists(std::string_view path,
                                                std::uintmax_t maxBytes) override;
    ReadStream OpenReadStream(std::string_view path, std::uintmax_t maxBytes) override;
    void WriteFile(std::string_view path, std::string_view contents,
                   std::optional<std::uint32_t> attributes = std::nullopt) override;
    void WriteCopy(std::string_view path, Drive& from, std::string_view source,
                   std::uintmax_t maxBytes, std::uint32_t attributes) override;
    void SetAttributes(std::string_view path, std::uint32_t attributes) override;
    void DeleteFile(std::string_view path) override;
    void Rename(std::string_view from, std::string_view to) override;
    void CreateFolder(std::string_view path) override;
    bool Replaceable(std::string_view path) override;
    std::optional<FileStamp> SettledStamp(std::string_view path) override;

private:
    class FolderIndex;
    class KeptFiles;

    struct Located {
        std::filesystem::path host;
        std::optional<struct stat> status;  // links followed; known where found as spelled

        std::optional<struct stat> Status() const;
        // The status where it is known, for the host functions that take one.
        const struct stat* Known() const { return status ? &*status : nullptr; }
    };
    std::optional<Located> Locate(std::string_view path);
    // The host path a write goes to; EFCreateError for a path no host path can stand for.
    std::filesystem::path PathToWrite(std::string_view path);
    std::filesystem::path Existing(std::string_view path, int missingCode);

    std::filesystem::path root_;
    std::unique_ptr<FolderIndex> index_;
    std::unique_ptr<KeptFiles> kept_;
};

}  // namespace platform::drives
