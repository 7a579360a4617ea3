#include "midi/MidiBackend.h"

#include <rtmidi/RtMidi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
RtMidi::Api ApiOf(MidiBackend backend) {
    return backend == MidiBackend::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}

void ReportCreationError(const RtMidiError& error) {
    std::fprintf(stderr, "%s\n", error.getMessage().c_str());
}

// Tries the back end, and with Automatic the JACK back end after the ALSA sequencer failed.
// On success backend names the back end that worked.
template <typename Port>
std::unique_ptr<Port> Create(MidiBackend& backend, const std::string& clientName) {
    const bool automatic = backend == MidiBackend::Automatic;
    try {
        auto port = std::make_unique<Port>(ApiOf(backend), clientName);
        if (automatic) backend = MidiBackend::Alsa;
        return port;
    } catch (const RtMidiError& error) {
        if (!automatic) {
            ReportCreationError(error);
            return nullptr;
        }
    }
    try {
        auto port = std::make_unique<Port>(RtMidi::UNIX_JACK, clientName);
        backend = MidiBackend::Jack;
        return port;
    } catch (const RtMidiError& error) {
        ReportCreationError(error);
        return nullptr;
    }
}
}  // namespace

std::unique_ptr<RtMidiIn> CreateMidiIn(MidiBackend& backend, const std::string& clientName) {
    return Create<RtMidiIn>(backend, clientName);
}

std::unique_ptr<RtMidiOut> CreateMidiOut(MidiBackend& backend, const std::string& clientName) {
    return Create<RtMidiOut>(backend, clientName);
}

MidiBackend BackendFromEnvironment() {
    const char* name = std::getenv("ORVO_MIDI_BACKEND");
    if (name == nullptr) return MidiBackend::Automatic;
    if (std::strcmp(name, "jack") == 0) return MidiBackend::Jack;
    if (std::strcmp(name, "alsa") == 0) return MidiBackend::Alsa;
    return MidiBackend::Automatic;
}
