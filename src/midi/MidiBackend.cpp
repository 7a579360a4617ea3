#include "midi/MidiBackend.h"

#include <rtmidi/RtMidi.h>

#include <atomic>
#include <chrono>
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

// When the JACK back end is only a fallback, a failed JACK client is not tried again for a
// moment: the ports are made one after the other at start-up, and with neither an ALSA sequencer
// nor a JACK server each attempt costs milliseconds for the same answer. A server started later
// is found by the next attempt after the pause.
constexpr auto kJackRetryPause = std::chrono::seconds(1);
std::atomic<std::chrono::steady_clock::rep> jackFailedAt{0};

bool JackFailedJustNow() {
    const auto failed = std::chrono::steady_clock::duration(jackFailedAt.load());
    if (failed.count() == 0) return false;
    return std::chrono::steady_clock::now().time_since_epoch() - failed < kJackRetryPause;
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
    if (JackFailedJustNow()) return nullptr;
    try {
        auto port = std::make_unique<Port>(RtMidi::UNIX_JACK, clientName);
        backend = MidiBackend::Jack;
        jackFailedAt = 0;
        return port;
    } catch (const RtMidiError& error) {
        ReportCreationError(error);
        jackFailedAt = std::chrono::steady_clock::now().time_since_epoch().count();
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
