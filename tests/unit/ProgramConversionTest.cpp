#include "unit/ProgramConversion.h"

#include <gtest/gtest.h>

#include <random>

#include "unit/UnitParameters.h"

namespace {

TEST(ProgramConversion, OffsetsMoveSignedValuesOntoTheWire) {
    ProgramValues values{};
    values[0] = -12;  // coarse: byte 0
    values[1] = -63;  // fine: byte 0
    values[69] = -1;  // vintage modulation off: byte 0
    values[82] = 1;   // transpose octave: byte 3
    values[76] = 7;   // "VCF Q" starts at 7 and is stored unchanged
    const ProgramBlock block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[1], 0);
    EXPECT_EQ(block[69], 0);
    EXPECT_EQ(block[82], 3);
    EXPECT_EQ(block[76], 7);
    EXPECT_EQ(block[2], 63) << "beat 0";
    EXPECT_EQ(UnitBytesToProgramSlots(block)[0], -12);
}

TEST(ProgramConversion, OverdriveLevelRidesInSlot93AndTheRestOfTheBlockIsZero) {
    ProgramValues values{};
    values[89] = kEffectOverdrive;
    values[90] = 1;
    values[91] = 1;
    values[92] = 100;
    values[93] = -6;
    for (int slot = 94; slot < 104; ++slot)
        values[static_cast<size_t>(slot)] = 55;
    const ProgramBlock block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[90], 1);
    EXPECT_EQ(block[92], 100);
    EXPECT_EQ(block[93], 0);
    values[93] = 6;
    EXPECT_EQ(ProgramSlotsToUnitBytes(values)[93], 12);
    for (int slot = 94; slot < 104; ++slot)
        EXPECT_EQ(block[static_cast<size_t>(slot)], 0);
    // And back: the unused slots read as 0.
    const ProgramValues back = UnitBytesToProgramSlots(block);
    EXPECT_EQ(back[93], -6);
    EXPECT_EQ(back[94], 0);
}

TEST(ProgramConversion, EffectBlockFollowsTheTypeAndIsEmptyWhenOff) {
    ProgramValues values{};
    for (int slot = 90; slot < 104; ++slot)
        values[static_cast<size_t>(slot)] = 0;
    values[89] = kEffectChorus;
    values[94] = -64;  // "Level1" on byte 0
    values[98] = 63;   // "Level2" on byte 127
    ProgramBlock block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[94], 0);
    EXPECT_EQ(block[98], 127);
    values[89] = kEffectEqualizer;
    values[94] = -20;  // "Bass Boost" -20..20 on byte 0
    values[103] = 15;  // "Treble Boost" on byte 30
    values[96] = 10;   // "Mid1 Q" stored as it is
    block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[94], 0);
    EXPECT_EQ(block[103], 30);
    EXPECT_EQ(block[96], 10);
    values[89] = kEffectOff;
    block = ProgramSlotsToUnitBytes(values);
    for (int slot = 90; slot < 104; ++slot)
        EXPECT_EQ(block[static_cast<size_t>(slot)], 0);
}

TEST(ProgramConversion, ValuesOutsideTheirParameterAreHeldToItsRange) {
    ProgramValues values{};
    values[0] = 100;   // coarse -12..48: 48, byte 60 (not 112)
    values[1] = 127;   // fine -63..63: byte 126, not 190 (BE, a status byte)
    values[76] = -64;  // "VCF Q" 7..127: 7 (not a negative byte)
    values[89] = kEffectEqualizer;
    values[90] = -3;   // "Blend BASS" 0..1: 0
    values[96] = 127;  // "Mid1 Q" 10..100: 100
    const ProgramBlock block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[0], 60);
    EXPECT_EQ(block[1], 126);
    EXPECT_EQ(block[76], 7);
    EXPECT_EQ(block[90], 0);
    EXPECT_EQ(block[96], 100);
}

TEST(ProgramConversion, AnEffectTypeOutOfRangeIsHeldLikeAnyValue) {
    ProgramValues values{};
    values[89] = 7;
    values[90] = 1;
    values[103] = 50;  // "Treble Boost" -15..15: 15, byte 30
    ProgramBlock block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[89], kEffectEqualizer);
    EXPECT_EQ(block[90], 1);
    EXPECT_EQ(block[103], 30);
    values[89] = -2;
    block = ProgramSlotsToUnitBytes(values);
    EXPECT_EQ(block[89], kEffectOff);
    for (int slot = 90; slot < 104; ++slot)
        EXPECT_EQ(block[static_cast<size_t>(slot)], 0);
}

TEST(ProgramConversion, AnyFileValuesGiveDataBytesOnly) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> value(-64, 127);
    for (int round = 0; round < 2000; ++round) {
        ProgramValues values{};
        for (int32_t& v : values)
            v = value(random);
        values[89] = round % 6 - 1;
        for (uint8_t b : ProgramSlotsToUnitBytes(values))
            ASSERT_LE(b, 0x7F);
    }
}

}  // namespace
