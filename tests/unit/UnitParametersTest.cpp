#include "unit/UnitParameters.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>

namespace {

struct Row {
    int index;
    const char* name;
    int minimum, maximum, defaultValue, offset, msb, lsb;
    UnitSection section;
};

// Rows read off the unit's parameter chart, chosen where a slip would be easy: the odd names,
// the negative ranges, the section edges and the three effect overlays.
const Row kChart[] = {
    {3, "VCO1 coarse", -12, 48, 0, 12, 11, 1, kSectionVco1},
    {9, "VCO1 PWM LFO frq", 1, 127, 1, 0, 11, 7, kSectionVco1},
    {14, "VCO1 volume", 0, 127, 0, 0, 11, 12, kSectionVco1},
    {19, "VCO2 saw env ampmod", -63, 63, 0, 63, 12, 5, kSectionVco2},
    {21, "VCO PWM LFO frq", 1, 127, 1, 0, 12, 7, kSectionVco2},
    {33, "VCO3 PWM LFO frq", 1, 127, 1, 0, 13, 7, kSectionVco3},
    {50, "VCO4 volume", 0, 127, 0, 0, 14, 12, kSectionVco4},
    {51, "voice2 transposition", 0, 3, 0, 0, 15, 1, kSectionHarmDist},
    {53, "bass volume", 0, 127, 0, 0, 15, 3, kSectionHarmDist},
    {54, "voice1(+1oct) volume", 0, 127, 0, 0, 15, 4, kSectionHarmDist},
    {57, "distortion grade", 0, 31, 0, 0, 15, 7, kSectionHarmDist},
    {59, "bass volume", 0, 127, 0, 0, 16, 1, kSectionNone},
    {60, "VCF volume", 0, 127, 0, 0, 16, 2, kSectionNone},
    {61, "AR attack", 1, 127, 1, 0, 17, 1, kSectionEnvLfo},
    {66, "Noise release", 1, 127, 1, 0, 17, 6, kSectionEnvLfo},
    {67, "bass volume", 0, 127, 0, 0, 18, 1, kSectionFilter},
    {72, "VCF modulation frequency vintage", -1, 80, -1, 1, 18, 6, kSectionFilter},
    {73, "VCF modulation frequency new", 36, 122, 36, 0, 18, 7, kSectionFilter},
    {75, "VCF modulation envelope follower", 0, 127, 0, 0, 18, 9, kSectionFilter},
    {74, "2nd VCF modulation frequency", 0, 24, 0, 0, 18, 8, kSectionFilter},
    {79, "VCF Q", 7, 127, 7, 0, 18, 13, kSectionFilter},
    {80, "VCF slope", 0, 1, 0, 0, 18, 14, kSectionFilter},
    {81, "portamento time", 0, 127, 0, 0, 19, 1, kSectionNone},
    {83, "MIDI channel", 0, 16, 0, 0, 19, 3, kSectionNone},
    {85, "transpose octave", -2, 1, 0, 2, 19, 5, kSectionNone},
    {87, "key priority", 0, 3, 0, 0, 19, 7, kSectionNone},
    {88, "LFO frequency", 1, 127, 1, 0, 20, 1, kSectionEnvLfo},
    {91, "LFO VCO depth", 0, 127, 0, 0, 20, 4, kSectionEnvLfo},
    {92, "EFFECT Type", 0, 3, 0, 0, 21, 1, kSectionEffect},
    {93, "Mod Blend BASS", 0, 127, 0, 0, 21, 2, kSectionEffect},
    {97, "Level1", -64, 63, 0, 64, 21, 6, kSectionEffect},
    {101, "Level2", -64, 63, 0, 64, 21, 10, kSectionEffect},
    {106, "Feedback damping", 0, 127, 0, 0, 21, 15, kSectionEffect},
    {107, "Blend BASS", 0, 1, 0, 0, 21, 2, kSectionEffect},
    {110, "Level", -6, 6, 0, 6, 21, 5, kSectionEffect},
    {111, "Blend BASS", 0, 1, 0, 0, 21, 2, kSectionEffect},
    {112, "Blend VCF", 0, 1, 0, 0, 21, 3, kSectionEffect},
    {115, "Bass Boost", -20, 20, 0, 20, 21, 6, kSectionEffect},
    {117, "Mid1 Q", 10, 100, 10, 0, 21, 8, kSectionEffect},
    {120, "Mid2 Q", 10, 100, 10, 0, 21, 11, kSectionEffect},
    {123, "Treble Slope", 0, 127, 0, 0, 21, 14, kSectionEffect},
    {124, "Treble Boost", -15, 15, 0, 15, 21, 15, kSectionEffect},
};

}  // namespace

TEST(ParameterChart, RowsMatchThePrintedChart) {
    for (const Row& row : kChart) {
        SCOPED_TRACE(row.index);
        const int position = UnitPosition(row.index);
        const UnitParameter* chart = UnitParameterAt(position);
        ASSERT_NE(chart, nullptr);
        EXPECT_STREQ(chart->name, row.name);
        EXPECT_EQ(PositionMinimum(position), row.minimum);
        EXPECT_EQ(PositionMaximum(position), row.maximum);
        EXPECT_EQ(chart->defaultValue, row.defaultValue);
        EXPECT_EQ(WireOffset(position), row.offset);
        EXPECT_EQ(AddressMsb(position), row.msb);
        EXPECT_EQ(AddressLsb(position), row.lsb);
        EXPECT_EQ(chart->section, row.section);
    }
}

