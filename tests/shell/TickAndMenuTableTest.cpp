#include <gtest/gtest.h>

#include "shell/MenuTable.h"
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

TEST(MenuTable, CommandsWithoutItemsAndUnknownIdentifiers) {
    EXPECT_EQ(menu::EditorCommandFor(40044), 19);
    EXPECT_EQ(menu::EditorCommandFor(40033), 11);
    EXPECT_EQ(menu::EditorCommandFor(40034), 10);
    EXPECT_FALSE(menu::EditorCommandFor(menu::kAbout));
    EXPECT_FALSE(menu::EditorCommandFor(40035));
    EXPECT_FALSE(menu::EditorCommandFor(0));
}
