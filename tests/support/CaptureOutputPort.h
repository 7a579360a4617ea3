#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "plugin/MidiOutputPort.h"

// An output port that keeps every message handed to it, for checking bytes on the wire.
class CaptureOutputPort : public MidiOutputPort {
public:
    using Message = std::vector<uint8_t>;

    void SendMessage(const uint8_t* bytes, size_t size) override {
        std::lock_guard<std::mutex> hold(lock_);
        messages_.emplace_back(bytes, bytes + size);
    }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        SendInOneGo(bytes, size, progress);
    }

    std::vector<Message> Messages() const {
        std::lock_guard<std::mutex> hold(lock_);
        return messages_;
    }

    // All messages run together, as the unit would read them off the cable.
    std::vector<uint8_t> Stream() const {
        std::lock_guard<std::mutex> hold(lock_);
        std::vector<uint8_t> all;
        for (const Message& m : messages_)
            all.insert(all.end(), m.begin(), m.end());
        return all;
    }

    void Clear() {
        std::lock_guard<std::mutex> hold(lock_);
        messages_.clear();
    }

private:
    mutable std::mutex lock_;
    std::vector<Message> messages_;
};
