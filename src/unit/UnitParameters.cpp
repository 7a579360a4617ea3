#include "unit/UnitParameters.h"

#include <array>
#include <cstddef>

namespace {

// clang-format off
// name, minimum, maximum, default, wire offset, address MSB, LSB, section
constexpr std::array<UnitParameter, kUnitParamCount + 1> kUnitParameters = {{
    {"VCO1 coarse",                       -12,   48,   0,  12, 11,  1, kSectionVco1},  // 0
    {"VCO1 fine",                         -63,   63,   0,  63, 11,  2, kSectionVco1},  // 1
    {"VCO1 beat",                         -63,   63,   0,  63, 11,  3, kSectionVco1},  // 2
    {"VCO1 saw env decay",                  0,  127,   0,   0, 11,  4, kSectionVco1},  // 3
    {"VCO1 saw env ampmod",               -63,   63,   0,  63, 11,  5, kSectionVco1},  // 4
    {"VCO1 PWM offset",                     0,  127,   0,   0, 11,  6, kSectionVco1},  // 5
    {"VCO1 PWM LFO frq",                    1,  127,   1,   0, 11,  7, kSectionVco1},  // 6
    {"VCO1 PWM LFO depth",                  0,  127,   0,   0, 11,  8, kSectionVco1},  // 7
    {"VCO1 saw",                            0,  127,   0,   0, 11,  9, kSectionVco1},  // 8
    {"VCO1 square",                         0,  127,   0,   0, 11, 10, kSectionVco1},  // 9
    {"VCO1 tri",                            0,  127,   0,   0, 11, 11, kSectionVco1},  // 10
    {"VCO1 volume",                         0,  127,   0,   0, 11, 12, kSectionVco1},  // 11
    {"VCO2 coarse",                       -12,   48,   0,  12, 12,  1, kSectionVco2},  // 12
    {"VCO2 fine",                         -63,   63,   0,  63, 12,  2, kSectionVco2},  // 13
    {"VCO2 beat",                         -63,   63,   0,  63, 12,  3, kSectionVco2},  // 14
    {"VCO2 saw env decay",                  0,  127,   0,   0, 12,  4, kSectionVco2},  // 15
    {"VCO2 saw env ampmod",               -63,   63,   0,  63, 12,  5, kSectionVco2},  // 16
    {"VCO2 PWM offset",                     0,  127,   0,   0, 12,  6, kSectionVco2},  // 17
    {"VCO PWM LFO frq",                     1,  127,   1,   0, 12,  7, kSectionVco2},  // 18
    {"VCO2 PWM LFO depth",                  0,  127,   0,   0, 12,  8, kSectionVco2},  // 19
    {"VCO2 saw",                            0,  127,   0,   0, 12,  9, kSectionVco2},  // 20
    {"VCO2 square",                         0,  127,   0,   0, 12, 10, kSectionVco2},  // 21
    {"VCO2 tri",                            0,  127,   0,   0, 12, 11, kSectionVco2},  // 22
    {"VCO2 volume",                         0,  127,   0,   0, 12, 12, kSectionVco2},  // 23
    {"VCO3 coarse",                       -12,   48,   0,  12, 13,  1, kSectionVco3},  // 24
    {"VCO3 fine",                         -63,   63,   0,  63, 13,  2, kSectionVco3},  // 25
    {"VCO3 beat",                         -63,   63,   0,  63, 13,  3, kSectionVco3},  // 26
    {"VCO3 saw env decay",                  0,  127,   0,   0, 13,  4, kSectionVco3},  // 27
    {"VCO3 saw env ampmod",               -63,   63,   0,  63, 13,  5, kSectionVco3},  // 28
    {"VCO3 PWM offset",                     0,  127,   0,   0, 13,  6, kSectionVco3},  // 29
    {"VCO3 PWM LFO frq",                    1,  127,   1,   0, 13,  7, kSectionVco3},  // 30
    {"VCO3 PWM LFO depth",                  0,  127,   0,   0, 13,  8, kSectionVco3},  // 31
    {"VCO3 saw",                            0,  127,   0,   0, 13,  9, kSectionVco3},  // 32
    {"VCO3 square",                         0,  127,   0,   0, 13, 10, kSectionVco3},  // 33
    {"VCO3 tri",                            0,  127,   0,   0, 13, 11, kSectionVco3},  // 34
    {"VCO3 volume",                         0,  127,   0,   0, 13, 12, kSectionVco3},  // 35
    {"VCO4 coarse",                       -12,   48,   0,  12, 14,  1, kSectionVco4},  // 36
    {"VCO4 fine",                         -63,   63,   0,  63, 14,  2, kSectionVco4},  // 37
    {"VCO4 beat",                         -63,   63,   0,  63, 14,  3, kSectionVco4},  // 38
    {"VCO4 saw env decay",                  0,  127,   0,   0, 14,  4, kSectionVco4},  // 39
    {"VCO4 saw env ampmod",               -63,   63,   0,  63, 14,  5, kSectionVco4},  // 40
    {"VCO4 PWM offset",                     0,  127,   0,   0, 14,  6, kSectionVco4},  // 41
    {"VCO4 PWM LFO frq",                    1,  127,   1,   0, 14,  7, kSectionVco4},  // 42
    {"VCO4 PWM LFO depth",                  0,  127,   0,   0, 14,  8, kSectionVco4},  // 43
    {"VCO4 saw",                            0,  127,   0,   0, 14,  9, kSectionVco4},  // 44
    {"VCO4 square",                         0,  127,   0,   0, 14, 10, kSectionVco4},  // 45
    {"VCO4 tri",                            0,  127,   0,   0, 14, 11, kSectionVco4},  // 46
    {"VCO4 volume",                         0,  127,   0,   0, 14, 12, kSectionVco4},  // 47
    {"voice2 transposition",                0,    3,   0,   0, 15,  1, kSectionHarmDist},  // 48
    {"voice3 transposition",                0,    3,   0,   0, 15,  2, kSectionHarmDist},  // 49
    {"bass volume",                         0,  127,   0,   0, 15,  3, kSectionHarmDist},  // 50
    {"voice1(+1oct) volume",                0,  127,   0,   0, 15,  4, kSectionHarmDist},  // 51
    {"voice2(var.) volume",                 0,  127,   0,   0, 15,  5, kSectionHarmDist},  // 52
    {"voice3(var.) volume",                 0,  127,   0,   0, 15,  6, kSectionHarmDist},  // 53
    {"distortion grade",                    0,   31,   0,   0, 15,  7, kSectionHarmDist},  // 54
    {"distortion tone",                     0,  127,   0,   0, 15,  8, kSectionHarmDist},  // 55
    {"bass volume",                         0,  127,   0,   0, 16,  1, kSectionNone},  // 56
    {"VCF volume",                          0,  127,   0,   0, 16,  2, kSectionNone},  // 57
    {"AR attack",                           1,  127,   1,   0, 17,  1, kSectionEnvLfo},  // 58
    {"AR release",                          1,  127,   1,   0, 17,  2, kSectionEnvLfo},  // 59
    {"AD attack",                           1,  127,   1,   0, 17,  3, kSectionEnvLfo},  // 60
    {"AD release",                          1,  127,   1,   0, 17,  4, kSectionEnvLfo},  // 61
    {"Noise attack",                        1,  127,   1,   0, 17,  5, kSectionEnvLfo},  // 62
    {"Noise release",                       1,  127,   1,   0, 17,  6, kSectionEnvLfo},  // 63
    {"bass volume",                         0,  127,   0,   0, 18,  1, kSectionFilter},  // 64
    {"distortion volume",                   0,  127,   0,   0, 18,  2, kSectionFilter},  // 65
    {"distortion through AR",               0,  127,   0,   0, 18,  3, kSectionFilter},  // 66
    {"VCO through inverse AR",              0,  127,   0,   0, 18,  4, kSectionFilter},  // 67
    {"Noise volume",                        0,  127,   0,   0, 18,  5, kSectionFilter},  // 68
    {"VCF modulation frequency vintage",   -1,   80,  -1,   1, 18,  6, kSectionFilter},  // 69
    {"VCF modulation frequency new",       36,  122,  36,   0, 18,  7, kSectionFilter},  // 70
    {"2nd VCF modulation frequency",        0,   24,   0,   0, 18,  8, kSectionFilter},  // 71
    {"VCF modulation envelope follower",    0,  127,   0,   0, 18,  9, kSectionFilter},  // 72
    {"VCF modulation AD generator",         0,  127,   0,   0, 18, 10, kSectionFilter},  // 73
    {"VCF modulation pitch follow",         0,    1,   0,   0, 18, 11, kSectionFilter},  // 74
    {"VCF type",                            0,    4,   0,   0, 18, 12, kSectionFilter},  // 75
    {"VCF Q",                               7,  127,   7,   0, 18, 13, kSectionFilter},  // 76
    {"VCF slope",                           0,    1,   0,   0, 18, 14, kSectionFilter},  // 77
    {"portamento time",                     0,  127,   0,   0, 19,  1, kSectionNone},  // 78
    {"portamento mode",                     0,    1,   0,   0, 19,  2, kSectionNone},  // 79
    {"MIDI channel",                        0,   16,   0,   0, 19,  3, kSectionNone},  // 80
    {"pitch bend range",                    0,   12,   0,   0, 19,  4, kSectionNone},  // 81
    {"transpose octave",                   -2,    1,   0,   2, 19,  5, kSectionNone},  // 82
    {"trig/gate mode",                      0,    1,   0,   0, 19,  6, kSectionNone},  // 83
    {"key priority",                        0,    3,   0,   0, 19,  7, kSectionNone},  // 84
    {"LFO frequency",                       1,  127,   1,   0, 20,  1, kSectionEnvLfo},  // 85
    {"LFO delay",                           0,  127,   0,   0, 20,  2, kSectionEnvLfo},  // 86
    {"LFO VCF depth",                       0,  127,   0,   0, 20,  3, kSectionEnvLfo},  // 87
    {"LFO VCO depth",                       0,  127,   0,   0, 20,  4, kSectionEnvLfo},  // 88
    {"EFFECT Type",                         0,    3,   0,   0, 21,  1, kSectionEffect},  // 89
    {"Mod Blend BASS",                      0,  127,   0,   0, 21,  2, kSectionEffect},  // 90
    {"Mod Blend VCF",                       0,  127,   0,   0, 21,  3, kSectionEffect},  // 91
    {"LFO A frq.",                          0,  127,   0,   0, 21,  4, kSectionEffect},  // 92
    {"LFO B frq.",                          0,  127,   0,   0, 21,  5, kSectionEffect},  // 93
    {"Level1",                            -64,   63,   0,  64, 21,  6, kSectionEffect},  // 94
    {"Delay1",                              0,  127,   0,   0, 21,  7, kSectionEffect},  // 95
    {"Mod1 A",                              0,  127,   0,   0, 21,  8, kSectionEffect},  // 96
    {"Mod1 B",                              0,  127,   0,   0, 21,  9, kSectionEffect},  // 97
    {"Level2",                            -64,   63,   0,  64, 21, 10, kSectionEffect},  // 98
    {"Delay2",                              0,  127,   0,   0, 21, 11, kSectionEffect},  // 99
    {"Mod2 A",                              0,  127,   0,   0, 21, 12, kSectionEffect},  // 100
    {"Mod2 B",                              0,  127,   0,   0, 21, 13, kSectionEffect},  // 101
    {"Feedback level",                      0,  127,   0,   0, 21, 14, kSectionEffect},  // 102
    {"Feedback damping",                    0,  127,   0,   0, 21, 15, kSectionEffect},  // 103
    {"Blend BASS",                          0,    1,   0,   0, 21,  2, kSectionEffect},  // 104
    {"Blend VCF",                           0,    1,   0,   0, 21,  3, kSectionEffect},  // 105
    {"Drive",                               0,  127,   0,   0, 21,  4, kSectionEffect},  // 106
    {"Level",                              -6,    6,   0,   6, 21,  5, kSectionEffect},  // 107
    {"Blend BASS",                          0,    1,   0,   0, 21,  2, kSectionEffect},  // 108
    {"Blend VCF",                           0,    1,   0,   0, 21,  3, kSectionEffect},  // 109
    {"Bass frq.",                           0,  127,   0,   0, 21,  4, kSectionEffect},  // 110
    {"Bass Slope",                          0,  127,   0,   0, 21,  5, kSectionEffect},  // 111
    {"Bass Boost",                        -20,   20,   0,  20, 21,  6, kSectionEffect},  // 112
    {"Mid1 frq.",                           0,  127,   0,   0, 21,  7, kSectionEffect},  // 113
    {"Mid1 Q",                             10,  100,  10,   0, 21,  8, kSectionEffect},  // 114
    {"Mid1 Boost",                        -20,   20,   0,  20, 21,  9, kSectionEffect},  // 115
    {"Mid2 frq.",                           0,  127,   0,   0, 21, 10, kSectionEffect},  // 116
    {"Mid2 Q",                             10,  100,  10,   0, 21, 11, kSectionEffect},  // 117
    {"Mid2 Boost",                        -20,   20,   0,  20, 21, 12, kSectionEffect},  // 118
    {"Treble frq.",                         0,  127,   0,   0, 21, 13, kSectionEffect},  // 119
    {"Treble Slope",                        0,  127,   0,   0, 21, 14, kSectionEffect},  // 120
    {"Treble Boost",                      -15,   15,   0,  15, 21, 15, kSectionEffect},  // 121
    {"",                                    0,    1,   0,   0, 10,  1, kSectionNone},  // 122: update bracket
}};
// clang-format on

struct DisplayWords {
    int position;
    int firstValue;
    std::array<const char*, 5> words;
};

constexpr DisplayWords kDisplayWords[] = {
    {48, 0, {"5th", "oct", "o+5th", "2 oct"}},
    {49, 0, {"5th", "oct", "o+5th", "2 oct"}},
    {69, -1, {"off"}},
    {74, 0, {"off", "on"}},
    {75, 0, {"LPF", "HPF", "BPF", "NTC", "OFF"}},
    {77, 0, {"12dB", "24dB"}},
    {79, 0, {"fix rate", "fix time"}},
    {80, 0, {"OMNI"}},
    {81, 0, {"off"}},
    {83, 0, {"gate", "trigger"}},
    {84, 0, {"lower", "upper", "first", "last"}},
    {89, 0, {"off", "chorus", "overdrive", "equalizer"}},
    {104, 0, {"off", "on"}},
    {105, 0, {"off", "on"}},
    {108, 0, {"off", "on"}},
    {109, 0, {"off", "on"}},
};

constexpr const char* kSectionNames[kSectionCount] = {
    "VCO1", "VCO2", "VCO3", "VCO4", "Filter", "EnvLFO", "HarmDist", "Effect",
};

}  // namespace

