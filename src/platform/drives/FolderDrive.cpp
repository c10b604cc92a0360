#include "platform/drives/FolderDrive.h"

#include <sys/stat.h>

#include <chrono>
#include <system_error>
#include <unordered_map>

#include "platform/Errors.h"
#include "platform/HostFile.h"
#include "platform/PosixFile.h"
#include "platform/Text.h"
#include "platform/drives/WindowsPath.h"

namespace platform::drives {

namespace {

namespace fs = std::filesystem;

bool IsFolder(const fs::path& file) {
    auto status = StatOf(file);
    return status && S_ISDIR(status->st_mode);
}

Entry EntryOf(std::string name, const fs::path& file, const struct stat& status) {
    Entry entry;
    entry.name = std::move(name);
    entry.attributes = host::Attributes(file, status);
    entry.size = S_ISREG(status.st_mode) ? static_cast<std::uint64_t>(status.st_size) : 0;
    entry.modified = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds(status.st_mtim.tv_sec) +
            std::chrono::nanoseconds(status.st_mtim.tv_nsec)));
    entry.id = {static_cast<std::uint64_t>(status.st_dev),
                static_cast<std::uint64_t>(status.st_ino), 0};
    return entry;
}

}  // namespace

// Names of a folder by their SameTextKey, the first entry of each key in listing order.
// A long list of names that are not there (a logo list after a disk was cleaned up)
// would otherwise read the whole folder for every name. The index is used only while the
// folder's modification time is what it was when the index was made, and only when that
// time had settled before the listing.
class FolderDrive::FolderIndex {
public:
    std::optional<std::string> Find(const fs::path& directory, const std::string& name) {
        auto status = StatOf(directory);
        if (!status || !S_ISDIR(status->st_mode))
            return std::nullopt;
        const std::string key = directory.string();
        auto cached = folders_.find(key);
        if (cached == folders_.end() || !SameTime(cached->second.modified, status->st_mtim)) {
            if (folders_.size() >= kMaxFolders)
                folders_.clear();
            cached = folders_.insert_or_assign(key, List(directory, status->st_mtim)).first;
        }
        Folder& folder = cached->second;
        std::optional<std::string> found;
        if (auto entry = folder.names.find(SameTextKey(name)); entry != folder.names.end())
            found = entry->second;
        if (!folder.stable)
            folders_.erase(cached);
        return found;
    }

private:
    struct Folder {
        timespec modified{};
        bool stable = false;
        std::unordered_map<std::string, std::string> names;
    };
    static constexpr std::size_t kMaxFolders = 16;

    static Folder List(const fs::path& directory, const timespec& modified) {
        Folder folder;
        folder.modified = modified;
        folder.stable = SettledTime(modified);
        std::error_code error;
        for (fs::directory_iterator it(directory, error), end; !error && it != end;
             it.increment(error)) {
            std::string entry = it->path().filename().string();
            folder.names.emplace(SameTextKey(entry), entry);
        }
        return folder;
    }

    std::unordered_map<std::string, Folder> folders_;
};

// Small files read again and again (the settings, MSDOS.SYS) answer from memory while
// their status is what it was: the same file, size and times, where the change time had
// settled when the file was read, so that any later change shows in it.
class FolderDrive::KeptFiles {
public:
    const std::string* Find(const fs::path& file, const struct stat& status) const {
        auto kept = files_.find(file.native());
        return kept != files_.end() && kept->second.stamp == host::StampOf(status)
                   ? &kept->second.contents
                   : nullptr;
    }

    void Keep(const fs::path& file, const struct stat& status, const std::string& contents) {
        if (contents.size() > kMaxBytes || !SettledTime(status.st_ctim))
            return;
        if (files_.size() >= kMaxFiles)
            files_.clear();
        files_.insert_or_assign(file.native(), Kept{host::StampOf(status), contents});
    }

private:
    struct Kept {
        FileStamp stamp;
        std::string contents;
    };
    static constexpr std::size_t kMaxBytes = 64 * 1024;
    static constexpr std::size_t kMaxFiles = 16;

    std::unordered_map<std::string, Kept> files_;
};

