#pragma once
// The Windows 9x machine the program manages: a host folder whose dosdevices/ links map
// drive letters to host folders, the way Wine lays out a prefix.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class Machine {
public:
    // Opens the machine in root, creating a missing one: drive_c with MSDOS.SYS and
    // WINDOWS\SYSTEM, the c: and z: links, a registry with the Run key; files below
    // seedDirectory (if it exists) are copied into drive_c, e.g. WINDOWS/LOGOW.SYS.
    // An existing machine is left as it is. Opening never fails: what can't be created, or
    // a drive whose link leads nowhere, shows up as failing file operations.
    static Machine Open(const std::filesystem::path& root,
                        const std::filesystem::path& seedDirectory = {});

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path DosDevices() const { return root_ / "dosdevices"; }
    std::filesystem::path RegistryFile() const { return root_ / "registry.reg"; }

    // Upper-case letters of the mapped drives, in alphabetical order.
    std::vector<char> Drives() const;
    // Host folder a drive letter maps to (the link itself, so a dangling link still maps).
    std::optional<std::filesystem::path> DriveRoot(char letter) const;

    // "C:\WINDOWS\logow.sys" -> host path; each component matches exactly, else the first
    // entry equal without regard to case; missing components keep their spelling.
    // Empty when the path has no drive letter or the drive is not mapped.
    std::optional<std::filesystem::path> ToHost(std::string_view windowsPath) const;
    // Host path -> Windows path through the drive whose target is the longest prefix
    // (compared as canonical paths; a dangling link maps the paths through itself); Z:
    // covers whatever no drive holds.
    std::string ToWindows(const std::filesystem::path& hostPath) const;

private:
    explicit Machine(std::filesystem::path root) : root_(std::move(root)) {}
    std::filesystem::path root_;
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
