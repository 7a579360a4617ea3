#include "midi/MidiOutlet.h"

#include <rtmidi/RtMidi.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "util/DebugPrint.h"

namespace {
// JACK: RtMidi's ring buffer holds 16 KB; 1 KB every millisecond is 5 KB a period at 256 frames
// and 48 kHz. ALSA: sequencer events of 256 bytes stay far below the client's output buffer.
constexpr SysExPacing kJackPacing{1024, std::chrono::microseconds(1000),
                                  std::chrono::milliseconds(3000), 0};
constexpr SysExPacing kAlsaPacing{256, std::chrono::microseconds(1000),
                                  std::chrono::milliseconds(3000), 0};
constexpr auto kRefusedPause = std::chrono::milliseconds(2);
// How often a caller waiting for a long message looks whether the back end is stuck.
constexpr auto kProgressLook = std::chrono::milliseconds(100);
using Clock = std::chrono::steady_clock;
}  // namespace

// What the outlet and its sending thread share: the pacer, and what the thread is doing.
struct MidiOutlet::Sender {
    explicit Sender(const SysExPacing& pacing) : pacer(pacing) {}

    std::mutex lock;
    std::condition_variable wake, progressed;
    OutputPacer pacer;
    bool stopping = false;
    // While the port is opened or closed, nothing is handed on.
    bool held = false;
    bool inCall = false;
    Clock::time_point callSince{};
    // The long message a caller waits for, and how far it has got.
    uint64_t watched = 0;
    size_t watchedHanded = 0;
    bool watchedRefused = false;

    void Run(RtMidiOut* out) {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            if (stopping) return;
            std::optional<OutputPacer::Piece> piece;
            if (!held) piece = pacer.Take(Clock::now());
            if (!piece) {
                const std::optional<OutputPacer::TimePoint> due = pacer.NextDue();
                if (held || !due) {
                    wake.wait(hold);
                } else {
                    wake.wait_until(hold, *due);
                }
                continue;
            }
            inCall = true;
            callSince = Clock::now();
            const std::chrono::milliseconds retryFor = pacer.Pacing().refusedRetryFor;
            hold.unlock();
            const bool sent = SendPiece(out, piece->bytes, retryFor);
            hold.lock();
            inCall = false;
            if (!sent) pacer.Drop(piece->ticket);
            if (piece->ticket == watched) {
                watchedHanded = piece->handed;
                watchedRefused = !sent;
            }
            progressed.notify_all();
        }
    }

    // Hands one piece to RtMidi, offering it again for a while when the back end is full.
    bool SendPiece(RtMidiOut* out, const std::vector<uint8_t>& bytes,
                   std::chrono::milliseconds retryFor) {
        const auto giveUp = Clock::now() + retryFor;
        std::string error;
        while (!MidiPort::Attempt([&] { out->sendMessage(bytes.data(), bytes.size()); }, &error)) {
            if (Clock::now() >= giveUp || Stopping()) {
                DebugPrint("MIDI output refused a message: %s", error.c_str());
                return false;
            }
            std::this_thread::sleep_for(kRefusedPause);
        }
        return true;
    }

    bool Stopping() {
        std::lock_guard<std::mutex> hold(lock);
        return stopping;
    }
};

MidiOutlet::MidiOutlet(MidiBackend& backend, const std::string& clientName)
    : MidiPort(backend), initialPacing_(PacingFor(backend)) {
    std::unique_ptr<RtMidiOut> port = CreateMidiOut(backend, clientName);
    if (!port) return;
    SetBackend(backend);
    initialPacing_ = PacingFor(backend);
    RtMidiOut* out = port.release();
    Attach(out, [](RtMidi* p) { delete static_cast<RtMidiOut*>(p); });
    sender_ = std::make_shared<Sender>(initialPacing_);
    sendingThread_ = std::thread([sender = sender_, out] { sender->Run(out); });
}

MidiOutlet::~MidiOutlet() {
    if (sendingThread_.joinable()) {
        {
            std::lock_guard<std::mutex> hold(sender_->lock);
            sender_->stopping = true;
        }
        sender_->wake.notify_all();
        // A thread stuck inside RtMidi is left to itself; it keeps what it uses alive.
        if (!Abandoned() && HoldSending() && !Abandoned()) {
            sendingThread_.join();
        } else {
            sendingThread_.detach();
        }
    }
    Release();
}

SysExPacing MidiOutlet::PacingFor(MidiBackend backend, bool fastInterface) {
    SysExPacing pacing = backend == MidiBackend::Jack ? kJackPacing : kAlsaPacing;
    if (!fastInterface) pacing.bytesPerSecond = kDefaultBytesPerSecond;
    return pacing;
}

