#include "platform/drives/ImageLock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "platform/Errors.h"
#include "platform/PosixFile.h"
#include "platform/drives/ImageErrors.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

// Another Bootrama holds its lock for one change, well under this.
constexpr auto kPatience = std::chrono::seconds(3);
constexpr auto kPause = std::chrono::milliseconds(20);

struct flock WholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    return lock;
}

// A whole-file write lock like ours, unlike the byte locks QEMU takes.
bool HeldByBootrama(int fd) {
    struct flock probe = WholeFile(F_WRLCK);
    return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_WRLCK && probe.l_start == 0 &&
           probe.l_len == 0;
}

// Ours, or one let go since the attempt.
bool WorthWaiting(int fd) {
    struct flock probe = WholeFile(F_WRLCK);
    return HeldByBootrama(fd) || (::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type == F_UNLCK);
}

std::string ReadSmallFile(const fs::path& file) {
    std::ifstream in(file);
    std::string text;
    std::getline(in, text);
    return text;
}

bool IsNumber(const char* name) {
    if (*name == '\0')
        return false;
    for (; *name != '\0'; ++name)
        if (*name < '0' || *name > '9')
            return false;
    return true;
}

bool OpenForWriting(const std::string& fdinfo) {
    std::ifstream in(fdinfo);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("flags:", 0) == 0)
            return (std::strtoul(line.c_str() + 6, nullptr, 8) & O_ACCMODE) != O_RDONLY;
    }
    return false;
}

// "86Box (process 4711)" for a process of ours, other than this one, that has the image
// open for writing; other users' processes are not visible and not asked.
std::optional<std::string> OtherWriter(const struct stat& image) {
    const std::string self = std::to_string(::getpid());
    DIR* processes = ::opendir("/proc");
    if (processes == nullptr)
        return std::nullopt;
    std::optional<std::string> writer;
    while (!writer) {
        const dirent* process = ::readdir(processes);
        if (process == nullptr)
            break;
        if (!IsNumber(process->d_name) || self == process->d_name)
            continue;
        const std::string base = std::string("/proc/") + process->d_name;
        DIR* fds = ::opendir((base + "/fd").c_str());
        if (fds == nullptr)
            continue;
        while (const dirent* fd = ::readdir(fds)) {
            struct stat target {};
            if (!IsNumber(fd->d_name) ||
                ::stat((base + "/fd/" + fd->d_name).c_str(), &target) != 0 ||
                target.st_dev != image.st_dev || target.st_ino != image.st_ino) {
                continue;
            }
            if (OpenForWriting(base + "/fdinfo/" + fd->d_name)) {
                writer = ReadSmallFile(base + "/comm") + " (process " + process->d_name + ")";
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(processes);
    return writer;
}

// "/dev/loop3" when the kernel serves the image as a loop device.
std::optional<std::string> LoopDevice(const fs::path& image) {
    std::error_code error;
    const fs::path canonical = fs::canonical(image, error);
    if (error)
        return std::nullopt;
    for (fs::directory_iterator it("/sys/block", error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("loop", 0) == 0 &&
            ReadSmallFile(it->path() / "loop" / "backing_file") == canonical.string()) {
            return "/dev/" + name;
        }
    }
    return std::nullopt;
}

[[noreturn]] void RefuseInUse(const fs::path& image, const std::string& user) {
    throw EDiskImageError("The disk image " + Quoted(image) + " is in use by " + user +
                              ".\rClose the virtual machine first, then try again.",
                          kImageInUse);
}

void RefuseIfMounted(const fs::path& image) {
    if (auto device = LoopDevice(image)) {
        throw EDiskImageError("The disk image " + Quoted(image) + " is mounted as " + *device +
                                  ".\rUnmount it first, then try again.",
                              kImageInUse);
    }
}

// Names who has the image open for writing, as far as we may look.
[[noreturn]] void RefuseWriter(const fs::path& image) {
    struct stat status {};
    if (::stat(image.c_str(), &status) == 0) {
        if (auto writer = OtherWriter(status))
            RefuseInUse(image, *writer);
    }
    RefuseIfMounted(image);
    RefuseInUse(image, "another program");
}

enum class Writers { None, Some, Unknown };

// The kernel grants a read lease only while nobody has the file open for writing; it
// refuses to tell about files of other users.
Writers OtherWriters(int fd) {
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        return Writers::None;
    }
    return errno == EAGAIN ? Writers::Some : Writers::Unknown;
}

}  // namespace

bool TryLockForWriting(int fd) {
    struct flock lock = WholeFile(F_WRLCK);
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

void LockForWriting(int fd, const fs::path& image) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while (!TryLockForWriting(fd)) {
        if (!WorthWaiting(fd) || std::chrono::steady_clock::now() > giveUp)
            RefuseInUse(image, "another program");
        std::this_thread::sleep_for(kPause);
    }
}

void WaitForOtherWriters(const fs::path& image) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    for (int unexplained = 0;;) {
        UniqueFd probe(::open(image.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!probe.Valid())
            return;  // opening it for writing reports why
        const Writers writers = OtherWriters(probe.Get());
        if (writers == Writers::None)
            break;
        if (writers == Writers::Unknown) {
            struct stat status {};
            if (::fstat(probe.Get(), &status) == 0) {
                if (auto writer = OtherWriter(status))
                    RefuseInUse(image, *writer);
            }
            break;
        }
        // Another Bootrama in the middle of a change holds our kind of lock; a writer
        // that has only just closed the image needs a moment to be gone.
        const bool bootrama = HeldByBootrama(probe.Get());
        if (std::chrono::steady_clock::now() > giveUp || (!bootrama && ++unexplained > 3))
            RefuseWriter(image);
        std::this_thread::sleep_for(kPause);
    }
    RefuseIfMounted(image);
}

}  // namespace platform::drives
