#include "platform/HostFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <sys/xattr.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "platform/Errors.h"
#include "platform/FileAttributes.h"
#include "platform/PosixFile.h"

namespace platform::host {

namespace {

namespace fs = std::filesystem;

// Samba's name and text form ("0x22"), so a share of the same folder sees the same flags.
constexpr const char* kDosAttributeName = "user.DOSATTRIB";
constexpr std::uint32_t kKeptInXattr =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// Temporaries are mkstemp's ".bootrama-XXXXXX": six letters or digits after the prefix.
constexpr std::string_view kTemporaryPrefix = ".bootrama-";
constexpr std::size_t kTemporaryRandomLength = 6;
// As many links as the kernel follows before it reports a loop.
constexpr int kMaxLinkHops = 40;

timespec Now() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

// Temporaries older than this process were left by an earlier one.
const timespec kProcessStart = Now();

// The kernel's own file systems hold nobody's files: their "regular" files may never end
// (/proc/self/pagemap) or lose what reading takes (/proc/kmsg). A device keeps its file
// system while it is mounted, so each is asked about once.
bool OnKernelFileSystem(const fs::path& file, dev_t device) {
    static std::vector<std::pair<dev_t, bool>> known;
    for (const auto& [seen, kernel] : known) {
        if (seen == device)
            return kernel;
    }
    struct statfs system {};
    if (::statfs(file.c_str(), &system) != 0)
        return false;  // the open that follows fails too, or the file is no kernel one
    const bool kernel = system.f_type == PROC_SUPER_MAGIC || system.f_type == SYSFS_MAGIC;
    known.emplace_back(device, kernel);
    return kernel;
}

// Open for reading by the rules of ReadWhole; status is the open file's.
UniqueFd OpenToRead(const fs::path& file, std::string_view shownName, std::uintmax_t maxBytes,
                    const struct stat* known, struct stat& status) {
    // The kind is known before the open, on which a device may act and a FIFO would wait.
    if (auto kind = known ? std::optional(*known) : StatOf(file);
        !kind || !S_ISREG(kind->st_mode) || OnKernelFileSystem(file, kind->st_dev))
        throw CannotOpen(shownName);
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid() || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode))
        throw CannotOpen(shownName);
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        throw FileTooLarge(shownName, maxBytes);
    return fd;
}

std::optional<std::string> RawDosAttribute(const fs::path& file) {
    char buffer[256];
    ssize_t length = ::getxattr(file.c_str(), kDosAttributeName, buffer, sizeof buffer);
    if (length < 0)
        return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(length));
}

// Newer Samba stores a binary record that also starts with the text form.
std::uint32_t ParseDosAttribute(const std::string& raw) {
    if (raw.size() < 3 || raw[0] != '0' || (raw[1] != 'x' && raw[1] != 'X'))
        return 0;
    // The digits end at the record's NUL, where strtoul stops too.
    return static_cast<std::uint32_t>(std::strtoul(raw.c_str() + 2, nullptr, 16));
}

std::string DosAttributeText(std::uint32_t attributes) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", attributes);
    return text;
}

mode_t DefaultFileMode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

[[noreturn]] void ThrowInOut(int errnoValue) {
    int errorCode = WindowsErrorCode(errnoValue);
    throw EInOutError("I/O error " + std::to_string(errorCode), errorCode);
}

void WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        ssize_t written = ::write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowInOut(errno);
        }
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
}

