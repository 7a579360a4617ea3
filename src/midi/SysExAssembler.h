#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Puts system-exclusive messages back together when the MIDI back end delivers them in pieces:
// a delivery that opens with F0 but does not end with F7 is held, and the following data-byte
// deliveries are added until one ends with F7. Everything else passes through untouched.
//
// Used on the MIDI input thread only; one assembler per input port.
class SysExAssembler {
public:
    // The firmware message is 91441 bytes; a message longer than this is dropped whole.
    static constexpr size_t kDefaultLimit = 1u << 20;

    explicit SysExAssembler(size_t limit = kDefaultLimit) : limit_(limit) {}

    struct Message {
        const uint8_t* bytes = nullptr;
        size_t size = 0;
    };

    // Takes one delivery of the back end and returns the whole message it completes, or an empty
    // message while a system-exclusive message is still open. The bytes stay valid until the
    // next call.
    Message Feed(const uint8_t* bytes, size_t size);

    // Pieces thrown away so far: a message cut short by another message, or one over the limit.
    size_t DroppedCount() const { return dropped_; }
    bool IsOpen() const { return collecting_ || discarding_; }

private:
    Message Start(const uint8_t* bytes, size_t size);
    Message Continue(const uint8_t* bytes, size_t size);

    size_t limit_;
    std::vector<uint8_t> pending_;
    bool collecting_ = false;
    bool discarding_ = false;
    size_t dropped_ = 0;
};
