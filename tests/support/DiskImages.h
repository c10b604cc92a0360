#pragma once
// Disk images made by the tools everyone else uses (mkfs.fat, sfdisk, mtools, qemu-img), and
// the same tools as the independent judges of what our drive code wrote.

#include <cstdint>
#include <filesystem>
#include <string>

namespace imagetest {

namespace fs = std::filesystem;

// The shell command's exit status; its standard output and error go to output if given.
int Shell(const std::string& command, std::string* output = nullptr);
// Empty when every tool the image tests need is installed, else which one is missing.
std::string MissingTool();

struct ImageKind {
    const char* name;
    // Makes raw.img in the current folder: a FAT file system at offset (bytes).
    const char* make;
    std::uint64_t offset;
    const char* vhd;  // "", "fixed" or "dynamic"
};

// Scripts for ImageKind::make: a 1.44 MB floppy without partitions (FAT12); an MBR disk
// with a FAT12 partition and an active FAT16 one at sector 10240; an MBR disk with one FAT32
// partition at sector 2048.
extern const char* const kMakeFloppy;
extern const char* const kMakeTwoPartitions;
extern const char* const kMakeFat32Disk;

// One image of each kind the drive code handles: FAT12 without partitions, FAT16 in the
// active second partition, FAT32 behind an MBR, and the FAT16 and FAT32 disks as a fixed
// and a dynamic VHD.
extern const ImageKind kImageKinds[5];

// An image of a kind with LOGO.SYS, MSDOS.SYS (read-only, hidden, system), WINDOWS\ and
// "Mtools Long Name.txt" put in by mtools, in a folder of its own.
class TestImage {
public:
    TestImage(const fs::path& folder, const ImageKind& kind);
    const fs::path& Path() const { return path_; }

    // What mtools reads from a file ("::/WINDOWS/LOGOW.SYS"); empty when it fails.
    std::string MRead(const std::string& file);
    // mtools' listing of a folder, or the attribute line of a file.
    std::string MDir(const std::string& folder);
    std::string MAttrib(const std::string& file);
    // fsck.fat -n on the file system: its output, status in *status.
    std::string Fsck(int* status);

    static std::string OldLogo();

private:
    std::string Mtools(const std::string& command, const std::string& arguments);
    fs::path Raw();  // the image as a raw disk (converted from a VHD)

    fs::path folder_;
    ImageKind kind_;
    fs::path path_;
};

// A byte lock on an image of another open file description, as QEMU holds them while a
// virtual machine runs; let go when the object goes.
class QemuLikeLock {
public:
    explicit QemuLikeLock(const fs::path& image);
    ~QemuLikeLock();
    QemuLikeLock(const QemuLikeLock&) = delete;
    QemuLikeLock& operator=(const QemuLikeLock&) = delete;
    bool Held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

// The image's bytes, to see that a refused change left it as it was.
std::string Bytes(const fs::path& file);
// A logo-sized file whose bytes depend on seed.
std::string Pattern(char seed, std::size_t size = 129078);

}  // namespace imagetest
