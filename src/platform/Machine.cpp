#include "platform/Machine.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <system_error>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/HostFile.h"
#include "platform/PosixFile.h"
#include "platform/Process.h"
#include "platform/drives/FolderDrive.h"
#include "platform/drives/ImageDrive.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMsdosSys =
    "[Paths]\r\n"
    "WinDir=C:\\WINDOWS\r\n"
    "WinBootDir=C:\\WINDOWS\r\n"
    "HostWinBootDrv=C\r\n"
    "\r\n"
    "[Options]\r\n"
    "BootGUI=1\r\n";

constexpr std::string_view kRegistry =
    "REGEDIT4\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
    "\r\n";

std::optional<char> DriveLetterOf(const fs::path& entry) {
    std::string name = entry.filename().string();
    if (name.size() != 2 || name[1] != ':' || !std::isalpha(static_cast<unsigned char>(name[0]))) {
        return std::nullopt;
    }
    return static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
}

void WriteNewFile(const fs::path& file, std::string_view contents) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(file, error)))
        return;
    try {
        host::ReplaceAtomically(file, file.string(), contents);
    } catch (const Exception&) {
        // A machine that can't be set up shows its failures in the operations on it.
    }
}

void MakeLink(const fs::path& target, const fs::path& link) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(link, error)))
        return;
    fs::create_directory_symlink(target, link, error);
}

void CopySeed(const fs::path& seedDirectory, const fs::path& driveC) {
    std::error_code error;
    if (seedDirectory.empty() || !fs::is_directory(seedDirectory, error))
        return;
    for (fs::recursive_directory_iterator it(seedDirectory, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code ignored;
        if (!it->is_regular_file(ignored))
            continue;
        fs::path target = driveC / fs::relative(it->path(), seedDirectory, ignored);
        fs::create_directories(target.parent_path(), ignored);
        try {
            WriteNewFile(target,
                         host::ReadWhole(it->path(), it->path().string(), kMaxLogoFileBytes));
        } catch (const Exception&) {
            // A seed that can't be read leaves the new machine without that file.
        }
    }
}

void CreateMachine(const fs::path& root, const fs::path& seedDirectory) {
    std::error_code error;
    fs::path driveC = root / "drive_c";
    fs::create_directories(driveC / "WINDOWS" / "SYSTEM", error);
    fs::create_directories(root / "dosdevices", error);
    WriteNewFile(driveC / "MSDOS.SYS", kMsdosSys);
    MakeLink("../drive_c", root / "dosdevices" / "c:");
    MakeLink("/", root / "dosdevices" / "z:");
    WriteNewFile(root / "registry.reg", kRegistry);
    CopySeed(seedDirectory, driveC);
}

bool IsRegularFile(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// The number of an image's partition in the name below the image's path ("win98.img/2").
std::optional<int> PartitionNumber(const fs::path& name) {
    const std::string text = name.string();
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || text.size() > 3 || !std::all_of(text.begin(), text.end(), digit))
        return std::nullopt;
    const int number = std::stoi(text);
    return number > 0 ? std::optional(number) : std::nullopt;
}

// What a drive's link leads to; an entry that is no link (a folder put there by hand) is
// its own target.
DriveTarget TargetOf(const fs::path& link) {
    std::error_code error;
    fs::path target = fs::read_symlink(link, error);
    if (error)
        target = link;
    else if (target.is_relative())
        target = link.parent_path() / target;
    target = fs::absolute(target, error).lexically_normal();
    if (IsRegularFile(target))
        return {DriveTarget::Kind::Image, target, 0};
    if (auto number = PartitionNumber(target.filename());
        number && IsRegularFile(target.parent_path()))
        return {DriveTarget::Kind::Image, target.parent_path(), *number};
    return {DriveTarget::Kind::Folder, target, 0};
}

// The text of a link that leads to a target.
std::string LinkText(const DriveTarget& target) {
    if (target.kind == DriveTarget::Kind::Image && target.partition > 0)
        return (target.path / std::to_string(target.partition)).string();
    return target.path.string();
}

char Upper(char letter) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

char Lower(char letter) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
}

bool IsDriveLetter(char letter) {
    const char upper = Upper(letter);
    return upper >= 'A' && upper <= 'Z';
}