FolderDrive::FolderDrive(fs::path root)
    : root_(std::move(root)),
      index_(std::make_unique<FolderIndex>()),
      kept_(std::make_unique<KeptFiles>()) {}

FolderDrive::~FolderDrive() = default;

std::optional<fs::path> FolderDrive::HostPath(std::string_view path) {
    auto located = Locate(path);
    return located ? std::optional(std::move(located->host)) : std::nullopt;
}

std::optional<FolderDrive::Located> FolderDrive::Locate(std::string_view path) {
    if (path.find('\0') != std::string_view::npos)
        return std::nullopt;
    const auto components = PathComponents(BelowDrive(path));
    // Spelled as on the host, which is nearly always so, one look finds it.
    fs::path exact = root_;
    for (const auto& component : components) exact /= component;
    if (auto status = StatOf(exact))
        return Located{std::move(exact), status};
    fs::path host = root_;
    bool found = true;
    for (const auto& component : components) {
        std::error_code error;
        if (found && fs::exists(fs::symlink_status(host / component, error))) {
            host /= component;
            continue;
        }
        auto entry = found ? index_->Find(host, component) : std::nullopt;
        found = entry.has_value();
        host /= found ? *entry : component;
    }
    return Located{std::move(host), std::nullopt};
}

std::optional<struct stat> FolderDrive::Located::Status() const {
    return status ? status : StatOf(host);
}

// The host path of something that must be there; EInOutError with missingCode if not.
fs::path FolderDrive::Existing(std::string_view path, int missingCode) {
    auto located = Locate(path);
    if (!located || (!located->status && !LinkStatOf(located->host)))
        throw InOutError(missingCode);
    return std::move(located->host);
}

std::optional<Entry> FolderDrive::Find(std::string_view path) {
    auto located = Locate(path);
    auto status = located ? located->Status() : std::nullopt;
    if (!status)
        return std::nullopt;
    const auto names = PathComponents(BelowDrive(path));
    return EntryOf(names.empty() ? std::string() : located->host.filename().string(), located->host,
                   *status);
}

std::optional<EntryKind> FolderDrive::KindOf(std::string_view path) {
    auto located = Locate(path);
    auto status = located ? located->Status() : std::nullopt;
    if (!status)
        return std::nullopt;
    return S_ISDIR(status->st_mode) ? EntryKind::Folder : EntryKind::File;
}

std::vector<Entry> FolderDrive::List(std::string_view folder) {
    std::vector<Entry> entries;
    auto host = HostPath(folder);
    if (!host)
        return entries;
    std::error_code error;
    for (fs::directory_iterator it(*host, error), end; !error && it != end; it.increment(error)) {
        std::string name = it->path().filename().string();
        if (auto status = StatOf(it->path())) {
            entries.push_back(EntryOf(std::move(name), it->path(), *status));
        } else {
            // A link that leads nowhere is listed as Windows lists a file it can't open.
            Entry unreachable;
            unreachable.name = std::move(name);
            unreachable.attributes = INVALID_FILE_ATTRIBUTES;
            entries.push_back(std::move(unreachable));
        }
    }
    return entries;
}

std::string FolderDrive::ReadFile(std::string_view path, std::uintmax_t maxBytes) {
    auto located = Locate(path);
    if (!located)
        throw CannotOpen(path);
    return host::ReadWhole(located->host, path, maxBytes, located->Known());
}

std::string FolderDrive::ReadFilePart(std::string_view path, std::uintmax_t offset,
                                      std::size_t size, std::uintmax_t maxBytes) {
    auto located = Locate(path);
    if (!located)
        throw CannotOpen(path);
    return host::ReadPart(located->host, path, maxBytes, offset, size, located->Known());
}

std::optional<std::string> FolderDrive::ReadFileIfExists(std::string_view path,
                                                         std::uintmax_t maxBytes) {
    auto located = Locate(path);
    auto status = located ? located->Status() : std::nullopt;
    if (!status || S_ISDIR(status->st_mode))
        return std::nullopt;
    const fs::path& host = located->host;
    if (const std::string* kept = kept_->Find(host, *status); kept && kept->size() <= maxBytes)
        return *kept;
    std::string contents = host::ReadWhole(host, path, maxBytes, &*status);
    kept_->Keep(host, *status, contents);
    return contents;
}

