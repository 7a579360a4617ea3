#pragma once

#include <string>

#include "unit/ProgramSlots.h"
#include "unit/UnitParameters.h"

// A program of values within their parameters' ranges that differs for every seed, with the
// effect type seed % 4.
inline ProgramValues DistinctProgram(int seed) {
    ProgramValues program{};
    const int effectType = seed % 4;
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effectType);
        if (position < 0) continue;
        const int low = PositionMinimum(position);
        const int span = PositionMaximum(position) - low + 1;
        program[static_cast<size_t>(slot)] = low + (slot * 37 + seed * 11) % span;
    }
    program[kEffectTypeSlot] = effectType;
    return program;
}

// "01" .. "99": the numbers that begin the library's file names.
inline std::string TwoDigits(int n) {
    return (n < 10 ? "0" : "") + std::to_string(n);
}
