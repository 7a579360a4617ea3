#pragma once

#include "unit/ProgramSlots.h"
#include "unit/UnitMessages.h"

// Between the signed values of a program file and the bytes the unit stores.

// The unit bytes of a program. Each value is first held to the range of the parameter its slot
// carries ("EFFECT Type" to 0..3 like the rest, and the effect slots then follow the held type),
// so every byte is 0..127; slots that carry nothing under the effect type are 0.
ProgramBlock ProgramSlotsToUnitBytes(const ProgramValues& values);

// The file values of 104 unit bytes: each byte read as a signed 8-bit number less the offset of
// the parameter its slot carries under the effect type in slot 89; slots that carry nothing are 0.
ProgramValues UnitBytesToProgramSlots(const ProgramBlock& block);

// The values a program file holds for a block the unit would store: every value within its
// parameter's range, unused effect slots 0.
ProgramValues ClampProgramValues(const ProgramValues& values);