ReadStream FolderDrive::OpenReadStream(std::string_view path, std::uintmax_t maxBytes) {
    auto host = HostPath(path);
    if (!host)
        throw CannotOpen(path);
    return host::OpenReadStream(*host, path, maxBytes);
}

fs::path FolderDrive::PathToWrite(std::string_view path) {
    auto host = HostPath(path);
    if (!host)
        throw EFCreateError("Cannot create file \"" + std::string(path) + "\"", kInvalidName);
    return std::move(*host);
}

void FolderDrive::WriteFile(std::string_view path, std::string_view contents,
                            std::optional<std::uint32_t> attributes) {
    host::ReplaceAtomically(PathToWrite(path), path, contents, attributes);
}

// From folder to folder the data need not pass through the program.
void FolderDrive::WriteCopy(std::string_view path, Drive& from, std::string_view source,
                            std::uintmax_t maxBytes, std::uint32_t attributes) {
    auto* folder = dynamic_cast<FolderDrive*>(&from);
    if (!folder)
        return Drive::WriteCopy(path, from, source, maxBytes, attributes);
    auto located = folder->Locate(source);
    if (!located)
        throw CannotOpen(source);
    host::CopyAtomically(located->host, source, maxBytes, located->Known(), PathToWrite(path), path,
                         attributes);
}

void FolderDrive::SetAttributes(std::string_view path, std::uint32_t attributes) {
    const fs::path host = Existing(path, kFileNotFound);
    if (!host::SetAttributes(host, attributes))
        throw InOutError(kAccessDenied);
}

// A link goes itself, harmless to what it points at; a device, FIFO, socket or folder stays,
// and so does a read-only file, as on Windows.
void FolderDrive::DeleteFile(std::string_view path) {
    const fs::path host = Existing(path, kFileNotFound);
    std::error_code error;
    const auto kind = fs::symlink_status(host, error).type();
    if ((kind != fs::file_type::regular && kind != fs::file_type::symlink) || IsFolder(host))
        throw InOutError(kAccessDenied);
    const std::uint32_t attributes = host::Attributes(host);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        throw InOutError(kAccessDenied);
    if (!fs::remove(host, error))
        throw InOutError(error ? host::WindowsErrorCode(error.value()) : kFileNotFound);
}

void FolderDrive::Rename(std::string_view from, std::string_view to) {
    const fs::path source = Existing(from, kFileNotFound);
    auto target = HostPath(to);
    const auto names = PathComponents(BelowDrive(to));
    if (!target)
        throw InOutError(kInvalidName);
    if (names.empty())
        throw InOutError(kAccessDenied);
    if (!IsFolder(target->parent_path()))
        throw InOutError(kPathNotFound);
    std::error_code error;
    // Another spelling of the same name renames the file to that spelling.
    const fs::path destination = target->parent_path() / names.back();
    if (fs::exists(fs::symlink_status(*target, error)) && !fs::equivalent(source, *target, error))
        throw InOutError(kAlreadyExists);
    fs::rename(source, destination, error);
    if (error)
        throw InOutError(host::WindowsErrorCode(error.value()));
}

void FolderDrive::CreateFolder(std::string_view path) {
    auto host = HostPath(path);
    if (!host)
        throw InOutError(kInvalidName);
    std::error_code error;
    if (fs::exists(fs::symlink_status(*host, error)))
        throw InOutError(kAlreadyExists);
    if (!IsFolder(host->parent_path()))
        throw InOutError(kPathNotFound);
    fs::create_directory(*host, error);
    if (error)
        throw InOutError(host::WindowsErrorCode(error.value()));
}

std::optional<FileStamp> FolderDrive::SettledStamp(std::string_view path) {
    auto located = Locate(path);
    auto status = located ? located->Status() : std::nullopt;
    if (!status || !S_ISREG(status->st_mode) || !SettledTime(status->st_ctim))
        return std::nullopt;
    return host::StampOf(*status);
}

bool FolderDrive::Replaceable(std::string_view path) {
    auto host = HostPath(path);
    return host && host::Replaceable(*host);
}

}  // namespace platform::drives
