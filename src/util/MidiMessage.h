#pragma once

#include <cstdint>

// The status bytes that open and close a system-exclusive message. A message is system
// exclusive by its first byte, whatever its length.
constexpr uint8_t kSysExStart = 0xF0;
constexpr uint8_t kSysExEnd = 0xF7;

// A short MIDI message as it crosses between the MIDI link, the core and the editor.
struct MidiMessage {
    int32_t sampleOffset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// One whole system-exclusive message, F0 through F7. The record does not own the bytes; they
// stay valid for the duration of the call that receives it.
struct SysExMessage {
    int32_t sampleOffset = 0;
    int32_t size = 0;
    const uint8_t* bytes = nullptr;
};
