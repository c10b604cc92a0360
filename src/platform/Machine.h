#pragma once
// The Windows 9x machine the program manages: a host folder whose dosdevices/ links map
// drive letters to host folders, the way Wine lays out a prefix, or to disk images.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

namespace drives {
class Drive;
}

// Where a drive letter leads: a host folder, or the FAT partition of a disk image. The link
// names an image's partition after the image's path ("win98.img/2"), as no file has a name
// below it; the image's path alone picks the active FAT partition.
struct DriveTarget {
    enum class Kind { Folder, Image };
    Kind kind = Kind::Folder;
    std::filesystem::path path;  // absolute; a folder that is not there is still a folder
    int partition = 0;           // of an image: 0 picks the active FAT partition

    bool operator==(const DriveTarget&) const = default;
};

class Machine {
public:
    // Opens the machine in root, creating a missing one: drive_c with MSDOS.SYS and
    // WINDOWS\SYSTEM, the c: and z: links, a registry with the Run key; files below
    // seedDirectory (if it exists) are copied into drive_c, e.g. WINDOWS/LOGOW.SYS.
    // An existing machine is left as it is. Opening never fails: what can't be created, or
    // a drive whose link leads nowhere, shows up as failing file operations.
    static Machine Open(const std::filesystem::path& root,
                        const std::filesystem::path& seedDirectory = {});

    Machine(Machine&&) noexcept;
    Machine& operator=(Machine&&) noexcept;
    ~Machine();

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path DosDevices() const { return root_ / "dosdevices"; }
    std::filesystem::path RegistryFile() const { return root_ / "registry.reg"; }

    // Upper-case letters of the mapped drives, in alphabetical order.
    std::vector<char> Drives() const;
    // Where a letter leads; nothing for a letter that is not mapped.
    std::optional<DriveTarget> Target(char letter) const;
    // Makes a letter lead to a target, in place of whatever it led to; the link is replaced
    // at once, never missing in between. EInOutError with the Windows code when it can't be.
    void MapDrive(char letter, const DriveTarget& target);
    void UnmapDrive(char letter);

    // The drive a Windows path lies on, by its letter: a folder drive, or an image drive when
    // the link leads to a regular file. Chosen once for each target the link names, and
    // chosen again only after a link in dosdevices changed (not when a folder a link leads to
    // is replaced by an image of the same name); nullptr when the path has no drive letter or
    // the letter is not mapped.
    drives::Drive* DriveOf(std::string_view windowsPath) const;

    // For the host's own dialogs, which know only host folders. Host folder a folder drive
    // maps to (the link itself, so a dangling link still maps); nothing for an image drive.
    std::optional<std::filesystem::path> DriveRoot(char letter) const;
    // "C:\WINDOWS\logow.sys" -> host path; each component matches exactly, else the first
    // entry equal without regard to case; missing components keep their spelling.
    // Empty when the path has no drive letter, the drive is not mapped or is an image.
    std::optional<std::filesystem::path> ToHost(std::string_view windowsPath) const;
    // Host path -> Windows path through the folder drive whose target is the longest prefix
    // (compared as canonical paths; a dangling link maps the paths through itself); Z:
    // covers whatever no drive holds. Where the links lead is looked at again by DriveOf's
    // rule, after a link in dosdevices changed.
    std::string ToWindows(const std::filesystem::path& hostPath) const;

private:
    class MountedDrives;
    // A host folder a drive holds, as a canonical path.
    struct HostPrefix {
        char letter = 0;
        std::filesystem::path path;
    };

    std::vector<HostPrefix> FindHostPrefixes() const;

    explicit Machine(std::filesystem::path root);
    // The dosdevices entry of a letter, whichever case it is spelled in.
    std::optional<std::filesystem::path> Link(char letter) const;

    std::filesystem::path root_;
    std::unique_ptr<MountedDrives> mounted_;
};

// Whether a host path can be spelled as a Windows path and found again: no name in it
// holds a backslash (the Windows separator) or a control character, which Windows names
// can't hold.
bool HasWindowsSpelling(const std::filesystem::path& hostPath);

// $BOOTRAMA_MACHINE, else $XDG_DATA_HOME/bootrama/machine (~/.local/share/bootrama/machine).
std::filesystem::path DefaultMachineRoot();
// The machine in use; opens the default machine on first use.
Machine& CurrentMachine();
void UseMachine(const std::filesystem::path& root, const std::filesystem::path& seedDirectory = {});

}  // namespace platform