SysExPacing MidiOutlet::Pacing() const {
    if (!sender_) return initialPacing_;
    std::lock_guard<std::mutex> hold(sender_->lock);
    return sender_->pacer.Pacing();
}

void MidiOutlet::SetPacing(const SysExPacing& pacing) {
    initialPacing_ = pacing;
    if (!sender_) return;
    {
        std::lock_guard<std::mutex> hold(sender_->lock);
        sender_->pacer.SetPacing(pacing);
    }
    sender_->wake.notify_all();
}

bool MidiOutlet::StalledLocked() {
    if (!sender_ || !Usable()) return false;
    bool stalled = false;
    {
        std::lock_guard<std::mutex> hold(sender_->lock);
        stalled = sender_->inCall && Clock::now() - sender_->callSince >= kStallLimit;
        if (stalled) sender_->pacer.Clear();
    }
    if (!stalled) return false;
    DebugPrint("MIDI output: the back end has taken nothing for %lld ms; output stopped",
               static_cast<long long>(kStallLimit.count()));
    Abandon();
    return true;
}

bool MidiOutlet::HoldSending() {
    if (!sender_) return true;
    std::unique_lock<std::mutex> hold(sender_->lock);
    sender_->held = true;
    if (sender_->progressed.wait_for(hold, kStallLimit, [&] { return !sender_->inCall; })) {
        return true;
    }
    hold.unlock();
    std::lock_guard<std::mutex> port(PortLock());
    if (Usable()) {
        DebugPrint("MIDI output: the back end has taken nothing for %lld ms; output stopped",
                   static_cast<long long>(kStallLimit.count()));
        Abandon();
    }
    return false;
}

void MidiOutlet::ResumeSending() {
    if (!sender_) return;
    {
        std::lock_guard<std::mutex> hold(sender_->lock);
        sender_->pacer.Clear();
        sender_->held = false;
    }
    sender_->wake.notify_all();
    sender_->progressed.notify_all();
}

bool MidiOutlet::Open(unsigned index, const std::string& portName) {
    HoldSending();
    const bool opened = MidiPort::Open(index, portName);
    ResumeSending();
    return opened;
}

void MidiOutlet::Close() {
    HoldSending();
    MidiPort::Close();
    ResumeSending();
}

uint64_t MidiOutlet::Queue(const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return 0;
    std::lock_guard<std::mutex> port(PortLock());
    if (!Usable() || !sender_ || StalledLocked() || !Port().isPortOpen()) return 0;
    uint64_t ticket = 0;
    {
        std::lock_guard<std::mutex> hold(sender_->lock);
        if (sender_->held) return 0;
        ticket = sender_->pacer.Put(bytes, size);
    }
    if (ticket == 0) {
        DebugPrint("MIDI output: %zu bytes wait for the port; a message of %zu bytes dropped",
                   OutputPacer::kMostPendingBytes, size);
        return 0;
    }
    if (MidiTrafficQueue* traffic = traffic_.load()) {
        traffic->Put(MidiRole::Output, MidiTrafficQueue::Direction::Out, bytes, size);
    }
    sender_->wake.notify_all();
    return ticket;
}

void MidiOutlet::SendMessage(const uint8_t* bytes, size_t size) {
    Queue(bytes, size);
}

void MidiOutlet::SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) {
    std::lock_guard<std::mutex> one(longMessage_);
    const uint64_t ticket = Queue(bytes, size);
    if (ticket == 0) return;
    std::unique_lock<std::mutex> hold(sender_->lock);
    // The sending thread may have taken pieces already; they count from the next one on.
    sender_->watched = ticket;
    sender_->watchedHanded = 0;
    sender_->watchedRefused = false;
    size_t told = 0;
    for (;;) {
        if (sender_->watchedRefused) {
            DebugPrint("MIDI output: message of %zu bytes broken off after %zu bytes", size, told);
            break;
        }
        const bool waiting = sender_->pacer.Holds(ticket);
        // Gone whole when it waits no more; dropped by a closing port, it counts as handed on.
        const size_t handed = waiting ? sender_->watchedHanded : size;
        if (handed > told && progress) {
            told = handed;
            hold.unlock();
            const bool goOn = progress(handed, size);
            hold.lock();
            if (!goOn && handed < size) {
                DebugPrint(
                    "MIDI output: message of %zu bytes broken off by its sender after %zu bytes",
                    size, handed);
                sender_->pacer.Cancel(ticket);
                sender_->wake.notify_all();
                break;
            }
            continue;
        }
        if (!waiting) break;
        sender_->progressed.wait_for(hold, kProgressLook);
        if (sender_->inCall && Clock::now() - sender_->callSince >= kStallLimit) {
            sender_->watched = 0;
            hold.unlock();
            std::lock_guard<std::mutex> port(PortLock());
            StalledLocked();
            return;
        }
    }
    sender_->watched = 0;
}
