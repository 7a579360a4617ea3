#include "unit/ParamChange.h"

#include <algorithm>

#include "unit/UnitParameters.h"

namespace {

constexpr uint8_t kControlChange = 0xB0;

void Add(ParamChange& change, uint8_t controller, int value) {
    MidiMessage& m = change.messages[static_cast<size_t>(change.count++)];
    m.status = kControlChange;
    m.data1 = controller;
    m.data2 = static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

ParamChange EncodeParamChange(int position, int value, int previousKey) {
    ParamChange change;
    const UnitParameter* parameter = UnitParameterAt(position);
    if (!parameter) return change;
    const UnitParameter* previous = UnitParameterAt(previousKey);
    // The sentinel 123 and panel-side keys carry the address 0/0, which no position has.
    const int previousMsb = previous ? previous->addressMsb : 0;
    const int previousLsb = previous ? previous->addressLsb : 0;
    const bool msbDiffers = parameter->addressMsb != previousMsb;
    // After "EFFECT Type" the unit has switched its effect overlay and wants the MSB again.
    if (msbDiffers || previousKey == kEffectTypePosition) {
        Add(change, kControllerNrpnMsb, parameter->addressMsb);
    }
    if (msbDiffers || parameter->addressLsb != previousLsb) {
        Add(change, kControllerNrpnLsb, parameter->addressLsb);
    }
    const int held = std::clamp(value, static_cast<int>(parameter->minimum),
                                static_cast<int>(parameter->maximum));
    Add(change, kControllerDataEntry, held + parameter->wireOffset);
    return change;
}