TEST(ParameterChart, EveryWireValueLiesInSevenBits) {
    for (int position = 0; position < kUnitParamCount; ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(WireOffset(position),
                  PositionMinimum(position) < 0 ? -PositionMinimum(position) : 0);
        EXPECT_GE(PositionMinimum(position) + WireOffset(position), 0);
        EXPECT_LE(PositionMaximum(position) + WireOffset(position), 127);
        EXPECT_NE(UnitParameterAt(position)->name[0], '\0');
    }
}

TEST(ParameterChart, AddressesAreUniqueExceptTheThreeEffectOverlays) {
    std::set<std::pair<int, int>> plain;
    for (int position = 0; position < kChorusFirstPosition; ++position) {
        EXPECT_TRUE(plain.insert({AddressMsb(position), AddressLsb(position)}).second) << position;
    }
    for (int k = 0; k < kChorusCount; ++k) {
        EXPECT_EQ(AddressMsb(kChorusFirstPosition + k), 21);
        EXPECT_EQ(AddressLsb(kChorusFirstPosition + k), 2 + k);
        EXPECT_EQ(AddressLsb(kEqualizerFirstPosition + k), 2 + k);
    }
    for (int k = 0; k < kOverdriveCount; ++k) {
        EXPECT_EQ(AddressLsb(kOverdriveFirstPosition + k), 2 + k);
    }
    EXPECT_EQ(AddressMsb(kUpdateBracketPosition), 10);
    EXPECT_EQ(AddressLsb(kUpdateBracketPosition), 1);
    EXPECT_EQ(WireOffset(kUpdateBracketPosition), 0);
    EXPECT_EQ(UnitParameterAt(123), nullptr);
    EXPECT_EQ(UnitParameterAt(-1), nullptr);
}

TEST(ParameterChart, SectionsHoldTheirPositions) {
    auto positionsOf = [](UnitSection section) {
        std::set<int> found;
        for (int p = 0; p < kUnitParamCount; ++p) {
            if (UnitParameterAt(p)->section == section) found.insert(p);
        }
        return found;
    };
    auto range = [](int first, int last) {
        std::set<int> r;
        for (int p = first; p <= last; ++p)
            r.insert(p);
        return r;
    };
    EXPECT_EQ(positionsOf(kSectionVco1), range(0, 11));
    EXPECT_EQ(positionsOf(kSectionVco4), range(36, 47));
    EXPECT_EQ(positionsOf(kSectionFilter), range(64, 77));
    EXPECT_EQ(positionsOf(kSectionHarmDist), range(48, 55));
    std::set<int> envLfo = range(58, 63);
    envLfo.merge(range(85, 88));
    EXPECT_EQ(positionsOf(kSectionEnvLfo), envLfo);
    std::set<int> none = {56, 57};
    none.merge(range(78, 84));
    EXPECT_EQ(positionsOf(kSectionNone), none);
    EXPECT_EQ(positionsOf(kSectionEffect), range(89, 121));
    EXPECT_EQ(SectionSwitchIndex(kSectionVco1), 153);
    EXPECT_EQ(SectionSwitchIndex(kSectionEffect), 160);
}

TEST(DisplayWords, WordedParametersCoverTheirWholeRange) {
    EXPECT_STREQ(DisplayWord(48, 2), "o+5th");
    EXPECT_STREQ(DisplayWord(49, 3), "2 oct");
    EXPECT_STREQ(DisplayWord(69, -1), "off");
    EXPECT_EQ(DisplayWord(69, 0), nullptr);
    EXPECT_STREQ(DisplayWord(74, 1), "on");
    EXPECT_STREQ(DisplayWord(75, 3), "NTC");
    EXPECT_STREQ(DisplayWord(75, 4), "OFF");
    EXPECT_STREQ(DisplayWord(77, 1), "24dB");
    EXPECT_STREQ(DisplayWord(79, 1), "fix time");
    EXPECT_STREQ(DisplayWord(80, 0), "OMNI");
    EXPECT_EQ(DisplayWord(80, 7), nullptr);
    EXPECT_STREQ(DisplayWord(81, 0), "off");
    EXPECT_EQ(DisplayWord(81, 12), nullptr);
    EXPECT_STREQ(DisplayWord(83, 1), "trigger");
    EXPECT_STREQ(DisplayWord(84, 3), "last");
    EXPECT_STREQ(DisplayWord(89, 2), "overdrive");
    EXPECT_STREQ(DisplayWord(105, 0), "off");
    EXPECT_STREQ(DisplayWord(109, 1), "on");
    EXPECT_EQ(DisplayWord(90, 1), nullptr) << "chorus blend is a number";
    EXPECT_EQ(DisplayWord(0, 0), nullptr);

    for (int position = 0; position < kUnitParamCount; ++position) {
        bool anyWord = false;
        bool allWords = true;
        for (int v = PositionMinimum(position); v <= PositionMaximum(position); ++v) {
            const bool word = DisplayWord(position, v) != nullptr;
            anyWord |= word;
            allWords &= word;
        }
        const bool partial = position == 69 || position == 80 || position == 81;
        if (anyWord && !partial) {
            EXPECT_TRUE(allWords) << position;
        }
    }
}
