#pragma once

#include <cstddef>
#include <cstdint>

// Where the plug-in's outgoing messages go: the MIDI layer's output port in the application, a
// capture in the tests. Both threads may send; the port serialises its sends.
class MidiOutputPort {
public:
    virtual ~MidiOutputPort() = default;
    // Hands one message to the port; does nothing while no port is open.
    virtual void SendMessage(const uint8_t* bytes, size_t size) = 0;
};
