#include "library/db/ProgramLikeness.h"

#include <cstdio>
#include <cstdlib>

#include "unit/ProgramConversion.h"
#include "unit/UnitParameters.h"

std::string ProgramFingerprint(const ProgramValues& values) {
    // FNV-1a over the unit bytes; the database also compares the bytes themselves, so a clash
    // of two keys can never merge two programs.
    const ProgramBlock block = ProgramSlotsToUnitBytes(values);
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const uint8_t byte : block) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

double ProgramDistance(const ProgramValues& a, const ProgramValues& b) {
    const int typeA = a[kEffectTypeSlot];
    const int typeB = b[kEffectTypeSlot];
    double distance = 0;
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int positionA = SlotPosition(slot, typeA);
        const int positionB = SlotPosition(slot, typeB);
        if (positionA != positionB) {
            distance += 1;
            continue;
        }
        if (positionA < 0) continue;
        const int range = PositionMaximum(positionA) - PositionMinimum(positionA);
        if (range <= 0) continue;
        const size_t s = static_cast<size_t>(slot);
        const int difference = std::abs(a[s] - b[s]);
        distance += difference >= range ? 1.0 : static_cast<double>(difference) / range;
    }
    return distance;
}
