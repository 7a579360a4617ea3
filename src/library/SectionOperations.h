#pragma once

#include <array>
#include <cstdint>

#include "unit/ProgramSlots.h"
#include "unit/UnitParameters.h"

// The panel's ways of rebuilding parts of a program: the built-in default sound, random values,
// the neutral values of the parameter table, and one oscillator copied onto others. Each works
// on a program's 104 slots and touches exactly the slots of the sections that are ticked.

using SectionSelection = std::array<bool, kSectionCount>;

constexpr bool AllSections(const SectionSelection& on) {
    for (bool s : on) {
        if (!s) return false;
    }
    return true;
}

// The built-in default program, as file values.
const ProgramValues& DefaultProgram();

// Whether a slot belongs to a section. The effect section holds the effect type (slot 89) for
// default and random, but only the effect slots 90..103 for reset, which keeps the effect type.
bool SlotInSection(int slot, UnitSection section, bool withEffectType);

// program with the slots of every ticked section taken from source.
ProgramValues CopySections(ProgramValues program, const ProgramValues& source,
                           const SectionSelection& on, bool withEffectType);

// The pseudo-random generator the random button draws from: x = x * 214013 + 2531011 modulo
// 2^32, giving (x >> 16) & 7FFF.
class SectionRandom {
public:
    explicit SectionRandom(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    int Next();

private:
    uint32_t state_;
};

// Random values for all 122 positions arranged as program slots by the drawn effect type;
// overdrive leaves slots 94..103 as previous had them.
ProgramValues DrawRandomProgram(SectionRandom& random, const ProgramValues& previous);

// The neutral values of the parameter table, with the effect slots for the effect type the
// panel shows: 0 for off and chorus, 0 for the overdrive's four slots (the others kept from
// previous), 0 with "Mid1 Q" and "Mid2 Q" at 10 for the equalizer. Slot 89 holds effectType.
ProgramValues ResetProgram(const ProgramValues& previous, int effectType);

// program with the oscillator source (0..3) copied onto every ticked target.
ProgramValues CopyOscillator(ProgramValues program, int source, const std::array<bool, 4>& targets);
