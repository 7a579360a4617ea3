#include "unit/ProgramSlots.h"

#include "unit/UnitParameters.h"

int SlotPosition(int slot, int effectType) {
    if (slot < 0 || slot >= kProgramSlotCount) return -1;
    if (slot < kFirstEffectSlot) return slot;
    const int effectSlot = slot - kFirstEffectSlot;
    switch (effectType) {
        case kEffectChorus:
            return kChorusFirstPosition + effectSlot;
        case kEffectOverdrive:
            return effectSlot < kOverdriveCount ? kOverdriveFirstPosition + effectSlot : -1;
        case kEffectEqualizer:
            return kEqualizerFirstPosition + effectSlot;
        default:
            return -1;
    }
}

int SlotOffset(int slot, int effectType) {
    const int position = SlotPosition(slot, effectType);
    return position < 0 ? 0 : WireOffset(position);
}
