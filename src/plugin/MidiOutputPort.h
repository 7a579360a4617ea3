#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// Where the plug-in's outgoing messages go: the MIDI layer's output port in the application, a
// capture in the tests. Both threads may send; the port serialises its sends.
class MidiOutputPort {
public:
    // How much of a long message the port has handed to the MIDI service so far, out of the
    // whole; returning false breaks the message off there.
    using SendProgress = std::function<bool(size_t handed, size_t total)>;

    virtual ~MidiOutputPort() = default;
    // Hands one message to the port; does nothing while no port is open.
    virtual void SendMessage(const uint8_t* bytes, size_t size) = 0;
    // The same for a message that may take long to go out (a firmware image over a DIN cable
    // takes half a minute): progress hears of every piece handed on. A port that hands a message
    // on in one go says so with SendInOneGo.
    virtual void SendLongMessage(const uint8_t* bytes, size_t size,
                                 const SendProgress& progress) = 0;

    // The pace at which messages leave, in bytes a second, for telling how long a long message
    // takes; 0 for a port that hands them on as fast as they come.
    virtual uint32_t BytesPerSecond() const { return 0; }

protected:
    // SendLongMessage of a port that hands every message on whole: progress hears of it once.
    void SendInOneGo(const uint8_t* bytes, size_t size, const SendProgress& progress) {
        SendMessage(bytes, size);
        if (progress) progress(size, size);
    }
};
