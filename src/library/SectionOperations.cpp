#include "library/SectionOperations.h"

#include <cstddef>

namespace {

constexpr int kOscillatorSlots = 12;

// clang-format off
constexpr ProgramValues kDefaultProgram = {
    0, 0, 0, 127, 0, 22, 76, 0, 127, 0, 0, 32,         // VCO1
    0, 17, 0, 0, 0, 0, 1, 0, 64, 0, 0, 0,              // VCO2
    0, -19, 0, 0, 0, 0, 1, 0, 64, 0, 0, 0,             // VCO3
    -12, -39, 0, 0, 0, 0, 1, 0, 0, 127, 64, 0,         // VCO4
    3, 0, 111, 0, 0, 0, 0, 64, 33, 73, 1, 1,           // harmonics, distortion, mixer, AR
    1, 23, 1, 1, 74, 0, 0, 74, 0, 23, 36, 0,           // envelopes, filter
    93, 18, 0, 0, 22, 1, 0, 0, 0, 0, 0, 0,             // filter, performance
    0, 1, 0, 0, 0,                                     // key priority, LFO
    0,                                                 // effect off
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};
// clang-format on

bool InRange(int slot, int first, int last) {
    return slot >= first && slot <= last;
}

}  // namespace

const ProgramValues& DefaultProgram() {
    return kDefaultProgram;
}

bool SlotInSection(int slot, UnitSection section, bool withEffectType) {
    switch (section) {
        case kSectionVco1:
        case kSectionVco2:
        case kSectionVco3:
        case kSectionVco4: {
            const int first = section * kOscillatorSlots;
            return InRange(slot, first, first + kOscillatorSlots - 1);
        }
        case kSectionFilter:
            return InRange(slot, 64, 77);
        case kSectionEnvLfo:
            return InRange(slot, 58, 63) || InRange(slot, 85, 88);
        case kSectionHarmDist:
            return InRange(slot, 48, 55);
        case kSectionEffect:
            return InRange(slot, withEffectType ? kEffectTypeSlot : kFirstEffectSlot, 103);
        default:
            return false;
    }
}

ProgramValues CopySections(ProgramValues program, const ProgramValues& source,
                           const SectionSelection& on, bool withEffectType) {
    for (int s = 0; s < kSectionCount; ++s) {
        if (!on[static_cast<size_t>(s)]) continue;
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            if (SlotInSection(slot, static_cast<UnitSection>(s), withEffectType)) {
                program[static_cast<size_t>(slot)] = source[static_cast<size_t>(slot)];
            }
        }
    }
    return program;
}

int SectionRandom::Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
}

ProgramValues DrawRandomProgram(SectionRandom& random, const ProgramValues& previous) {
    std::array<int, kUnitParamCount> drawn{};
    for (int position = 0; position < kUnitParamCount; ++position) {
        const int low = IsPwmLfoFrequency(position) ? 0 : PositionMinimum(position);
        const int high = PositionMaximum(position);
        drawn[static_cast<size_t>(position)] = low + random.Next() % (high - low + 1);
    }
    ProgramValues program = previous;
    const int effectType = drawn[kEffectTypeSlot];
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        // Off and chorus both take the chorus positions; overdrive fills only its four slots.
        const int position =
            SlotPosition(slot, effectType == kEffectOff ? kEffectChorus : effectType);
        if (position >= 0)
            program[static_cast<size_t>(slot)] = drawn[static_cast<size_t>(position)];
    }
    return program;
}

ProgramValues ResetProgram(const ProgramValues& previous, int effectType) {
    ProgramValues program = previous;
    for (int slot = 0; slot < kEffectTypeSlot; ++slot) {
        program[static_cast<size_t>(slot)] = UnitParameterAt(slot)->defaultValue;
    }
    // A full reset keeps the effect the panel shows.
    program[kEffectTypeSlot] = effectType;
    for (int slot = kFirstEffectSlot; slot < kProgramSlotCount; ++slot) {
        const bool overdriveKeeps =
            effectType == kEffectOverdrive && slot >= kFirstEffectSlot + kOverdriveCount;
        if (!overdriveKeeps) program[static_cast<size_t>(slot)] = 0;
    }
    if (effectType == kEffectEqualizer) {
        for (int slot = kFirstEffectSlot; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, kEffectEqualizer);
            program[static_cast<size_t>(slot)] = UnitParameterAt(position)->defaultValue;
        }
    }
    return program;
}

ProgramValues CopyOscillator(ProgramValues program, int source,
                             const std::array<bool, 4>& targets) {
    if (source < 0 || source > 3) return program;
    for (int target = 0; target < 4; ++target) {
        if (!targets[static_cast<size_t>(target)] || target == source) continue;
        for (int k = 0; k < kOscillatorSlots; ++k) {
            program[static_cast<size_t>(target * kOscillatorSlots + k)] =
                program[static_cast<size_t>(source * kOscillatorSlots + k)];
        }
    }
    return program;
}
