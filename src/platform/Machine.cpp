#include "platform/Machine.h"

#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>
#include <system_error>
#include <unordered_map>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/HostFile.h"
#include "platform/Text.h"
#include "platform/drives/WindowsPath.h"

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

// Names of a folder by their SameTextKey, the first entry of each key in listing order.
// A long list of names that are not there (a logo list after a disk was cleaned up)
// would otherwise read the whole folder for every name. The index is used only while the
// folder's modification time is what it was when the index was made, and only when that
// time lay well before the listing: a change after the listing then always shows in the
// time, however coarse the file system's clock.
class FolderIndex {
public:
    std::optional<std::string> Find(const fs::path& directory, const std::string& name) {
        struct stat info {};
        if (::stat(directory.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
            return std::nullopt;
        const std::string key = directory.string();
        auto cached = folders_.find(key);
        if (cached == folders_.end() || !SameTime(cached->second.modified, info.st_mtim)) {
            if (folders_.size() >= kMaxFolders)
                folders_.clear();
            cached = folders_.insert_or_assign(key, List(directory, info.st_mtim)).first;
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

    static bool SameTime(const timespec& a, const timespec& b) {
        return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
    }

    static Folder List(const fs::path& directory, const timespec& modified) {
        Folder folder;
        folder.modified = modified;
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        folder.stable = now.tv_sec - modified.tv_sec >= 2;
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

// The exact name if it is there, else the first entry equal without regard to case.
std::optional<fs::path> MatchingEntry(const fs::path& directory, const std::string& name) {
    std::error_code error;
    if (fs::exists(fs::symlink_status(directory / name, error)))
        return directory / name;
    static FolderIndex index;
    if (auto entry = index.Find(directory, name))
        return directory / *entry;
    return std::nullopt;
}

// The link's target as an absolute, canonical path, resolved as far as it exists.
fs::path LinkTarget(const fs::path& link) {
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

std::optional<fs::path> Machine::DriveRoot(char letter) const {
    if (!std::isalpha(static_cast<unsigned char>(letter)))
        return std::nullopt;
    std::error_code error;
    for (char spelling : {static_cast<char>(std::tolower(static_cast<unsigned char>(letter))),
                          static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))}) {
        fs::path link = DosDevices() / std::string{spelling, ':'};
        if (fs::exists(fs::symlink_status(link, error)))
            return link;
    }
    return std::nullopt;
}

std::optional<fs::path> Machine::ToHost(std::string_view windowsPath) const {
    if (windowsPath.size() < 2 || windowsPath[1] != ':')
        return std::nullopt;
    if (windowsPath.find('\0') != std::string_view::npos)
        return std::nullopt;
    auto host = DriveRoot(windowsPath[0]);
    if (!host)
        return std::nullopt;
    bool found = true;
    for (const auto& component : drives::PathComponents(windowsPath.substr(2))) {
        std::optional<fs::path> entry = found ? MatchingEntry(*host, component) : std::nullopt;
        found = entry.has_value();
        *host = found ? *entry : *host / component;
    }
    return host;
}

std::string Machine::ToWindows(const fs::path& hostPath) const {
    std::error_code error;
    fs::path path = fs::weakly_canonical(fs::absolute(hostPath, error), error);
    if (error)
        path = fs::absolute(hostPath, error).lexically_normal();
    std::optional<std::pair<char, fs::path>> best;
    std::size_t bestLength = 0;
    for (char letter : Drives()) {
        fs::path link = *DriveRoot(letter);
        // A dangling link still maps the paths that run through the link itself.
        fs::path linkItself = fs::weakly_canonical(link.parent_path(), error) / link.filename();
        for (const fs::path& prefix : {LinkTarget(link), linkItself}) {
            auto length = PrefixLength(prefix, path);
            if (length && (!best || *length > bestLength)) {
                best.emplace(letter, prefix);
                bestLength = *length;
            }
        }
    }
    if (!best)
        return WindowsPathBelow('Z', "/", path);
    return WindowsPathBelow(best->first, best->second, path);
}

fs::path DefaultMachineRoot() {
    std::string chosen = Environment("BOOTRAMA_MACHINE");
    if (!chosen.empty())
        return chosen;
    std::string dataHome = Environment("XDG_DATA_HOME");
    fs::path base =
        !dataHome.empty() ? fs::path(dataHome) : fs::path(Environment("HOME")) / ".local" / "share";
    return base / "bootrama" / "machine";
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
