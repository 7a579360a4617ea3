#include "library/db/ProgramLikeness.h"

#include <array>
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

namespace {

// For each effect type and slot, the position the slot carries (-1 for none) and the reciprocal
// of its parameter's range: the likeness sort measures every program of the library against one,
// and the parameter table is asked once.
struct SlotRange {
    int position = -1;
    double perStep = 0;
};
using RangeTable = std::array<std::array<SlotRange, kProgramSlotCount>, 4>;

RangeTable MakeRangeTable() {
    RangeTable table{};
    for (int type = 0; type < 4; ++type) {
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            SlotRange& range = table[static_cast<size_t>(type)][static_cast<size_t>(slot)];
            range.position = SlotPosition(slot, type);
            if (range.position < 0) continue;
            const int span = PositionMaximum(range.position) - PositionMinimum(range.position);
            range.perStep = span > 0 ? 1.0 / span : 0;
        }
    }
    return table;
}

const std::array<SlotRange, kProgramSlotCount>& RangesOf(int effectType) {
    static const RangeTable table = MakeRangeTable();
    // A type outside 0..3 carries no effect, as the unit reads it.
    return table[effectType >= 0 && effectType < 4 ? static_cast<size_t>(effectType) : 0];
}

}  // namespace

double ProgramDistance(const ProgramValues& a, const ProgramValues& b) {
    const auto& rangesA = RangesOf(a[kEffectTypeSlot]);
    const auto& rangesB = RangesOf(b[kEffectTypeSlot]);
    double distance = 0;
    for (size_t slot = 0; slot < rangesA.size(); ++slot) {
        const SlotRange& range = rangesA[slot];
        if (range.position != rangesB[slot].position) {
            distance += 1;
            continue;
        }
        const double step = std::abs(a[slot] - b[slot]) * range.perStep;
        distance += step < 1 ? step : 1;
    }
    return distance;
}
