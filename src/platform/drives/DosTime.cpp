#include "platform/drives/DosTime.h"

#include <time.h>

#include <algorithm>

namespace platform::drives {

DosTime ToDosTime(std::chrono::system_clock::time_point when) {
    const time_t seconds = std::chrono::system_clock::to_time_t(when);
    struct tm local {};
    if (::localtime_r(&seconds, &local) == nullptr)
        return {};
    const int year = std::clamp(local.tm_year + 1900, 1980, 2107);
    DosTime dos;
    dos.date =
        static_cast<std::uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    dos.time =
        static_cast<std::uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
    return dos;
}

std::chrono::system_clock::time_point FromDosTime(DosTime dos) {
    struct tm local {};
    local.tm_year = (dos.date >> 9) + 80;
    local.tm_mon = std::max((dos.date >> 5 & 0x0F) - 1, 0);
    local.tm_mday = std::max(dos.date & 0x1F, 1);
    local.tm_hour = dos.time >> 11;
    local.tm_min = dos.time >> 5 & 0x3F;
    local.tm_sec = (dos.time & 0x1F) * 2;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(::mktime(&local));
}

}  // namespace platform::drives
