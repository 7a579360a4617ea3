#pragma once

#include <rtmidi/RtMidi.h>

#include <string>

// The first port of the JACK back end's list whose name contains part; RtMidiIn lists the
// ports one can read from, RtMidiOut those one can send to.
template <typename Port>
std::string JackPortNamed(const std::string& part) {
    Port port(RtMidi::UNIX_JACK, "orvo name probe");
    for (unsigned i = 0; i < port.getPortCount(); ++i) {
        const std::string name = port.getPortName(i);
        if (name.find(part) != std::string::npos) return name;
    }
    return {};
}