// The temporary file gets what the replaced file had, or the attributes a copy brings.
void CarryOverAttributes(int fd, const fs::path& replaced, const std::optional<struct stat>& old,
                         std::optional<std::uint32_t> attributes) {
    mode_t mode = old ? old->st_mode & 07777 : DefaultFileMode();
    if (old && (old->st_uid != ::geteuid() || old->st_gid != ::getegid())) {
        // Only root can give a file away; for anybody else this fails harmlessly.
        [[maybe_unused]] int ignored = ::fchown(fd, old->st_uid, old->st_gid);
    }
    if (!attributes) {
        if (auto raw = RawDosAttribute(replaced))
            ::fsetxattr(fd, kDosAttributeName, raw->data(), raw->size(), 0);
    } else {
        const bool readOnly = (*attributes & FILE_ATTRIBUTE_READONLY) != 0;
        mode = readOnly ? mode & ~mode_t{0222} : mode | S_IWUSR;
        if ((*attributes & kKeptInXattr) != 0) {
            const std::string text =
                DosAttributeText(*attributes & (kKeptInXattr | FILE_ATTRIBUTE_READONLY));
            ::fsetxattr(fd, kDosAttributeName, text.data(), text.size(), 0);
        }
    }
    if (::fchmod(fd, mode) != 0)
        ThrowInOut(errno);
}

// Where a write to file lands: the file itself, or the end of its chain of links, which may
// not exist yet (then without a status). Nothing for a chain that does not end.
struct Landing {
    fs::path file;
    std::optional<struct stat> status;  // links not followed
};
std::optional<Landing> WriteTarget(fs::path file) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        auto status = LinkStatOf(file);
        if (!status || !S_ISLNK(status->st_mode))
            return Landing{std::move(file), status};
        std::error_code error;
        fs::path next = fs::read_symlink(file, error);
        if (error)
            return std::nullopt;
        file = next.is_absolute() ? next : file.parent_path() / next;
    }
    return std::nullopt;
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kTemporaryRandomLength ||
        !name.starts_with(kTemporaryPrefix)) {
        return false;
    }
    name.remove_prefix(kTemporaryPrefix.size());
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    });
}

bool Before(const timespec& a, const timespec& b) {
    return a.tv_sec < b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec < b.tv_nsec);
}

// A writer holds a lock on its temporary until the rename, so one whose lock is free was left
// by a process that died while writing; a live writer's is never touched.
void RemoveIfStale(int directory, const char* name) {
    struct stat found {};
    if (::fstatat(directory, name, &found, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(found.st_mode) ||
        !Before(found.st_mtim, kProcessStart)) {
        return;
    }
    UniqueFd fd(::openat(directory, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0 || opened.st_ino != found.st_ino ||
        opened.st_dev != found.st_dev) {
        return;
    }
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return;
    ::unlinkat(directory, name, 0);
}

struct CloseDirectory {
    void operator()(DIR* directory) const { ::closedir(directory); }
};

// Once for each folder: what dies later while writing there is another process's.
void RemoveStaleTemporaries(const fs::path& directory) {
    static std::set<fs::path> cleaned;
    if (!cleaned.insert(directory).second)
        return;
    std::unique_ptr<DIR, CloseDirectory> listing(::opendir(directory.c_str()));
    if (!listing)
        return;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (IsTemporaryName(entry->d_name))
            RemoveIfStale(::dirfd(listing.get()), entry->d_name);
    }
}

}  // namespace

int WindowsErrorCode(int errnoValue) {
    switch (errnoValue) {
        case ENOENT:
        case ENOTDIR:
            return 3;  // ERROR_PATH_NOT_FOUND
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return 5;  // ERROR_ACCESS_DENIED
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return 112;  // ERROR_DISK_FULL
        case EMFILE:
        case ENFILE:
            return 4;  // ERROR_TOO_MANY_OPEN_FILES
        case ELOOP:
            return 1921;  // ERROR_CANT_RESOLVE_FILENAME
        default:
            return 29;  // ERROR_WRITE_FAULT
    }
}

FileStamp StampOf(const struct stat& status) {
    const auto nanoseconds = [](const timespec& time) {
        return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
    };
    return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
            static_cast<std::uint64_t>(status.st_size), nanoseconds(status.st_mtim),
            nanoseconds(status.st_ctim)};
}

