#include "support/DiskImages.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "support/TestEnv.h"

namespace imagetest {

const char* const kMakeFloppy = "mkfs.fat -C -F 12 raw.img 1440";
const char* const kMakeTwoPartitions =
    "truncate -s 40M raw.img && printf 'start=2048,size=8192,type=1\\n"
    "start=10240,type=e,bootable\\n' | sfdisk -q raw.img && "
    "mkfs.fat --offset 2048 -F 12 raw.img 4096 && mkfs.fat --offset 10240 -F 16 raw.img 35840";
const char* const kMakeFat32Disk =
    "truncate -s 48M raw.img && echo 'start=2048,type=c' | sfdisk -q raw.img && "
    "mkfs.fat --offset 2048 -F 32 -s 1 raw.img 48128";

const ImageKind kImageKinds[5] = {
    {"Fat12Superfloppy", kMakeFloppy, 0, ""},
    {"Fat16ActiveSecondPartition", kMakeTwoPartitions, 10240 * 512, ""},
    {"Fat32Mbr", kMakeFat32Disk, 2048 * 512, ""},
    {"Fat16FixedVhd", kMakeTwoPartitions, 10240 * 512, "fixed"},
    {"Fat32DynamicVhd", kMakeFat32Disk, 2048 * 512, "dynamic"},
};

int Shell(const std::string& command, std::string* output) {
    FILE* pipe = ::popen(("{ " + command + "; } 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return -1;
    std::string text;
    char buffer[4096];
    while (std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
        text.append(buffer, count);
    const int status = ::pclose(pipe);
    if (output != nullptr)
        *output = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string MissingTool() {
    // mtools asks nothing about geometry; fsck.fat and mkfs.fat live in sbin.
    static const bool prepared = [] {
        ::setenv("MTOOLS_SKIP_CHECK", "1", 1);
        return ::setenv("PATH", (std::string(std::getenv("PATH")) + ":/sbin:/usr/sbin").c_str(),
                        1) == 0;
    }();
    for (const char* tool : {"mkfs.fat", "fsck.fat", "mcopy", "sfdisk", "qemu-img"}) {
        if (!prepared || Shell(std::string("command -v ") + tool) != 0)
            return tool;
    }
    return {};
}

TestImage::TestImage(const fs::path& folder, const ImageKind& kind)
    : folder_(folder), kind_(kind), path_(folder / "raw.img") {
    testenv::WriteHostFile(folder_ / "old.sys", OldLogo());
    testenv::WriteHostFile(folder_ / "msdos.sys", "[Options]\r\nBootGUI=1\r\n");
    std::string output;
    const std::string offset = std::to_string(kind.offset);
    const std::string image = "-i raw.img@@" + offset;
    const std::string script = "cd '" + folder_.string() + "' && (" + kind.make +
                               ") >/dev/null && mcopy " + image + " old.sys ::/LOGO.SYS && mcopy " +
                               image + " msdos.sys ::/MSDOS.SYS && mattrib " + image +
                               " +r +h +s ::/MSDOS.SYS && mmd " + image + " ::/WINDOWS && mcopy " +
                               image + " msdos.sys '::/Mtools Long Name.txt'";
    if (Shell(script, &output) != 0)
        throw std::runtime_error("making the image failed: " + output);
    if (*kind.vhd != '\0') {
        path_ = folder_ / "disk.vhd";
        if (Shell("cd '" + folder_.string() + "' && qemu-img convert -f raw -O vpc -o subformat=" +
                      kind.vhd + ",force_size=on raw.img disk.vhd && rm raw.img",
                  &output) != 0) {
            throw std::runtime_error("converting the image failed: " + output);
        }
    }
}

fs::path TestImage::Raw() {
    if (*kind_.vhd == '\0')
        return path_;
    const fs::path raw = folder_ / "check.raw";
    Shell("qemu-img convert -f vpc -O raw '" + path_.string() + "' '" + raw.string() + "'");
    return raw;
}

std::string TestImage::Mtools(const std::string& command, const std::string& arguments) {
    std::string output;
    const std::string image = "'" + Raw().string() + "@@" + std::to_string(kind_.offset) + "'";
    // Long names reach us as UTF-8 whatever the locale of the test run.
    if (Shell("LC_ALL=C.UTF-8 " + command + " -i " + image + " " + arguments, &output) != 0)
        return {};
    return output;
}

std::string TestImage::MRead(const std::string& file) {
    const fs::path out = folder_ / "mread.out";
    fs::remove(out);
    Mtools("mcopy -n", "'" + file + "' '" + out.string() + "'");
    return fs::exists(out) ? testenv::ReadHostFile(out) : std::string();
}

std::string TestImage::MDir(const std::string& folder) {
    return Mtools("mdir -a", "'" + folder + "'");
}

std::string TestImage::MAttrib(const std::string& file) {
    return Mtools("mattrib", "'" + file + "'");
}

std::string TestImage::Fsck(int* status) {
    const fs::path partition = folder_ / "partition.img";
    const std::string raw = Bytes(Raw());
    testenv::WriteHostFile(partition, raw.substr(kind_.offset));
    std::string output;
    *status = Shell("fsck.fat -n '" + partition.string() + "'", &output);
    return output;
}

std::string TestImage::OldLogo() {
    return Pattern('o');
}

QemuLikeLock::QemuLikeLock(const fs::path& image) : fd_(::open(image.c_str(), O_RDONLY)) {
    struct flock lock {};
    lock.l_type = F_RDLCK;
    lock.l_start = 100;
    lock.l_len = 1;
    held_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &lock) == 0;
}

QemuLikeLock::~QemuLikeLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

std::string Bytes(const fs::path& file) {
    return testenv::ReadHostFile(file);
}

std::string Pattern(char seed, std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = static_cast<unsigned char>(seed);
    for (char& byte : bytes) {
        state = state * 1103515245 + 12345;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

}  // namespace imagetest
