#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "plugin/MidiOutputPort.h"

// The plug-in's one output, made once: its messages go to the port the output role is open on
// now, a real port's outlet or the virtual Orvo, and nowhere while there is none. The link
// switches the route on the GUI thread while either thread may be sending; both ports live as
// long as the link, so a message under way finishes on the port it started on.
class MidiOutputRoute : public MidiOutputPort {
public:
    void SetTarget(MidiOutputPort* target) { target_.store(target); }
    MidiOutputPort* Target() const { return target_.load(); }

    void SendMessage(const uint8_t* bytes, size_t size) override {
        if (MidiOutputPort* target = target_.load()) target->SendMessage(bytes, size);
    }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        if (MidiOutputPort* target = target_.load()) target->SendLongMessage(bytes, size, progress);
    }

private:
    std::atomic<MidiOutputPort*> target_{nullptr};
};
