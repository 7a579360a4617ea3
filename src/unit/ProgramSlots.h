#pragma once

#include <array>
#include <cstdint>

#include "unit/UnitMessages.h"

// A program as 104 slots: slots 0..89 hold positions 0..89; slots 90..103 hold the effect that
// slot 89 ("EFFECT Type") selects: the chorus, the overdrive (four slots, the rest unused) or the
// equalizer, and nothing with the effect off.

constexpr int kProgramSlotCount = kProgramBlockSize;
constexpr int kFirstEffectSlot = 90;
constexpr int kEffectTypeSlot = 89;

// One program as a file holds it: the signed value of each slot.
using ProgramValues = std::array<int32_t, kProgramSlotCount>;

// The unit position slot 0..103 carries under an effect type, or -1 for a slot that carries
// nothing (an unused effect slot, an effect type outside 1..3, or a slot out of range).
int SlotPosition(int slot, int effectType);

// The wire offset of the position a slot carries; 0 for a slot that carries nothing.
int SlotOffset(int slot, int effectType);