std::uint32_t Attributes(const fs::path& file) {
    auto status = StatOf(file);
    return status ? Attributes(file, *status) : INVALID_FILE_ATTRIBUTES;
}

std::uint32_t Attributes(const fs::path& file, const struct stat& status) {
    std::uint32_t attributes = 0;
    if (S_ISDIR(status.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((status.st_mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (auto raw = RawDosAttribute(file))
        attributes |= ParseDosAttribute(*raw) & kKeptInXattr;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

bool SetAttributes(const fs::path& file, std::uint32_t attributes) {
    auto status = StatOf(file);
    if (!status || !(S_ISREG(status->st_mode) || S_ISDIR(status->st_mode)))
        return false;
    mode_t mode = status->st_mode & 07777;
    bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    mode_t wanted = readOnly ? mode & ~mode_t{0222} : mode | S_IWUSR;
    // Extended attributes of the user class need write permission (unless root).
    const bool opened = (mode & S_IWUSR) == 0;
    if (opened && ::chmod(file.c_str(), mode | S_IWUSR) != 0)
        return false;
    std::uint32_t stored = attributes & (kKeptInXattr | FILE_ATTRIBUTE_READONLY);
    if (S_ISDIR(status->st_mode))
        stored |= FILE_ATTRIBUTE_DIRECTORY;
    std::string text = DosAttributeText(stored);
    // File systems without extended attributes simply do not keep these flags.
    ::setxattr(file.c_str(), kDosAttributeName, text.data(), text.size(), 0);
    return (!opened && wanted == mode) || ::chmod(file.c_str(), wanted) == 0;
}

bool Replaceable(const fs::path& target) {
    const std::optional<Landing> landing = WriteTarget(target);
    auto status = landing ? landing->status : std::nullopt;
    if (!status || !S_ISREG(status->st_mode))
        return false;
    const fs::path& file = landing->file;
    // Clearing the read-only flag is a chmod: the owner's or root's to do.
    const bool mayClearReadOnly =
        (status->st_mode & S_IWUSR) != 0 || status->st_uid == ::geteuid() || ::geteuid() == 0;
    const fs::path directory = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    return mayClearReadOnly && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

ReadStream OpenReadStream(const fs::path& file, std::string_view shownName,
                          std::uintmax_t maxBytes) {
    struct stat status {};
    UniqueFd fd = OpenToRead(file, shownName, maxBytes, nullptr, status);
    ReadStream stream;
    stream.file.reset(::fdopen(fd.Get(), "rb"));
    stream.size = static_cast<std::uintmax_t>(status.st_size);
    if (!stream.file)
        throw CannotOpen(shownName);
    fd.Release();
    return stream;
}

std::string ReadWhole(const fs::path& file, std::string_view shownName, std::uintmax_t maxBytes,
                      const struct stat* known) {
    struct stat status {};
    const UniqueFd fd = OpenToRead(file, shownName, maxBytes, known, status);
    // A byte more than the size, so that a file read whole takes one read and the end.
    std::string contents(static_cast<std::size_t>(status.st_size) + 1, '\0');
    std::size_t length = 0;
    for (;;) {
        if (length == contents.size()) {
            // A file that grows while it is read.
            if (length > maxBytes)
                throw FileTooLarge(shownName, maxBytes);
            contents.resize(static_cast<std::size_t>(
                std::min<std::uintmax_t>(contents.size() * 2, maxBytes + 1)));
        }
        const ssize_t count = ::read(fd.Get(), contents.data() + length, contents.size() - length);
        if (count == 0)
            break;
        if (count < 0 && errno != EINTR)
            throw EReadError("Stream read error");  // also a read that would wait (EAGAIN)
        length += static_cast<std::size_t>(std::max<ssize_t>(count, 0));
    }
    contents.resize(length);
    return contents;
}

std::string ReadPart(const fs::path& file, std::string_view shownName, std::uintmax_t maxBytes,
                     std::uintmax_t offset, std::size_t size, const struct stat* known) {
    struct stat status {};
    const UniqueFd fd = OpenToRead(file, shownName, maxBytes, known, status);
    std::string part(size, '\0');
    const long long count = ReadAt(fd.Get(), part.data(), size, offset);
    if (count < 0)
        throw EReadError("Stream read error");
    part.resize(static_cast<std::size_t>(count));
    return part;
}

namespace {

// Copies to the end of `in`, inside the kernel where the file systems let it; a file that grows
// past maxBytes meanwhile is refused as ReadWhole refuses it.
void CopyAll(int in, int out, std::string_view shownName, std::uintmax_t maxBytes) {
    std::uintmax_t copied = 0;
    bool inKernel = true;
    std::string buffer;
    for (;;) {
        const auto chunk =
            static_cast<std::size_t>(std::min<std::uintmax_t>(maxBytes + 1 - copied, 1 << 20));
        ssize_t count = 0;
        if (inKernel) {
            count = ::copy_file_range(in, nullptr, out, nullptr, chunk, 0);
            if (count < 0 &&
                (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
                inKernel = false;
                continue;
            }
        } else {
            buffer.resize(std::min<std::size_t>(chunk, 64 * 1024));
            count = ::read(in, buffer.data(), buffer.size());
            if (count > 0)
                WriteAll(out, std::string_view(buffer.data(), std::size_t(count)));
        }
        if (count == 0)
            return;
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            ThrowInOut(errno);
        copied += std::uintmax_t(count);
        if (copied > maxBytes)
            throw FileTooLarge(shownName, maxBytes);
    }
}

// Replaces the file by one that fill writes, by the rules of ReplaceAtomically.
template <typename Fill>
void Replace(const fs::path& target, std::string_view shownName, Fill&& fill,
             std::optional<std::uint32_t> attributes) {
    auto cannotCreate = [&](int errnoValue) {
        return EFCreateError("Cannot create file \"" + std::string(shownName) + "\"",
                             WindowsErrorCode(errnoValue));
    };
    const std::optional<Landing> landing = WriteTarget(target);
    if (!landing)
        throw cannotCreate(ELOOP);
    const fs::path& file = landing->file;
    if (const auto& old = landing->status;
        old && (!S_ISREG(old->st_mode) || (old->st_mode & S_IWUSR) == 0)) {
        throw cannotCreate(EACCES);
    }
    fs::path directory = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    RemoveStaleTemporaries(directory);
    std::string temporary =
        (directory / (std::string(kTemporaryPrefix) + std::string(kTemporaryRandomLength, 'X')))
            .string();
    UniqueFd fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!fd.Valid())
        throw cannotCreate(errno);
    // Held until the rename: see RemoveIfStale.
    ::flock(fd.Get(), LOCK_EX);
    try {
        fill(fd.Get());
        CarryOverAttributes(fd.Get(), file, landing->status, attributes);
        if (::fsync(fd.Get()) != 0)
            ThrowInOut(errno);
        if (::rename(temporary.c_str(), file.c_str()) != 0)
            ThrowInOut(errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    fd = UniqueFd();
    SyncFolder(directory);
}

}  // namespace

void ReplaceAtomically(const fs::path& target, std::string_view shownName,
                       std::string_view contents, std::optional<std::uint32_t> attributes) {
    Replace(
        target, shownName, [&](int fd) { WriteAll(fd, contents); }, attributes);
}

void CopyAtomically(const fs::path& source, std::string_view shownSource, std::uintmax_t maxBytes,
                    const struct stat* sourceStatus, const fs::path& target,
                    std::string_view shownTarget, std::uint32_t attributes) {
    struct stat status {};
    const UniqueFd from = OpenToRead(source, shownSource, maxBytes, sourceStatus, status);
    Replace(
        target, shownTarget, [&](int fd) { CopyAll(from.Get(), fd, shownSource, maxBytes); },
        attributes);
}

}  // namespace platform::host
