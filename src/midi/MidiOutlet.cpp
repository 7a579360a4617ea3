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
                                  std::chrono::milliseconds(3000)};
constexpr SysExPacing kAlsaPacing{256, std::chrono::microseconds(1000),
                                  std::chrono::milliseconds(3000)};
constexpr auto kRefusedPause = std::chrono::milliseconds(2);
}  // namespace

// The hand-over between SendOnce and the sending thread: one piece at a time.
struct MidiOutlet::Sender {
    std::mutex lock;
    std::condition_variable posted, taken;
    std::vector<uint8_t> piece;
    uint64_t postedCount = 0, sentCount = 0;
    bool sentOk = false;
    std::string error;
    bool stopping = false;

    void Run(RtMidiOut* out) {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            posted.wait(hold, [&] { return stopping || postedCount != sentCount; });
            if (stopping) return;
            const std::vector<uint8_t> bytes = piece;
            hold.unlock();
            std::string failure;
            const bool ok =
                MidiPort::Attempt([&] { out->sendMessage(bytes.data(), bytes.size()); }, &failure);
            hold.lock();
            sentOk = ok;
            error = failure;
            ++sentCount;
            taken.notify_all();
        }
    }
};

MidiOutlet::MidiOutlet(MidiBackend& backend, const std::string& clientName)
    : MidiPort(backend), pacing_(PacingFor(backend)) {
    std::unique_ptr<RtMidiOut> port = CreateMidiOut(backend, clientName);
    if (!port) return;
    SetBackend(backend);
    pacing_ = PacingFor(backend);
    RtMidiOut* out = port.release();
    Attach(out, [](RtMidi* p) { delete static_cast<RtMidiOut*>(p); });
    sender_ = std::make_shared<Sender>();
    sendingThread_ = std::thread([sender = sender_, out] { sender->Run(out); });
}

MidiOutlet::~MidiOutlet() {
    if (sendingThread_.joinable()) {
        {
            std::lock_guard<std::mutex> hold(sender_->lock);
            sender_->stopping = true;
        }
        sender_->posted.notify_all();
        // A thread stuck inside RtMidi is left to itself; it keeps what it uses alive.
        if (Abandoned()) {
            sendingThread_.detach();
        } else {
            sendingThread_.join();
        }
    }
    Release();
}

SysExPacing MidiOutlet::PacingFor(MidiBackend backend) {
    return backend == MidiBackend::Jack ? kJackPacing : kAlsaPacing;
}

void MidiOutlet::SendMessage(const uint8_t* bytes, size_t size) {
    SendPaced(bytes, size, nullptr);
}

void MidiOutlet::SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) {
    SendPaced(bytes, size, progress ? &progress : nullptr);
}

void MidiOutlet::SendPaced(const uint8_t* bytes, size_t size, const SendProgress* progress) {
    if (bytes == nullptr || size == 0) return;
    std::lock_guard<std::mutex> hold(PortLock());
    if (!Usable() || !sender_ || !Port().isPortOpen()) return;
    if (MidiTrafficQueue* traffic = traffic_.load()) {
        traffic->Put(MidiRole::Output, MidiTrafficQueue::Direction::Out, bytes, size);
    }
    if (size <= pacing_.chunkBytes) {
        if (SendPiece(bytes, size) && progress) (*progress)(size, size);
        return;
    }
    for (size_t offset = 0; offset < size; offset += pacing_.chunkBytes) {
        const size_t piece = std::min(pacing_.chunkBytes, size - offset);
        if (!SendPiece(bytes + offset, piece)) {
            DebugPrint("MIDI output: message of %zu bytes broken off after %zu bytes", size,
                       offset);
            return;
        }
        if (progress && !(*progress)(offset + piece, size)) {
            DebugPrint("MIDI output: message of %zu bytes broken off by its sender after %zu bytes",
                       size, offset + piece);
            return;
        }
        std::this_thread::sleep_for(pacing_.pauseAfterChunk);
    }
}

bool MidiOutlet::SendPiece(const uint8_t* bytes, size_t size) {
    const auto giveUp = std::chrono::steady_clock::now() + pacing_.refusedRetryFor;
    std::string error;
    while (!SendOnce(bytes, size, &error)) {
        if (!Usable()) return false;
        if (std::chrono::steady_clock::now() >= giveUp) {
            DebugPrint("MIDI output refused a message: %s", error.c_str());
            return false;
        }
        std::this_thread::sleep_for(kRefusedPause);
    }
    return true;
}

bool MidiOutlet::SendOnce(const uint8_t* bytes, size_t size, std::string* error) {
    std::unique_lock<std::mutex> hold(sender_->lock);
    sender_->piece.assign(bytes, bytes + size);
    const uint64_t ticket = ++sender_->postedCount;
    sender_->posted.notify_one();
    if (!sender_->taken.wait_for(hold, kStallLimit, [&] { return sender_->sentCount == ticket; })) {
        DebugPrint("MIDI output: the back end has taken nothing for %lld ms; output stopped",
                   static_cast<long long>(kStallLimit.count()));
        Abandon();
        return false;
    }
    if (!sender_->sentOk) *error = sender_->error;
    return sender_->sentOk;
}
