#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include "plugin/MidiOutputPort.h"
#include "plugin/PluginBase.h"
#include "unit/UnitMessages.h"
#include "unit/VirtualOrvo.h"

// The cable to a virtual unit both ways: what the editor sends (from any thread) the unit reads
// at once; the unit's replies wait on the cable until the test delivers them, as the MIDI input
// thread would.
class UnitCable : public MidiOutputPort {
public:
    using Bytes = std::vector<uint8_t>;

    UnitCable() {
        unit.SetReplySink([this](const uint8_t* bytes, size_t size) {
            replies_.emplace_back(bytes, bytes + size);
        });
    }
    ~UnitCable() override { unit.SetReplySink(nullptr); }

    void SendMessage(const uint8_t* bytes, size_t size) override {
        std::lock_guard<std::mutex> hold(lock_);
        sent_.emplace_back(bytes, bytes + size);
        unit.Feed(bytes, size, nowMs_);
    }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        SendInOneGo(bytes, size, progress);
    }

    // Moves the unit's clock on and hands every reply due by then to the editor.
    void Deliver(PluginBase& editor, int64_t nowMs) {
        std::deque<Bytes> due;
        {
            std::lock_guard<std::mutex> hold(lock_);
            nowMs_ = nowMs;
            unit.Poll(nowMs);
            due.swap(replies_);
        }
        for (const Bytes& reply : due)
            editor.HandleSysEx({0, static_cast<int32_t>(reply.size()), reply.data()});
    }
    // The oldest reply on the cable, taken off it; nothing when none waits.
    std::optional<Bytes> TakeReply() {
        std::lock_guard<std::mutex> hold(lock_);
        if (replies_.empty()) return std::nullopt;
        Bytes reply = std::move(replies_.front());
        replies_.pop_front();
        return reply;
    }
    void DropReplies() {
        std::lock_guard<std::mutex> hold(lock_);
        replies_.clear();
    }

    // Every message the editor sent, in order.
    std::vector<Bytes> Sent() {
        std::lock_guard<std::mutex> hold(lock_);
        return sent_;
    }
    void Clear() {
        std::lock_guard<std::mutex> hold(lock_);
        sent_.clear();
    }
    // How many system-exclusive messages with this code the editor sent.
    int SentWithCode(uint8_t code) {
        int count = 0;
        for (const Bytes& message : Sent()) {
            count += !message.empty() && message[0] == kSysExStart && message.size() > kCodeIndex &&
                     message[kCodeIndex] == code;
        }
        return count;
    }

    // The unit on the far side; set it up before the editor talks to it.
    VirtualOrvo unit;

private:
    std::mutex lock_;
    std::deque<Bytes> replies_;
    std::vector<Bytes> sent_;
    int64_t nowMs_ = 0;
};
