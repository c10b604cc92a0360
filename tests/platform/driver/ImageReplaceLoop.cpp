// Replaces C:\LOGO.SYS in an image with two files' contents in turn until it is killed; the
// journal test kills it at random moments. Writes one byte to standard output once the
// loop runs. Usage: image_replace_loop IMAGE FIRST SECOND

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/drives/ImageDrive.h"

namespace {

std::string Contents(const char* file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s IMAGE FIRST SECOND\n", argv[0]);
        return 2;
    }
    const std::string contents[] = {Contents(argv[2]), Contents(argv[3])};
    platform::drives::ImageDrive drive(argv[1]);
    try {
        drive.WriteFile("C:\\LOGO.SYS", contents[0]);
        if (::write(STDOUT_FILENO, "r", 1) != 1)
            return 1;
        for (unsigned turn = 1;; ++turn) drive.WriteFile("C:\\LOGO.SYS", contents[turn % 2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
