#include <gtest/gtest.h>

#include "shell/TickClock.h"

TEST(TickClock, DueOnlyAfterMoreThanASecondAndOnceAfterASilence) {
    TickClock clock(5000);
    EXPECT_FALSE(clock.Due(5999));
    EXPECT_FALSE(clock.Due(6000));
    EXPECT_TRUE(clock.Due(6001));
    EXPECT_FALSE(clock.Due(6002));
    // Ten quiet seconds: the first check afterwards brings one tick, not ten.
    EXPECT_TRUE(clock.Due(16001));
    EXPECT_FALSE(clock.Due(16500));
}
