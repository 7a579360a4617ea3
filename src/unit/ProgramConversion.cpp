#include "unit/ProgramConversion.h"

#include <algorithm>

#include "unit/UnitParameters.h"

ProgramValues ClampProgramValues(const ProgramValues& values) {
    ProgramValues held{};
    const int effectType = std::clamp(values[kEffectTypeSlot], PositionMinimum(kEffectTypePosition),
                                      PositionMaximum(kEffectTypePosition));
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effectType);
        if (position < 0) continue;
        held[static_cast<size_t>(slot)] =
            std::clamp(values[static_cast<size_t>(slot)], PositionMinimum(position),
                       PositionMaximum(position));
    }
    return held;
}

ProgramBlock ProgramSlotsToUnitBytes(const ProgramValues& values) {
    const ProgramValues held = ClampProgramValues(values);
    const int effectType = held[kEffectTypeSlot];
    ProgramBlock block{};
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int value = held[static_cast<size_t>(slot)] + SlotOffset(slot, effectType);
        block[static_cast<size_t>(slot)] = static_cast<uint8_t>(value);
    }
    return block;
}

ProgramValues UnitBytesToProgramSlots(const ProgramBlock& block) {
    ProgramValues values{};
    const int effectType = static_cast<int8_t>(block[kEffectTypeSlot]);
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        if (SlotPosition(slot, effectType) < 0) continue;
        values[static_cast<size_t>(slot)] =
            static_cast<int8_t>(block[static_cast<size_t>(slot)]) - SlotOffset(slot, effectType);
    }
    return values;
}
