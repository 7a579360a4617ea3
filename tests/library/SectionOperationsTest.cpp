#include "library/SectionOperations.h"

#include <gtest/gtest.h>

#include <set>

namespace {
ProgramValues Filled(int value) {
    ProgramValues program;
    program.fill(value);
    return program;
}

std::set<int> ChangedSlots(const ProgramValues& before, const ProgramValues& after) {
    std::set<int> changed;
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        if (before[static_cast<size_t>(slot)] != after[static_cast<size_t>(slot)])
            changed.insert(slot);
    }
    return changed;
}

std::set<int> Range(int first, int last) {
    std::set<int> slots;
    for (int slot = first; slot <= last; ++slot)
        slots.insert(slot);
    return slots;
}
}  // namespace

TEST(SectionOperations, EachSectionCopiesExactlyItsSlots) {
    const ProgramValues before = Filled(-5);
    const ProgramValues source = Filled(9);
    struct Case {
        UnitSection section;
        bool withEffectType;
        std::set<int> slots;
    };
    std::set<int> envLfo = Range(58, 63);
    envLfo.merge(Range(85, 88));
    const Case cases[] = {
        {kSectionVco1, true, Range(0, 11)},      {kSectionVco2, true, Range(12, 23)},
        {kSectionVco3, true, Range(24, 35)},     {kSectionVco4, true, Range(36, 47)},
        {kSectionFilter, true, Range(64, 77)},   {kSectionEnvLfo, true, envLfo},
        {kSectionHarmDist, true, Range(48, 55)}, {kSectionEffect, true, Range(89, 103)},
        {kSectionEffect, false, Range(90, 103)},
    };
    for (const Case& c : cases) {
        SectionSelection on{};
        on[static_cast<size_t>(c.section)] = true;
        EXPECT_EQ(ChangedSlots(before, CopySections(before, source, on, c.withEffectType)), c.slots)
            << SectionName(c.section);
    }
    SectionSelection all;
    all.fill(true);
    const std::set<int> untouched = ChangedSlots(CopySections(before, source, all, true), source);
    std::set<int> outside = {56, 57};
    outside.merge(Range(78, 84));
    EXPECT_EQ(untouched, outside) << "slots of no section stay";
}

TEST(SectionOperations, RandomDrawsFromTheRangesAndPwmFrequenciesFromZero) {
    SectionRandom random(12345);
    bool sawZeroPwm = false;
    for (int round = 0; round < 400; ++round) {
        const ProgramValues program = DrawRandomProgram(random, Filled(77));
        for (int slot = 0; slot < kFirstEffectSlot; ++slot) {
            const int v = program[static_cast<size_t>(slot)];
            const bool pwm = slot == 6 || slot == 18 || slot == 30 || slot == 42;
            ASSERT_GE(v, pwm ? 0 : PositionMinimum(slot)) << slot;
            ASSERT_LE(v, PositionMaximum(slot)) << slot;
            sawZeroPwm |= pwm && v == 0;
        }
        if (program[kEffectTypeSlot] == kEffectOverdrive) {
            for (int slot = 94; slot < kProgramSlotCount; ++slot) {
                ASSERT_EQ(program[static_cast<size_t>(slot)], 77) << "overdrive keeps unused slots";
            }
            ASSERT_LE(program[93], 6);
            ASSERT_GE(program[93], -6);
        }
    }
    EXPECT_TRUE(sawZeroPwm);
}

TEST(SectionOperations, GeneratorIsTheClassicLinearCongruence) {
    // The familiar sequence of that generator from seed 0.
    SectionRandom random(0);
    EXPECT_EQ(random.Next(), 38);
    EXPECT_EQ(random.Next(), 7719);
    EXPECT_EQ(random.Next(), 21238);
    EXPECT_EQ(random.Next(), 2437);
}

TEST(SectionOperations, ResetFollowsTheShownEffectType) {
    const ProgramValues before = Filled(33);
    const ProgramValues eq = ResetProgram(before, kEffectEqualizer);
    EXPECT_EQ(eq[0], 0);
    EXPECT_EQ(eq[6], 1) << "PWM LFO frequency";
    EXPECT_EQ(eq[69], -1) << "vintage modulation frequency";
    EXPECT_EQ(eq[70], 36);
    EXPECT_EQ(eq[76], 7) << "VCF Q";
    EXPECT_EQ(eq[kEffectTypeSlot], kEffectEqualizer) << "the effect type stays";
    for (int slot = 90; slot < kProgramSlotCount; ++slot) {
        EXPECT_EQ(eq[static_cast<size_t>(slot)], slot == 96 || slot == 99 ? 10 : 0) << slot;
    }
    const ProgramValues drive = ResetProgram(before, kEffectOverdrive);
    EXPECT_EQ(drive[90], 0);
    EXPECT_EQ(drive[93], 0);
    EXPECT_EQ(drive[94], 33) << "slots the overdrive does not use keep their reset values";
    const ProgramValues off = ResetProgram(before, kEffectOff);
    EXPECT_EQ(off[100], 0);
}

TEST(SectionOperations, CopyMakesTargetsEqualToTheSource) {
    ProgramValues program{};
    for (int slot = 0; slot < 48; ++slot)
        program[static_cast<size_t>(slot)] = slot;
    const ProgramValues copied = CopyOscillator(program, 1, {true, false, true, true});
    for (int vco = 0; vco < 4; ++vco) {
        for (int k = 0; k < 12; ++k) {
            EXPECT_EQ(copied[static_cast<size_t>(vco * 12 + k)], 12 + k);
        }
    }
    EXPECT_EQ(CopyOscillator(program, -1, {true, true, true, true}), program);
}

TEST(SectionOperations, DefaultProgramIsTheBuiltInSound) {
    const ProgramValues& d = DefaultProgram();
    EXPECT_EQ(d[3], 127);
    EXPECT_EQ(d[25], -19);
    EXPECT_EQ(d[36], -12);
    EXPECT_EQ(d[48], 3);
    EXPECT_EQ(d[72], 93);
    EXPECT_EQ(d[85], 1);
    for (int slot = 89; slot < kProgramSlotCount; ++slot)
        EXPECT_EQ(d[static_cast<size_t>(slot)], 0);
}
