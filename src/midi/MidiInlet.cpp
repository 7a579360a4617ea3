#include "midi/MidiInlet.h"

#include <rtmidi/RtMidi.h>

#include "util/DebugPrint.h"

MidiInlet::MidiInlet(MidiBackend& backend, const std::string& clientName) : MidiPort(backend) {
    std::unique_ptr<RtMidiIn> port = CreateMidiIn(backend, clientName);
    if (!port) return;
    SetBackend(backend);
    Attach(port.release(), [](RtMidi* p) { delete static_cast<RtMidiIn*>(p); });
    std::lock_guard<std::mutex> hold(PortLock());
    // System-exclusive messages pass; timing clock and active sensing are dropped.
    Guarded([&] { static_cast<RtMidiIn&>(Port()).ignoreTypes(false, true, true); });
}

MidiInlet::~MidiInlet() {
    CancelHandler();
    // RtMidi may be inside OnRtMidiMessage until its object is gone.
    Release();
}

void MidiInlet::SetHandler(Handler handler) {
    {
        std::lock_guard<std::mutex> hold(deliveryLock_);
        handler_ = std::move(handler);
    }
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        if (!inputThread_.joinable()) {
            stopping_ = false;
            inputThread_ = std::thread(&MidiInlet::DeliveryLoop, this);
        }
    }
    std::lock_guard<std::mutex> hold(PortLock());
    if (callbackSet_ || !Exists()) return;
    callbackSet_ =
        Guarded([&] { static_cast<RtMidiIn&>(Port()).setCallback(&OnRtMidiMessage, this); });
}

void MidiInlet::CancelHandler() {
    // RtMidi's own callback stays set until its object is deleted: cancelling it races with the
    // back end's thread, which tests whether a callback is set and then reads the function it
    // calls, so a cancel in between makes that thread call a null function. Deliver drops what
    // arrives once the input thread stops, and the RtMidi object goes before this object does.
    StopThread();
    std::lock_guard<std::mutex> hold(deliveryLock_);
    handler_ = nullptr;
}

void MidiInlet::StopThread() {
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        stopping_ = true;
        queue_.clear();
        queuedBytes_ = 0;
    }
    queued_.notify_all();
    // Joining waits for a handler call still running.
    if (inputThread_.joinable()) inputThread_.join();
}

bool MidiInlet::HasHandler() {
    std::lock_guard<std::mutex> hold(deliveryLock_);
    return static_cast<bool>(handler_);
}

size_t MidiInlet::OverflowCount() {
    std::lock_guard<std::mutex> hold(queueLock_);
    return overflow_;
}

void MidiInlet::Deliver(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return;
    {
        std::lock_guard<std::mutex> hold(queueLock_);
        if (stopping_ || !inputThread_.joinable()) return;
        if (queuedBytes_ + size > kQueueLimit) {
            ++overflow_;
            return;
        }
        queue_.emplace_back(bytes, bytes + size);
        queuedBytes_ += size;
        queued_.notify_one();
    }
}

void MidiInlet::DeliveryLoop() {
    size_t reportedOverflow = 0;
    for (;;) {
        std::vector<uint8_t> delivery;
        size_t overflow = 0;
        {
            std::unique_lock<std::mutex> hold(queueLock_);
            queued_.wait(hold, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) return;
            delivery = std::move(queue_.front());
            queue_.pop_front();
            queuedBytes_ -= delivery.size();
            overflow = overflow_;
        }
        if (overflow != reportedOverflow) {
            DebugPrint("MIDI input: %zu messages dropped, the input is flooded",
                       overflow - reportedOverflow);
            reportedOverflow = overflow;
        }
        std::lock_guard<std::mutex> hold(deliveryLock_);
        if (!handler_) continue;
        const SysExAssembler::Message whole = assembler_.Feed(delivery.data(), delivery.size());
        if (whole.size > 0) handler_(whole.bytes, whole.size);
    }
}

void MidiInlet::OnRtMidiMessage(double timeStamp, std::vector<unsigned char>* message,
                                void* userData) {
    (void)timeStamp;
    if (message == nullptr || message->empty()) return;
    static_cast<MidiInlet*>(userData)->Deliver(message->data(), message->size());
}
