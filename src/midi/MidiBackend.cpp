#include "midi/MidiBackend.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "midi/RtMidiApi.h"

namespace {
// How the reason of a failed choice names each back end.
const char* ReasonLabel(MidiBackend backend) {
    return backend == MidiBackend::Jack ? "JACK" : "ALSA sequencer";
}

// When the JACK back end is only a fallback, a failed JACK client is not tried again for a
// moment: the ports are made one after the other at start-up, and with neither an ALSA sequencer
// nor a JACK server each attempt costs milliseconds for the same answer. A server started later
// is found by the next attempt after the pause.
constexpr auto kJackRetryPause = std::chrono::seconds(1);
std::atomic<std::chrono::steady_clock::rep> jackFailedAt{0};

template <typename Port>
std::unique_ptr<Port> Create(MidiBackend& backend, const std::string& clientName) {
    const bool automatic = backend == MidiBackend::Automatic;
    std::unique_ptr<Port> port;
    std::string reason;
    const std::optional<MidiBackend> used = OpenOnFirstBackend(
        backend,
        [&](MidiBackend tried, std::string& error) {
            const bool fallback = automatic && tried == MidiBackend::Jack;
            if (fallback && JackUnreachableJustNow()) {
                error = "failed a moment ago";
                return false;
            }
            try {
                // RtMidi makes a JACK object even when no server answers; only a failed call
                // on it later (MidiPort) tells, so its making clears nothing here.
                port = std::make_unique<Port>(RtMidiApiOf(tried), clientName);
                return true;
            } catch (const RtMidiError& failure) {
                if (fallback) NoteJackUnreachable();
                error = failure.getMessage();
                return false;
            }
        },
        &reason);
    if (!used) {
        std::fprintf(stderr, "%s\n", reason.c_str());
        return nullptr;
    }
    backend = *used;
    return port;
}
}  // namespace

void NoteJackUnreachable() {
    // 0 means never; a clock that reads 0 is taken as 1.
    jackFailedAt = std::max<std::chrono::steady_clock::rep>(
        std::chrono::steady_clock::now().time_since_epoch().count(), 1);
}

bool JackUnreachableJustNow() {
    const auto failed = std::chrono::steady_clock::duration(jackFailedAt.load());
    if (failed.count() == 0) return false;
    return std::chrono::steady_clock::now().time_since_epoch() - failed < kJackRetryPause;
}

std::optional<MidiBackend> OpenOnFirstBackend(
    MidiBackend wanted, const std::function<bool(MidiBackend, std::string& error)>& attempt,
    std::string* reason) {
    std::string why;
    for (MidiBackend tried : {MidiBackend::Alsa, MidiBackend::Jack}) {
        if (wanted != MidiBackend::Automatic && wanted != tried) continue;
        std::string error;
        if (attempt(tried, error)) return tried;
        if (!why.empty()) why += "; ";
        why += std::string(ReasonLabel(tried)) + ": " + (error.empty() ? "error" : error);
    }
    if (reason != nullptr) *reason = why;
    return std::nullopt;
}

std::unique_ptr<RtMidiIn> CreateMidiIn(MidiBackend& backend, const std::string& clientName) {
    return Create<RtMidiIn>(backend, clientName);
}

std::unique_ptr<RtMidiOut> CreateMidiOut(MidiBackend& backend, const std::string& clientName) {
    return Create<RtMidiOut>(backend, clientName);
}

MidiBackend MidiBackendNamed(const char* name) {
    if (name == nullptr) return MidiBackend::Automatic;
    if (std::strcmp(name, "jack") == 0) return MidiBackend::Jack;
    if (std::strcmp(name, "alsa") == 0) return MidiBackend::Alsa;
    return MidiBackend::Automatic;
}

MidiBackend BackendFromEnvironment() {
    return MidiBackendNamed(std::getenv("ORVO_MIDI_BACKEND"));
}

const char* MidiBackendLabel(MidiBackend backend) {
    switch (backend) {
        case MidiBackend::Alsa:
            return "ALSA";
        case MidiBackend::Jack:
            return "JACK";
        case MidiBackend::Automatic:
            break;
    }
    return "";
}
