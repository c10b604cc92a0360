#include "platform/Clock.h"

#include <chrono>

namespace platform {

namespace {

std::function<SystemTime()>& ClockOverride() {
    static std::function<SystemTime()> clock;
    return clock;
}

SystemTime RealTime() {
    using namespace std::chrono;
    auto now = system_clock::now();
    auto sinceMidnight = duration_cast<milliseconds>(now - floor<days>(now)).count();
    SystemTime time;
    time.milliseconds = static_cast<int>(sinceMidnight % 1000);
    time.second = static_cast<int>(sinceMidnight / 1000 % 60);
    time.minute = static_cast<int>(sinceMidnight / 60000 % 60);
    time.hour = static_cast<int>(sinceMidnight / 3600000);
    return time;
}

}  // namespace

SystemTime GetSystemTime() {
    const auto& clock = ClockOverride();
    return clock ? clock() : RealTime();
}

void SetClock(std::function<SystemTime()> clock) {
    ClockOverride() = std::move(clock);
}

}  // namespace platform
