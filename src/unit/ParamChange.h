#pragma once

#include <array>
#include <cstdint>

#include "util/MidiMessage.h"

// The controllers of a parameter change: the address (a non-registered parameter number, MSB
// and LSB) and the value.
constexpr uint8_t kControllerNrpnMsb = 0x63;
constexpr uint8_t kControllerNrpnLsb = 0x62;
constexpr uint8_t kControllerDataEntry = 0x06;

// The remembered previous position that stands for none: its address 0/0 matches no position,
// so the next change sends both address bytes.
constexpr int kNoPreviousPosition = 123;

// One parameter change as the unit takes it: up to three control changes on channel 1 (B0),
// 99 with the address MSB, 98 with the LSB and 6 with the value. The address bytes are left out
// when the unit still holds them from the previous position.
struct ParamChange {
    std::array<MidiMessage, 3> messages{};
    int count = 0;
};

// The change for position 0..122 (122 is the update bracket) to value, after previousKey was the
// last position sent (a key outside 0..122 matches no address). The value is held to the
// position's range first, so the data byte is always 0..127. Nothing for another position.
ParamChange EncodeParamChange(int position, int value, int previousKey);
