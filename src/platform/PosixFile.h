#pragma once
// Plain POSIX file access for the host files and the image code: an owned descriptor, and
// whole reads and writes at an offset that carry on after interruptions and short
// transfers.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace platform {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release();

private:
    int fd_;
};

// The file's status, following a symbolic link or not; nothing when it can't be had.
std::optional<struct stat> StatOf(const std::filesystem::path& file);
std::optional<struct stat> LinkStatOf(const std::filesystem::path& file);

// The path with every link resolved, asked of the kernel in three system calls however deep it
// lies; nothing when it is not there (or the proc file system is not).
std::optional<std::filesystem::path> ResolvedPath(const std::filesystem::path& path);

// Whether a folder's modification time lies well before now. What was read of a folder whose
// time had settled so is known to be current while the time stays the same: a change after the
// reading always shows in the time, however coarse the file system's clock.
bool SettledTime(const timespec& modified);
bool SameTime(const timespec& a, const timespec& b);

// The number of bytes read, short only at the end of the file; -1 (errno set) on failure.
long long ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset);
// False (errno set) unless every byte was written.
bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset);
// Makes a new or removed name in the folder durable.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace platform
