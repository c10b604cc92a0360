#include "platform/HostFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "platform/Errors.h"
#include "platform/FileAttributes.h"

namespace platform::host {

namespace {

namespace fs = std::filesystem;

// Samba's name and text form ("0x22"), so a share of the same folder sees the same flags.
constexpr const char* kDosAttributeName = "user.DOSATTRIB";
constexpr std::uint32_t kKeptInXattr =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

std::optional<struct stat> StatOf(const fs::path& file) {
    struct stat status {};
    if (::stat(file.c_str(), &status) != 0)
        return std::nullopt;
    return status;
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

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Close() {
        if (fd_ < 0)
            return 0;
        int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// Messages show the code Windows would report for the failure.
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
        default:
            return 29;  // ERROR_WRITE_FAULT
    }
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

// The temporary file gets what the replaced file (or the copied source) had.
void CarryOverAttributes(int fd, const fs::path& attributesFrom, const fs::path& replaced) {
    auto source = StatOf(attributesFrom);
    mode_t mode = source ? source->st_mode & 07777 : DefaultFileMode();
    if (auto old = StatOf(replaced)) {
        // Only root can give a file away; for anybody else this fails harmlessly.
        [[maybe_unused]] int ignored = ::fchown(fd, old->st_uid, old->st_gid);
    }
    if (auto raw = RawDosAttribute(attributesFrom)) {
        ::fsetxattr(fd, kDosAttributeName, raw->data(), raw->size(), 0);
    }
    if (::fchmod(fd, mode) != 0)
        ThrowInOut(errno);
}

void SyncDirectory(const fs::path& directory) {
    FileDescriptor fd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        ::fsync(fd.Get());
}

fs::path FollowLink(const fs::path& file) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(file, error)))
        return file;
    auto target = fs::weakly_canonical(file, error);
    return error ? file : target;
}

}  // namespace

std::uint32_t Attributes(const fs::path& file) {
    auto status = StatOf(file);
    if (!status)
        return INVALID_FILE_ATTRIBUTES;
    std::uint32_t attributes = 0;
    if (S_ISDIR(status->st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((status->st_mode & S_IWUSR) == 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (auto raw = RawDosAttribute(file))
        attributes |= ParseDosAttribute(*raw) & kKeptInXattr;
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

bool SetAttributes(const fs::path& file, std::uint32_t attributes) {
    auto status = StatOf(file);
    if (!status)
        return false;
    mode_t mode = status->st_mode & 07777;
    bool readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    mode_t wanted = readOnly ? mode & ~mode_t{0222} : mode | S_IWUSR;
    // Extended attributes of the user class need write permission (unless root).
    if ((mode & S_IWUSR) == 0 && ::chmod(file.c_str(), mode | S_IWUSR) != 0)
        return false;
    std::uint32_t stored = attributes & (kKeptInXattr | FILE_ATTRIBUTE_READONLY);
    if (S_ISDIR(status->st_mode))
        stored |= FILE_ATTRIBUTE_DIRECTORY;
    std::string text = DosAttributeText(stored);
    // File systems without extended attributes simply do not keep these flags.
    ::setxattr(file.c_str(), kDosAttributeName, text.data(), text.size(), 0);
    return ::chmod(file.c_str(), wanted) == 0;
}

std::string ReadWhole(const fs::path& file, std::string_view shownName, std::uintmax_t maxBytes) {
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (!fd.Valid() || ::fstat(fd.Get(), &status) != 0 || S_ISDIR(status.st_mode)) {
        throw EFOpenError("Cannot open file \"" + std::string(shownName) + "\"");
    }
    if (static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        throw EOutOfMemory("Out of memory");
    std::string contents;
    contents.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    for (;;) {
        ssize_t count = ::read(fd.Get(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw EReadError("Stream read error");
        if (count == 0)
            break;
        if (contents.size() + static_cast<std::size_t>(count) > maxBytes) {
            throw EOutOfMemory("Out of memory");
        }
        contents.append(buffer, static_cast<std::size_t>(count));
    }
    return contents;
}

void ReplaceAtomically(const fs::path& target, std::string_view shownName,
                       std::string_view contents, const fs::path& attributesFrom) {
    const fs::path file = FollowLink(target);
    auto cannotCreate = [&](int errnoValue) {
        return EFCreateError("Cannot create file \"" + std::string(shownName) + "\"",
                             WindowsErrorCode(errnoValue));
    };
    if (auto old = StatOf(file); old && (S_ISDIR(old->st_mode) || (old->st_mode & S_IWUSR) == 0)) {
        throw cannotCreate(EACCES);
    }
    fs::path directory = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::string temporary = (directory / ".bootrama-XXXXXX").string();
    FileDescriptor fd(::mkstemp(temporary.data()));
    if (!fd.Valid())
        throw cannotCreate(errno);
    try {
        WriteAll(fd.Get(), contents);
        CarryOverAttributes(fd.Get(), attributesFrom.empty() ? file : attributesFrom, file);
        if (::fsync(fd.Get()) != 0)
            ThrowInOut(errno);
        if (fd.Close() != 0)
            ThrowInOut(errno);
        if (::rename(temporary.c_str(), file.c_str()) != 0)
            ThrowInOut(errno);
    } catch (...) {
        fd.Close();
        ::unlink(temporary.c_str());
        throw;
    }
    SyncDirectory(directory);
}

}  // namespace platform::host
