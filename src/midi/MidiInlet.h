#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiPort.h"
#include "midi/SysExAssembler.h"

class RtMidiIn;

// One input port object. Whole messages go to the handler on the port's MIDI input thread:
// system-exclusive messages pass, timing clock and active sensing are dropped, and a
// system-exclusive message the back end delivers in pieces arrives as one.
//
// RtMidi's JACK back end calls back from JACK's process thread, and a process thread that waits
// (for the plug-in lock, or for the outlet while a long message goes out) makes JACK drop the
// input of the cycles it misses. So RtMidi's callback only queues a copy, and the input
// thread of the port hands the messages on, in order.
class MidiInlet : public MidiPort {
public:
    using Handler = std::function<void(const uint8_t* bytes, size_t size)>;
    // Messages waiting beyond this many bytes are dropped rather than piling up without end.
    static constexpr size_t kQueueLimit = 8u << 20;

    // Creates the RtMidi object on the back end (see CreateMidiIn); Exists tells whether it
    // could be.
    MidiInlet(MidiBackend& backend, const std::string& clientName);
    ~MidiInlet() override;

    // Starts the input thread and the deliveries to handler.
    void SetHandler(Handler handler);
    // Stops deliveries. When it returns, no call of the handler is running or will start; what
    // the back end hands over afterwards is dropped until SetHandler starts them again.
    void CancelHandler();
    bool HasHandler();

    // One delivery of the back end, as RtMidi's callback hands it over: queued for the input
    // thread.
    void Deliver(const uint8_t* bytes, size_t size);
    size_t OverflowCount();

private:
    static void OnRtMidiMessage(double timeStamp, std::vector<unsigned char>* message,
                                void* userData);
    void DeliveryLoop();
    void StopThread();

    std::mutex deliveryLock_;  // held while the handler runs
    Handler handler_;
    SysExAssembler assembler_;

    std::mutex queueLock_;
    std::condition_variable queued_;
    std::deque<std::vector<uint8_t>> queue_;
    size_t queuedBytes_ = 0;
    size_t overflow_ = 0;
    bool stopping_ = false;
    std::thread inputThread_;
    bool callbackSet_ = false;
};
