// LoadPicture on arbitrary bytes under each extension it knows, followed by a conversion
// to a logo: only the program's own errors may leave.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "image/BmpTools.h"
#include "platform/Errors.h"
#include "platform/Machine.h"

namespace {

const char* const kNames[] = {"C:\\fuzz.bmp", "C:\\fuzz.jpg", "C:\\FUZZ.SYS", "C:\\fuzz.jpeg"};

void openMachine() {
    static const bool opened = [] {
        const auto root = std::filesystem::temp_directory_path() /
                          ("bootrama-fuzz-" + std::to_string(::getpid()));
        platform::UseMachine(root);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(platform::CurrentMachine().Root(), ignored);
        });
        return true;
    }();
    (void)opened;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    openMachine();
    const std::string path = kNames[data[0] % std::size(kNames)];
    // Written directly: the atomic replacement of the file layer syncs to disk every time.
    std::ofstream(*platform::CurrentMachine().ToHost(path), std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data + 1), std::streamsize(size - 1));
    try {
        std::int32_t colours = 0;
        const auto picture = LoadPicture(path, colours, {});
        const auto logo = ConvertToLogo(*picture, data[0] & 4, TStretchMode((data[0] >> 4) % 3));
        if (!IsLogoImage(logo.get()))
            __builtin_trap();
    } catch (const platform::EInvalidGraphic&) {
    }
    return 0;
}
