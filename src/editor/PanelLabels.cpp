#include "editor/PanelLabels.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "unit/UnitParameters.h"

namespace {

// The twelve controls of each VCO row, the same in all four.
constexpr const char* kOscillatorLabels[12] = {
    "COARSE",
    "FINE",
    "BEAT",
    "SAW ENV\nDECAY",
    "SAW ENV\nAMP MOD",
    "PWM\nOFFSET",
    "PWM LFO\nFREQ",
    "PWM LFO\nDEPTH",
    "SAW",
    "SQUARE",
    "TRI",
    "VOLUME",
};
constexpr const char* kOscillatorGroups[4] = {"VCO 1", "VCO 2", "VCO 3", "VCO 4"};
constexpr int kOscillatorPositions = 48;

// clang-format off
// Positions 48..121: printed name, group, printed under the control.
constexpr std::array<PanelLabel, kUnitParamCount - kOscillatorPositions> kLabels = {{
    {"VOICE 2\nPITCH", "HARMONICS", true},          // 48
    {"VOICE 3\nPITCH", "HARMONICS", true},          // 49
    {"BASS\nVOL", "HARMONICS", true},                  // 50
    {"VOICE 1\n+1 OCT", "HARMONICS", true},            // 51
    {"VOICE 2\nVOL", "HARMONICS", true},               // 52
    {"VOICE 3\nVOL", "HARMONICS", true},               // 53
    {"DIST\nGRADE", "DISTORTION", true},               // 54
    {"DIST\nTONE", "DISTORTION", true},                // 55
    {"BASS\nVOL", "OUTPUT", true},                     // 56
    {"VCF\nVOL", "OUTPUT", true},                      // 57
    {"AR\nATTACK", "ENVELOPES", true},                 // 58
    {"AR\nRELEASE", "ENVELOPES", true},                // 59
    {"AD\nATTACK", "ENVELOPES", true},                 // 60
    {"AD\nRELEASE", "ENVELOPES", true},                // 61
    {"NOISE\nATTACK", "ENVELOPES", true},              // 62
    {"NOISE\nRELEASE", "ENVELOPES", true},             // 63
    {"BASS\nVOL", "VCF INPUT", true},                  // 64
    {"DIST\nVOL", "VCF INPUT", true},                  // 65
    {"DIST\nTHRU AR", "VCF INPUT", true},              // 66
    {"VCO THRU\nINV AR", "VCF INPUT", true},           // 67
    {"NOISE\nVOL", "VCF INPUT", true},                 // 68
    {"VINTAGE\nFREQ", "VCF MODULATION", true},      // 69
    {"NEW\nFREQ", "VCF MODULATION", true},          // 70
    {"2ND\nFREQ", "VCF MODULATION", true},         // 71
    {"ENV\nFOLLOW", "VCF MODULATION", true},           // 72
    {"AD\nGEN", "VCF MODULATION", true},               // 73
    {"PITCH\nFOLLOW", "VCF MODULATION", true},         // 74
    {"VCF TYPE", "VCF", true},                         // 75
    {"RESONANCE", "VCF", true},                        // 76
    {"SLOPE", "VCF", true},                            // 77
    {"PORTA", "PERFORMANCE", true},               // 78
    {"MODE", "PORTAMENTO", true},                      // 79
    {nullptr, "PERFORMANCE", false},                   // 80: MIDI channel, set on the unit
    {"BEND RANGE", "PERFORMANCE", true},               // 81
    {"OCTAVE", "PERFORMANCE", true},                   // 82
    {"TRIG", "PERFORMANCE", true},                // 83
    {"PRIORITY", "PERFORMANCE", true},                 // 84
    {"RATE", "LFO", true},                             // 85
    {"DELAY", "LFO", true},                            // 86
    {"VCF\nDEPTH", "LFO", true},                       // 87
    {"VCO\nDEPTH", "LFO", true},                       // 88
    {"EFFECT\nTYPE", "EFFECT", true},                  // 89
    {"BASS", "CHORUS BLEND", false},                   // 90
    {"VCF", "CHORUS BLEND", false},                    // 91
    {"LFO A\nFREQ", "LFO", true},                      // 92
    {"LFO B\nFREQ", "LFO", true},                      // 93
    {"LEVEL", "TAP 1", true},                          // 94
    {"DELAY", "TAP 1", true},                          // 95
    {"MOD A", "TAP 1", true},                          // 96
    {"MOD B", "TAP 1", true},                          // 97
    {"LEVEL", "TAP 2", true},                          // 98
    {"DELAY", "TAP 2", true},                          // 99
    {"MOD A", "TAP 2", true},                          // 100
    {"MOD B", "TAP 2", true},                          // 101
    {"LEVEL", "FEEDBACK", true},                       // 102
    {"DAMPING", "FEEDBACK", true},                     // 103
    {"BASS", "OVERDRIVE BLEND", false},                // 104
    {"VCF", "OVERDRIVE BLEND", false},                 // 105
    {"DRIVE", "OVERDRIVE", true},                      // 106
    {"LEVEL", "OVERDRIVE", true},                      // 107
    {"BASS", "EQUALIZER BLEND", false},                // 108
    {"VCF", "EQUALIZER BLEND", false},                 // 109
    {"FREQ", "BASS", true},                            // 110
    {"SLOPE", "BASS", true},                           // 111
    {"BOOST", "BASS", true},                           // 112
    {"FREQ", "MID 1", true},                           // 113
    {"Q", "MID 1", true},                              // 114
    {"BOOST", "MID 1", true},                          // 115
    {"FREQ", "MID 2", true},                           // 116
    {"Q", "MID 2", true},                              // 117
    {"BOOST", "MID 2", true},                          // 118
    {"FREQ", "TREBLE", true},                          // 119
    {"SLOPE", "TREBLE", true},                         // 120
    {"BOOST", "TREBLE", true},                         // 121
}};
// clang-format on

// The oscillator rows' labels, made once from the row's twelve names and the four rows.
const std::array<PanelLabel, kOscillatorPositions>& OscillatorLabels() {
    static const std::array<PanelLabel, kOscillatorPositions> labels = [] {
        std::array<PanelLabel, kOscillatorPositions> made{};
        for (size_t i = 0; i < made.size(); ++i)
            made[i] = {kOscillatorLabels[i % 12], kOscillatorGroups[i / 12], true};
        return made;
    }();
    return labels;
}

std::string OneLine(const char* text) {
    std::string line = text;
    for (char& c : line) {
        if (c == '\n') c = ' ';
    }
    return line;
}

}  // namespace

const PanelLabel* PanelLabelOf(int position) {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    if (position < kOscillatorPositions) return &OscillatorLabels()[static_cast<size_t>(position)];
    return &kLabels[static_cast<size_t>(position - kOscillatorPositions)];
}

std::string PanelControlName(int position) {
    const PanelLabel* label = PanelLabelOf(position);
    if (label == nullptr || label->text == nullptr) return {};
    int sharing = 0;
    for (int other = 0; other < kUnitParamCount; ++other) {
        const PanelLabel* o = PanelLabelOf(other);
        if (o->text != nullptr && std::strcmp(o->text, label->text) == 0) ++sharing;
    }
    const std::string name = OneLine(label->text);
    return sharing > 1 ? std::string(label->group) + " " + name : name;
}
