#include "library/db/ProgramLikeness.h"

#include <gtest/gtest.h>

#include "support/DistinctProgram.h"
#include "unit/UnitParameters.h"

namespace {

TEST(ProgramLikenessTest, DistanceIsTheSumOfDifferencesOverEachRange) {
    const ProgramValues program = DistinctProgram(1);
    EXPECT_EQ(ProgramDistance(program, program), 0.0);
    ProgramValues other = program;
    // Coarse tuning spans -12..48: a step of 30 is half its range.
    other[0] = program[0] + 30 <= 48 ? program[0] + 30 : program[0] - 30;
    EXPECT_DOUBLE_EQ(ProgramDistance(program, other), 30.0 / 60.0);
    EXPECT_DOUBLE_EQ(ProgramDistance(other, program), 30.0 / 60.0);
}

TEST(ProgramLikenessTest, EffectSlotsOfAnotherEffectCountWhole) {
    ProgramValues chorus = DistinctProgram(1);
    ProgramValues overdrive = chorus;
    overdrive[kEffectTypeSlot] = 2;
    // The type itself differs by 1 of 3; the chorus's 14 slots are 4 overdrive slots and 10
    // unused ones, none of them the same parameter.
    EXPECT_DOUBLE_EQ(ProgramDistance(chorus, overdrive), 1.0 / 3.0 + 14.0);
}

TEST(ProgramLikenessTest, FingerprintFollowsTheValuesTheUnitStores) {
    ProgramValues program = DistinctProgram(2);
    const std::string key = ProgramFingerprint(program);
    EXPECT_EQ(key.size(), 16u);
    program[100] = 9;  // unused under the overdrive
    EXPECT_EQ(ProgramFingerprint(program), key);
    program[0] += 1;
    EXPECT_NE(ProgramFingerprint(program), key);
}

}  // namespace
