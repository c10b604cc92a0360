#pragma once
// The system clock in UTC (GetSystemTime); tests put a fixed time in its place.

#include <functional>

namespace platform {

struct SystemTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int milliseconds = 0;
};

SystemTime GetSystemTime();
// An empty function restores the real clock.
void SetClock(std::function<SystemTime()> clock);

}  // namespace platform
