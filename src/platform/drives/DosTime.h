#pragma once
// Times in directory entries: local time, as DOS and Windows 9x keep it, in two-second
// steps from 1980 to 2107.

#include <chrono>
#include <cstdint>

namespace platform::drives {

struct DosTime {
    std::uint16_t date = 0;  // year-1980 << 9 | month << 5 | day
    std::uint16_t time = 0;  // hour << 11 | minute << 5 | second / 2
};

DosTime ToDosTime(std::chrono::system_clock::time_point when);
std::chrono::system_clock::time_point FromDosTime(DosTime dos);

}  // namespace platform::drives
