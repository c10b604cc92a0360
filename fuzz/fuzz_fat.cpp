// The image and FAT code on arbitrary bytes: every folder listed, every file read, one file
// written; only the program's own errors may leave. Each input is tried as a whole image
// and as the start of an 8 MiB one, so that a small seed can hold the start of a file
// system whose clusters lie further on.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/Errors.h"
#include "platform/drives/ImageDrive.h"
#include "platform/drives/Journal.h"

namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kPadded = 8 << 20;
constexpr int kMaxDepth = 3;
constexpr int kMaxVisits = 256;

// tmpfs where there is one: every change flushes the image.
const fs::path& ImagePath() {
    static const fs::path path = [] {
        std::error_code error;
        const fs::path folder =
            fs::is_directory("/dev/shm", error) ? fs::path("/dev/shm") : fs::temp_directory_path();
        return folder / ("bootrama-fuzz-" + std::to_string(::getpid()) + ".img");
    }();
    return path;
}

void Walk(platform::drives::Drive& drive, const std::string& folder, int depth, int& visits) {
    for (const auto& entry : drive.List(folder)) {
        if (++visits > kMaxVisits)
            return;
        const std::string path = folder + "\\" + entry.name;
        if (!entry.IsDirectory())
            drive.ReadFile(path, 1 << 20);
        else if (depth < kMaxDepth)
            Walk(drive, path, depth + 1, visits);
    }
}

void Exercise(const std::uint8_t* data, std::size_t size, bool padded) {
    const fs::path image = ImagePath();
    {
        std::ofstream out(image, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    if (padded && size < kPadded)
        fs::resize_file(image, kPadded);
    fs::remove(platform::drives::JournalPath(image));
    platform::drives::ImageDrive drive(image);
    int visits = 0;
    try {
        Walk(drive, "C:", 0, visits);
    } catch (const platform::Exception&) {
    }
    try {
        drive.WriteFile("C:\\WINDOWS\\LOGOW.SYS", "fuzz");
        if (drive.ReadFile("C:\\WINDOWS\\LOGOW.SYS", 16) != "fuzz")
            __builtin_trap();
    } catch (const platform::Exception&) {
    }
}

}  // namespace

// The path exists before the handler is registered, so it is still there when that runs.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    ImagePath();
    std::atexit([] {
        std::error_code ignored;
        fs::remove(ImagePath(), ignored);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Exercise(data, size, false);
    Exercise(data, size, true);
    return 0;
}
