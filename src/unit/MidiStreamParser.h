#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// Splits a MIDI byte stream into messages the way a unit's input does: running status,
// real-time bytes anywhere (even inside a system-exclusive message), and system-exclusive
// messages that arrive in any number of pieces. A status byte other than real-time inside a
// system-exclusive message breaks it off, as it would on the cable.
class MidiStreamParser {
public:
    // Beyond this a system-exclusive message is counted but not kept; the largest the unit takes
    // is a firmware update of 91441 bytes.
    static constexpr size_t kLargestSysEx = 128 * 1024;

    enum class Broken {
        kInterrupted,  // a status byte came before F7
        kTooLong,      // longer than kLargestSysEx
    };

    // A channel, system-common or real-time message, status byte first.
    std::function<void(const uint8_t* bytes, size_t size)> onShortMessage;
    // A whole system-exclusive message, F0 through F7.
    std::function<void(const uint8_t* bytes, size_t size)> onSysEx;
    // A system-exclusive message that was dropped, with the bytes it had reached.
    std::function<void(size_t received, Broken why)> onBrokenSysEx;
    // Data bytes with no status to belong to, and stray F7s, are dropped and counted.
    size_t StrayBytes() const { return strayBytes_; }

    void Feed(const uint8_t* bytes, size_t size);
    bool InSysEx() const { return inSysEx_; }

private:
    void Status(uint8_t status);
    void Data(uint8_t data);
    void BreakSysEx(Broken why);
    void Emit(const uint8_t* bytes, size_t size);

    bool inSysEx_ = false;
    size_t sysExReceived_ = 0;
    std::vector<uint8_t> sysEx_;
    uint8_t message_[3] = {};
    size_t have_ = 0;
    size_t need_ = 0;
    // Running status for channel messages; 0 when none applies.
    uint8_t runningStatus_ = 0;
    size_t strayBytes_ = 0;
};
