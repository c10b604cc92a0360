// Reading and replacing the three logos on a drive that is a FAT32 disk image, against the
// same through the folder drive of a machine, in one run: the ratios are what counts.
// Usage: bench_image_drive IMAGE MACHINE [ROUNDS]; MACHINE's drive_c holds what the image
// holds (bench/image_drive.sh makes both).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Machine.h"
#include "platform/drives/ImageDrive.h"

namespace {

const char* const kLogos[] = {"C:\\LOGO.SYS", "C:\\WINDOWS\\LOGOW.SYS", "C:\\WINDOWS\\LOGOS.SYS"};

std::string Logo(int round) {
    std::string bytes(129078, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 31 + round);
    return bytes;
}

double Median(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2];
}

double Seconds(const std::function<void()>& operation) {
    const auto start = std::chrono::steady_clock::now();
    operation();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Median times of the two ways of doing the same, taking turns each round so that both see
// the same load of the machine.
void Compare(const char* what, int rounds, const std::function<void(int)>& onImage,
             const std::function<void(int)>& inFolder) {
    std::vector<double> image, folder;
    for (int round = 0; round < rounds; ++round) {
        image.push_back(Seconds([&] { onImage(round); }));
        folder.push_back(Seconds([&] { inFolder(round); }));
    }
    std::printf("%s: image %.3f ms, folder %.3f ms, ratio %.2f\n", what, Median(image) * 1000,
                Median(folder) * 1000, Median(image) / Median(folder));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s IMAGE MACHINE [ROUNDS]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 3 ? std::stoi(argv[3]) : 21;
    platform::UseMachine(argv[2]);
    platform::drives::ImageDrive image(argv[1]);

    auto replaceOnImage = [&](int round) {
        for (const char* logo : kLogos) image.WriteFile(logo, Logo(round));
    };
    auto replaceInFolder = [&](int round) {
        for (const char* logo : kLogos) platform::WriteFileAtomic(logo, Logo(round));
    };
    auto readFromImage = [&](int) {
        for (const char* logo : kLogos) image.ReadFile(logo, 1 << 20);
    };
    auto readFromFolder = [&](int) {
        for (const char* logo : kLogos) platform::ReadFile(logo, 1 << 20);
    };
    replaceOnImage(0);
    replaceInFolder(0);

    Compare("replace three logos", rounds, replaceOnImage, replaceInFolder);
    Compare("read three logos", rounds, readFromImage, readFromFolder);
    return 0;
}
