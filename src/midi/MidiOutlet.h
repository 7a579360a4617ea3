#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

#include "midi/MidiPort.h"
#include "midi/MidiTrafficQueue.h"
#include "plugin/MidiOutputPort.h"

class RtMidiOut;

// How a long system-exclusive message is fed to a back end. Under JACK a single message over
// about 16 KB is dropped without a word, and so is more than about 32 KB in one period; the ALSA
// sequencer has buffer limits of its own. Pieces of chunkBytes with a pause after each keep well
// inside both, and the receiving side sees one unbroken message.
struct SysExPacing {
    size_t chunkBytes;
    std::chrono::microseconds pauseAfterChunk;
    // How long a refused piece is offered again before the message is given up.
    std::chrono::milliseconds refusedRetryFor;
};

// The output port object: the plug-in's SendMidiMsg and SendSysEx end here. Sends from the GUI
// thread and from the MIDI input thread are serialised, so a message never interleaves with
// another inside the back end.
//
// RtMidi's JACK back end waits without end for room in its ring buffer, and a JACK server that
// has stopped never makes room. So the calls into RtMidi run on a sending thread of the outlet:
// a piece that is not taken within kStallLimit makes the outlet give the back end up, with a
// debug line, instead of freezing the caller.
class MidiOutlet : public MidiPort, public MidiOutputPort {
public:
    static constexpr std::chrono::milliseconds kStallLimit{3000};

    // Creates the RtMidi object on the back end (see CreateMidiOut); Exists tells whether it
    // could be.
    MidiOutlet(MidiBackend& backend, const std::string& clientName);
    ~MidiOutlet() override;

    // Messages up to the chunk size go out whole and at once; longer ones in paced pieces.
    // Returns when the whole message has been handed to the back end. Does nothing while no
    // port is open.
    void SendMessage(const uint8_t* bytes, size_t size) override;
    // The same, telling progress after each piece; progress returning false breaks it off.
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override;

    // Where a copy of every message that goes out is put, for the MIDI monitor; null for none.
    void SetTraffic(MidiTrafficQueue* traffic) { traffic_.store(traffic); }

    const SysExPacing& Pacing() const { return pacing_; }
    void SetPacing(const SysExPacing& pacing) { pacing_ = pacing; }
    static SysExPacing PacingFor(MidiBackend backend);

private:
    struct Sender;

    void SendPaced(const uint8_t* bytes, size_t size, const SendProgress* progress);
    // Hands one piece to RtMidi, offering it again for a while when the back end is full.
    bool SendPiece(const uint8_t* bytes, size_t size);
    // One call of RtMidi's send on the sending thread; false when the back end refused it or
    // did not return within kStallLimit.
    bool SendOnce(const uint8_t* bytes, size_t size, std::string* error);

    SysExPacing pacing_;
    std::atomic<MidiTrafficQueue*> traffic_{nullptr};
    // Shared with the sending thread, which outlives the outlet when it is stuck.
    std::shared_ptr<Sender> sender_;
    std::thread sendingThread_;
};
