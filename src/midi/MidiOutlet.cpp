#include "midi/MidiOutlet.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <thread>

#include "util/DebugPrint.h"

namespace {
// JACK: RtMidi's ring buffer holds 16 KB; 1 KB every millisecond is 5 KB a period at 256 frames
// and 48 kHz. ALSA: sequencer events of 256 bytes stay far below the client's output buffer.
constexpr SysExPacing kJackPacing{1024, std::chrono::microseconds(1000),
                                  std::chrono::milliseconds(3000)};
constexpr SysExPacing kAlsaPacing{256, std::chrono::microseconds(1000),
                                  std::chrono::milliseconds(3000)};
constexpr auto kRefusedPause = std::chrono::milliseconds(2);
}  // namespace

MidiOutlet::MidiOutlet(MidiBackend& backend, const std::string& clientName)
    : MidiPort(backend), pacing_(PacingFor(backend)) {
    std::unique_ptr<RtMidiOut> port = CreateMidiOut(backend, clientName);
    if (!port) return;
    SetBackend(backend);
    pacing_ = PacingFor(backend);
    Attach(port.release(), [](RtMidi* p) { delete static_cast<RtMidiOut*>(p); });
}

SysExPacing MidiOutlet::PacingFor(MidiBackend backend) {
    return backend == MidiBackend::Jack ? kJackPacing : kAlsaPacing;
}

void MidiOutlet::SendMessage(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return;
    std::lock_guard<std::mutex> hold(PortLock());
    if (!Exists() || !Port().isPortOpen()) return;
    if (size <= pacing_.chunkBytes) {
        SendPiece(bytes, size);
        return;
    }
    for (size_t offset = 0; offset < size; offset += pacing_.chunkBytes) {
        const size_t piece = std::min(pacing_.chunkBytes, size - offset);
        if (!SendPiece(bytes + offset, piece)) {
            DebugPrint("MIDI output: message of %zu bytes broken off after %zu bytes", size,
                       offset);
            return;
        }
        std::this_thread::sleep_for(pacing_.pauseAfterChunk);
    }
}

bool MidiOutlet::SendPiece(const uint8_t* bytes, size_t size) {
    RtMidiOut& out = static_cast<RtMidiOut&>(Port());
    const auto giveUp = std::chrono::steady_clock::now() + pacing_.refusedRetryFor;
    while (!Guarded([&] { out.sendMessage(bytes, size); })) {
        if (std::chrono::steady_clock::now() >= giveUp) {
            DebugPrint("MIDI output refused a message: %s", LastErrorLocked().c_str());
            return false;
        }
        std::this_thread::sleep_for(kRefusedPause);
    }
    return true;
}
