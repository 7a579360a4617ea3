#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "unit/UnitParameters.h"

// Turns the MIDI messages between the editor, the unit and the keyboard into lines a person can
// read: "VCO1 Tune = 12" for the three controllers of a parameter change, "program write 12",
// "dump of 12, checksum good", the unit's status replies and the firmware steps; the raw bytes
// for everything else. A parameter change is spread over three messages, so each stream keeps
// the address it last saw, and the effect type it last saw, which decides what the effect
// addresses mean.
class TrafficDecoder {
public:
    static constexpr int kStreamCount = 4;

    // stream tells apart the senders whose addresses must not mix (0..kStreamCount-1). kept
    // bytes of the message are at hand out of size.
    std::string Describe(int stream, const uint8_t* bytes, size_t kept, size_t size);

private:
    struct Registers {
        int msb = -1;
        int lsb = -1;
        int effectType = kEffectChorus;
    };

    std::string DescribeShort(Registers& registers, const uint8_t* bytes, size_t size);
    std::string DescribeController(Registers& registers, int controller, int value);
    std::string DescribeDataEntry(Registers& registers, int value);
    static std::string DescribeSysEx(const uint8_t* bytes, size_t kept, size_t size);

    std::array<Registers, kStreamCount> registers_{};
};
