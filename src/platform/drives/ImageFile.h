#pragma once
// An image file on the host, opened for one operation. Writes are held back as a pending
// change that reads already see; Commit makes it one transaction: the old contents of the
// overwritten sectors go to the journal (flushed first), the image is written and flushed,
// then the journal is removed. A change never committed leaves the file untouched.

#include <sys/stat.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>

#include "platform/PosixFile.h"

namespace platform::drives {

// What a write overwrites: data whose old contents a rollback must restore, or free space
// (clusters no file uses, or the image's new end), which needs no journal.
enum class Overwrites { Data, FreeSpace };

class ImageFile {
public:
    // For writing, the image is locked and refused while another program uses it. Either
    // way a journal left by an interrupted change is rolled back first.
    ImageFile(const std::filesystem::path& path, bool forWriting);

    const std::filesystem::path& Path() const { return path_; }
    const struct stat& Status() const { return status_; }
    std::uint64_t Size() const { return size_; }

    // Bytes past the file's end read as zeros up to Size(); past Size() is damage.
    void Read(std::uint64_t offset, std::span<std::uint8_t> out) const;
    void Write(std::uint64_t offset, std::span<const std::uint8_t> data, Overwrites what);
    void Grow(std::uint64_t size);
    void Commit();

private:
    static constexpr std::uint64_t kSector = 512;
    struct PendingSector {
        std::array<std::uint8_t, kSector> bytes{};
        bool journal = false;
    };

    PendingSector& Pending(std::uint64_t sector, bool wholeSector);
    void WriteOut();

    std::filesystem::path path_;
    UniqueFd fd_;
    struct stat status_ {};
    std::uint64_t size_ = 0;
    std::map<std::uint64_t, PendingSector> pending_;  // by sector number
};

}  // namespace platform::drives
