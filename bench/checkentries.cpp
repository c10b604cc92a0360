// Checks a logo list of 10,000 entries for vanished files, as the list editor does with its
// progress gauge: 9,000 files exist, 1,000 are gone and are removed.
// Usage: bench_checkentries [entries] [rounds] [every]: every n-th entry has vanished
// (0: none); prints the median time of one check.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "core/Global.h"
#include "lists/Pathlist.h"
#include "platform/Machine.h"
#include "platform/MessageBox.h"
#include "platform/Process.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::stoi(argv[1]) : 10000;
    const int rounds = argc > 2 ? std::stoi(argv[2]) : 7;
    const int every = argc > 3 ? std::stoi(argv[3]) : 10;
    const int vanished = every > 0 ? (entries + every - 1) / every : 0;

    std::random_device seed;
    const fs::path work =
        fs::temp_directory_path() / ("bench-checkentries-" + std::to_string(seed()));
    const fs::path logos = work / "machine" / "drive_c" / "Logos";
    fs::create_directories(logos);
    fs::create_directories(work / "program");
    platform::UseMachine(work / "machine");
    platform::SetProgramHostDirectory(work / "program");
    platform::SetMessageBoxes(platform::MakeLogMessageBoxes((work / "boxes.log").string(), ""));

    std::string lines;
    for (int i = 0; i < entries; ++i) {
        const std::string name = "logo" + std::to_string(i) + ".sys";
        if (every == 0 || i % every != 0)
            std::ofstream(logos / name) << "logo";
        lines += "C:\\Logos\\" + name + "\r\n";
    }

    std::vector<double> seconds;
    {
        GlobalInfoScope global;
        const fs::path listFile = work / "program" / "brboot.dat";
        std::ofstream(listFile, std::ios::binary) << lines;
        for (int round = 0; round < rounds; ++round) {
            // Every answer is yes: the vanished entries go.
            platform::SetMessageBoxes(
                platform::MakeLogMessageBoxes((work / "boxes.log").string(), "yes"));
            TPathStringList list(GlobalInfo().BootListFile);
            int reports = 0;
            const auto start = std::chrono::steady_clock::now();
            list.CheckEntries(
                [&](TPathStringList&, TProgressStage, int, const std::string&) { ++reports; });
            seconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (list.Count() != entries - vanished) {
                std::fprintf(stderr, "unexpected count %d\n", list.Count());
                return 1;
            }
        }
    }
    fs::remove_all(work);

    std::sort(seconds.begin(), seconds.end());
    std::printf("CheckEntries over %d entries (%d vanished): median %.1f ms of %d rounds\n",
                entries, vanished, seconds[seconds.size() / 2] * 1000, rounds);
    return 0;
}
