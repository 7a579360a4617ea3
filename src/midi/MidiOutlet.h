#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "midi/MidiPort.h"
#include "midi/MidiTrafficQueue.h"
#include "midi/OutputPacer.h"
#include "plugin/MidiOutputPort.h"

class RtMidiOut;

// The output port object: the plug-in's SendMidiMsg and SendSysEx end here. A message is queued
// in the outlet's pacer and the caller goes on at once; the outlet's sending thread hands the
// pieces to RtMidi in the order they were put, at the pace the pacing sets. The kernel's
// sequencer drops what does not fit a port's output buffer without a word, so by default the
// pace is the cable's with a margin; SetPacing lifts it for a fast interface.
//
// RtMidi's JACK back end waits without end for room in its ring buffer, and a JACK server that
// has stopped never makes room. So the calls into RtMidi run on the sending thread: a call that
// has not returned within kStallLimit makes the outlet give the back end up, with a debug line,
// when the next message is sent or the port is opened or closed, instead of freezing the caller.
class MidiOutlet : public MidiPort, public MidiOutputPort {
public:
    static constexpr std::chrono::milliseconds kStallLimit{3000};

    // Creates the RtMidi object on the back end (see CreateMidiOut); Exists tells whether it
    // could be.
    MidiOutlet(MidiBackend& backend, const std::string& clientName);
    ~MidiOutlet() override;

    // What was still waiting for the port is dropped: it was meant for the port that was open.
    bool Open(unsigned index, const std::string& portName) override;
    void Close() override;

    // Queues the message and returns at once. Does nothing while no port is open.
    void SendMessage(const uint8_t* bytes, size_t size) override;
    // Queues the message and returns when all of it has been handed to the back end, telling
    // progress after each piece; progress returning false breaks it off (closed with F7).
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override;

    // Where a copy of every message that goes out is put, for the MIDI monitor; null for none.
    void SetTraffic(MidiTrafficQueue* traffic) { traffic_.store(traffic); }

    uint32_t BytesPerSecond() const override { return Pacing().bytesPerSecond; }
    SysExPacing Pacing() const;
    void SetPacing(const SysExPacing& pacing);
    // The back end's own limits, at the default pace (fastInterface false) or without a pace.
    static SysExPacing PacingFor(MidiBackend backend, bool fastInterface = false);

private:
    struct Sender;

    // Lets the sending thread finish its call and holds it off; false when the call is stuck,
    // and then the back end is given up.
    bool HoldSending();
    // Lets the sending thread go on, with nothing queued.
    void ResumeSending();
    // Gives the back end up when a call into it has run past kStallLimit. The caller holds
    // PortLock().
    bool StalledLocked();
    // Queues under the port lock, while a port is open; the ticket, 0 for nothing queued.
    uint64_t Queue(const uint8_t* bytes, size_t size);

    SysExPacing initialPacing_;
    std::atomic<MidiTrafficQueue*> traffic_{nullptr};
    // Shared with the sending thread, which outlives the outlet when it is stuck.
    std::shared_ptr<Sender> sender_;
    std::thread sendingThread_;
    // One long message at a time.
    std::mutex longMessage_;
};
