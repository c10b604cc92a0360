#include <gtest/gtest.h>

#include "platform/Clock.h"

namespace {

using namespace platform;

TEST(ClockTest, FixedClockReplacesAndEmptyFunctionRestoresTheRealOne) {
    SetClock([] { return SystemTime{23, 59, 58, 999}; });
    SystemTime fixed = GetSystemTime();
    EXPECT_EQ(fixed.hour, 23);
    EXPECT_EQ(fixed.milliseconds, 999);

    SetClock({});
    SystemTime real = GetSystemTime();
    EXPECT_GE(real.hour, 0);
    EXPECT_LT(real.hour, 24);
    EXPECT_LT(real.minute, 60);
    EXPECT_LT(real.second, 60);
    EXPECT_LT(real.milliseconds, 1000);
}

}  // namespace