const UnitParameter* UnitParameterAt(int position) {
    if (position < 0 || position > kUpdateBracketPosition) return nullptr;
    return &kUnitParameters[static_cast<size_t>(position)];
}

int WireOffset(int position) {
    const UnitParameter* p = UnitParameterAt(position);
    return p ? p->wireOffset : 0;
}

int AddressMsb(int position) {
    const UnitParameter* p = UnitParameterAt(position);
    return p ? p->addressMsb : 0;
}

int AddressLsb(int position) {
    const UnitParameter* p = UnitParameterAt(position);
    return p ? p->addressLsb : 0;
}

int PositionOfAddress(int msb, int lsb, int effectType) {
    // Every effect overlays the addresses from 21/2 on in its own way.
    const int firstEffectMsb = AddressMsb(kChorusFirstPosition);
    const int firstEffectLsb = AddressLsb(kChorusFirstPosition);
    if (msb == firstEffectMsb && lsb >= firstEffectLsb) {
        const int effectSlot = lsb - firstEffectLsb;
        switch (effectType) {
            case kEffectChorus:
                return effectSlot < kChorusCount ? kChorusFirstPosition + effectSlot : -1;
            case kEffectOverdrive:
                return effectSlot < kOverdriveCount ? kOverdriveFirstPosition + effectSlot : -1;
            case kEffectEqualizer:
                return effectSlot < kEqualizerCount ? kEqualizerFirstPosition + effectSlot : -1;
            default:
                return -1;
        }
    }
    for (int p = 0; p < kChorusFirstPosition; ++p) {
        if (AddressMsb(p) == msb && AddressLsb(p) == lsb) return p;
    }
    return AddressMsb(kUpdateBracketPosition) == msb && AddressLsb(kUpdateBracketPosition) == lsb
               ? kUpdateBracketPosition
               : -1;
}

int PositionMinimum(int position) {
    const UnitParameter* p = UnitParameterAt(position);
    return p ? p->minimum : 0;
}

int PositionMaximum(int position) {
    const UnitParameter* p = UnitParameterAt(position);
    return p ? p->maximum : 0;
}

const char* DisplayWord(int position, int value) {
    for (const DisplayWords& entry : kDisplayWords) {
        if (entry.position != position) continue;
        const int slot = value - entry.firstValue;
        if (slot < 0 || slot >= static_cast<int>(entry.words.size())) return nullptr;
        return entry.words[static_cast<size_t>(slot)];
    }
    return nullptr;
}

const char* SectionName(UnitSection section) {
    if (section < 0 || section >= kSectionCount) return "";
    return kSectionNames[section];
}