// Whether two directory entries are one, links not followed.
bool SameEntry(const fs::path& a, const fs::path& b) {
    struct stat first {};
    struct stat second {};
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

[[noreturn]] void ThrowLinkError(const std::error_code& error) {
    throw drives::InOutError(host::WindowsErrorCode(error.value()));
}

// The path as an absolute, canonical one, resolved as far as it exists.
fs::path Canonical(const fs::path& path) {
    if (auto resolved = ResolvedPath(path))
        return *resolved;
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(fs::absolute(path, error), error);
    return error ? fs::absolute(path, error).lexically_normal() : canonical;
}

// The link's target as an absolute, canonical path, resolved as far as it exists.
fs::path LinkTarget(const fs::path& link) {
    if (auto resolved = ResolvedPath(link))
        return *resolved;
    std::error_code error;
    fs::path target = fs::read_symlink(link, error);
    if (error)
        return fs::weakly_canonical(link, error);
    if (target.is_relative())
        target = link.parent_path() / target;
    auto canonical = fs::weakly_canonical(target, error);
    return error ? target.lexically_normal() : canonical;
}

// Number of components of prefix when it is a leading part of path, else nullopt.
std::optional<std::size_t> PrefixLength(const fs::path& prefix, const fs::path& path) {
    auto [prefixEnd, pathAt] =
        std::mismatch(prefix.begin(), prefix.end(), path.begin(), path.end());
    if (prefixEnd != prefix.end()) {
        // A prefix spelled with a final separator ends in an empty component.
        if (std::next(prefixEnd) != prefix.end() || !prefixEnd->empty())
            return std::nullopt;
    }
    return static_cast<std::size_t>(std::distance(prefix.begin(), prefixEnd));
}

std::string WindowsPathBelow(char letter, const fs::path& prefix, const fs::path& path) {
    std::string result{letter, ':', '\\'};
    auto it = path.begin();
    for (auto part = prefix.begin(); part != prefix.end() && it != path.end(); ++part) {
        if (!part->empty())
            ++it;
    }
    bool first = true;
    for (; it != path.end(); ++it) {
        std::string part = it->string();
        if (part.empty() || part == "/")
            continue;
        if (!first)
            result += '\\';
        result += part;
        first = false;
    }
    return result;
}

std::optional<Machine>& MachineInUse() {
    static std::optional<Machine> machine;
    return machine;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

// The drive behind each letter, made again only when its link comes to lead elsewhere: a
// folder drive keeps its index of names, and an image is opened afresh by every operation
// anyway. The links themselves are looked at again only when the dosdevices folder has
// changed (a link made, replaced or removed there changes its time), so that a file
// operation costs no look at them.
class Machine::MountedDrives {
public:
    struct Mounted {
        fs::path link;
        DriveTarget target;
        std::unique_ptr<drives::Drive> drive;
        drives::FolderDrive* folder = nullptr;  // the same drive, where it is a folder
    };

    // Nothing when the letter is not mapped.
    Mounted* For(const Machine& machine, char letter) {
        Refresh(machine);
        auto known = checked_.find(letter);
        if (known == checked_.end()) {
            const auto link = machine.Link(letter);
            known = checked_.emplace(letter, link ? &Mount(letter, *link) : nullptr).first;
        }
        return known->second;
    }

    const std::vector<HostPrefix>& HostPrefixes(const Machine& machine) {
        Refresh(machine);
        if (!prefixes_)
            prefixes_ = machine.FindHostPrefixes();
        return *prefixes_;
    }

private:
    // Forgets the links when the dosdevices folder has changed. The folder is asked through a
    // descriptor held open, which costs no walk down its path; a folder renamed or removed
    // shows in its change time or its link count, and the path is opened again.
    void Refresh(const Machine& machine) {
        struct stat folder {};
        if (!devices_.Valid() || ::fstat(devices_.Get(), &folder) != 0 || folder.st_nlink == 0 ||
            !SameTime(folder.st_mtim, checkedAt_) || !SameTime(folder.st_ctim, changedAt_) ||
            !SettledTime(checkedAt_)) {
            checked_.clear();
            prefixes_.reset();
            devices_ =
                UniqueFd(::open(machine.DosDevices().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!devices_.Valid() || ::fstat(devices_.Get(), &folder) != 0)
                folder = {};
            checkedAt_ = folder.st_mtim;
            changedAt_ = folder.st_ctim;
        }
    }

    Mounted& Mount(char letter, const fs::path& link) {
        const DriveTarget target = TargetOf(link);
        Mounted& mounted = drives_[letter];
        if (mounted.drive && mounted.link == link && mounted.target == target)
            return mounted;
        mounted.link = link;
        mounted.target = target;
        if (target.kind == DriveTarget::Kind::Image) {
            mounted.drive = std::make_unique<drives::ImageDrive>(target.path, target.partition);
            mounted.folder = nullptr;
        } else {
            auto folder = std::make_unique<drives::FolderDrive>(link);
            mounted.folder = folder.get();
            mounted.drive = std::move(folder);
        }
        return mounted;
    }

    std::map<char, Mounted> drives_;
    // The letters looked up since the dosdevices folder got its time checkedAt_.
    std::map<char, Mounted*> checked_;
    std::optional<std::vector<HostPrefix>> prefixes_;
    UniqueFd devices_;
    timespec checkedAt_{};
    timespec changedAt_{};
};

Machine::Machine(fs::path root)
    : root_(std::move(root)), mounted_(std::make_unique<MountedDrives>()) {}
Machine::Machine(Machine&&) noexcept = default;
Machine& Machine::operator=(Machine&&) noexcept = default;
Machine::~Machine() = default;

Machine Machine::Open(const fs::path& root, const fs::path& seedDirectory) {
    std::error_code error;
    if (!fs::exists(root / "dosdevices", error))
        CreateMachine(root, seedDirectory);
    return Machine(fs::absolute(root, error));
}

std::vector<char> Machine::Drives() const {
    std::vector<char> drives;
    std::error_code error;
    for (fs::directory_iterator it(DosDevices(), error), end; !error && it != end;
         it.increment(error)) {
        auto letter = DriveLetterOf(it->path());
        if (letter && std::find(drives.begin(), drives.end(), *letter) == drives.end()) {
            drives.push_back(*letter);
        }
    }
    std::sort(drives.begin(), drives.end());
    return drives;
}

std::optional<fs::path> Machine::Link(char letter) const {
    if (!IsDriveLetter(letter))
        return std::nullopt;
    std::error_code error;
    for (char spelling : {Lower(letter), Upper(letter)}) {
        fs::path link = DosDevices() / std::string{spelling, ':'};
        if (fs::exists(fs::symlink_status(link, error)))
            return link;
    }
    return std::nullopt;
}

std::optional<DriveTarget> Machine::Target(char letter) const {
    auto link = Link(letter);
    return link ? std::optional(TargetOf(*link)) : std::nullopt;
}

void Machine::MapDrive(char letter, const DriveTarget& target) {
    if (!IsDriveLetter(letter))
        throw drives::InOutError(drives::kInvalidName);
    const std::string name{Lower(letter), ':'};
    const fs::path link = DosDevices() / name;
    const fs::path temporary = DosDevices() / (".new-" + name);
    std::error_code error;
    fs::create_directories(DosDevices(), error);
    fs::remove(temporary, error);
    fs::create_symlink(LinkText(target), temporary, error);
    if (!error)
        fs::rename(temporary, link, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        ThrowLinkError(error);
    }
    // The upper-case spelling would hide the new link.
    const fs::path other = DosDevices() / std::string{Upper(letter), ':'};
    if (fs::is_symlink(fs::symlink_status(other, error)) && !SameEntry(other, link))
        fs::remove(other, error);
}

void Machine::UnmapDrive(char letter) {
    while (auto link = Link(letter)) {
        std::error_code error;
        // Only links: a folder somebody put there by hand holds files.
        if (!fs::is_symlink(fs::symlink_status(*link, error)))
            throw drives::InOutError(drives::kAccessDenied);
        if (!fs::remove(*link, error))
            ThrowLinkError(error);
    }
}

drives::Drive* Machine::DriveOf(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':')
        return nullptr;
    auto* mounted = mounted_->For(*this, Upper(windowsPath[0]));
    return mounted ? mounted->drive.get() : nullptr;
}

std::optional<fs::path> Machine::DriveRoot(char letter) const {
    auto link = Link(letter);
    if (!link || TargetOf(*link).kind != DriveTarget::Kind::Folder)
        return std::nullopt;
    return link;
}

std::optional<fs::path> Machine::ToHost(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':')
        return std::nullopt;
    auto* mounted = mounted_->For(*this, Upper(windowsPath[0]));
    return mounted && mounted->folder ? mounted->folder->HostPath(windowsPath) : std::nullopt;
}

// The host paths each folder drive holds: where its link leads, and the link itself (a
// dangling link still maps the paths that run through it).
std::vector<Machine::HostPrefix> Machine::FindHostPrefixes() const {
    std::vector<HostPrefix> prefixes;
    const fs::path devices = Canonical(DosDevices());
    for (char letter : Drives()) {
        if (auto link = DriveRoot(letter)) {
            prefixes.push_back({letter, LinkTarget(*link)});
            prefixes.push_back({letter, devices / link->filename()});
        }
    }
    return prefixes;
}

std::string Machine::ToWindows(const fs::path& hostPath) const {
    const fs::path path = Canonical(hostPath);
    const HostPrefix* best = nullptr;
    std::size_t bestLength = 0;
    for (const HostPrefix& prefix : mounted_->HostPrefixes(*this)) {
        auto length = PrefixLength(prefix.path, path);
        if (length && (!best || *length > bestLength)) {
            best = &prefix;
            bestLength = *length;
        }
    }
    if (!best)
        return WindowsPathBelow('Z', "/", path);
    return WindowsPathBelow(best->letter, best->path, path);
}

fs::path DefaultMachineRoot() {
    std::string chosen = Environment("BOOTRAMA_MACHINE");
    if (!chosen.empty())
        return chosen;
    return UserDataHome() / "bootrama" / "machine";
}

Machine& CurrentMachine() {
    auto& machine = MachineInUse();
    if (!machine)
        machine = Machine::Open(DefaultMachineRoot());
    return *machine;
}

void UseMachine(const fs::path& root, const fs::path& seedDirectory) {
    MachineInUse() = Machine::Open(root, seedDirectory);
}

bool HasWindowsSpelling(const fs::path& hostPath) {
    const std::string text = hostPath.string();
    return std::none_of(text.begin(), text.end(),
                        [](char c) { return c == '\\' || static_cast<unsigned char>(c) < 0x20; });
}

}  // namespace platform
