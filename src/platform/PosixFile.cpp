#include "platform/PosixFile.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

namespace platform {

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

std::optional<struct stat> StatOf(const std::filesystem::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return std::nullopt;
    return status;
}

std::optional<struct stat> LinkStatOf(const std::filesystem::path& file) {
    struct stat status {};
    if (::lstat(file.c_str(), &status) != 0)
        return std::nullopt;
    return status;
}

std::optional<std::filesystem::path> ResolvedPath(const std::filesystem::path& path) {
    UniqueFd fd(::open(path.c_str(), O_PATH | O_CLOEXEC));
    if (!fd.Valid())
        return std::nullopt;
    char resolved[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd.Get());
    const ssize_t length = ::readlink(link.c_str(), resolved, sizeof resolved);
    if (length <= 0 || length == ssize_t(sizeof resolved) || resolved[0] != '/')
        return std::nullopt;
    return std::filesystem::path(std::string(resolved, std::size_t(length)));
}

bool SettledTime(const timespec& modified) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now.tv_sec - modified.tv_sec >= 2;
}

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

long long ReadAt(int fd, void* buffer, std::size_t size, std::uint64_t offset) {
    auto* bytes = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < size) {
        ssize_t count = ::pread(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return -1;
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    return static_cast<long long>(done);
}

bool WriteAt(int fd, const void* data, std::size_t size, std::uint64_t offset) {
    const auto* bytes = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < size) {
        ssize_t count = ::pwrite(fd, bytes + done, size - done, static_cast<off_t>(offset + done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return false;
        if (count == 0) {
            errno = EIO;
            return false;
        }
        done += static_cast<std::size_t>(count);
    }
    return true;
}

void SyncFolder(const std::filesystem::path& folder) {
    UniqueFd fd(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        ::fsync(fd.Get());
}

}  // namespace platform
