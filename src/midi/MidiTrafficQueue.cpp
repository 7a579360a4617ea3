#include "midi/MidiTrafficQueue.h"

#include <algorithm>
#include <chrono>
#include <cstring>

MidiTrafficQueue::MidiTrafficQueue(size_t capacity) : ring_(std::max<size_t>(capacity, 1)) {}

int64_t MidiTrafficQueue::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void MidiTrafficQueue::Put(MidiRole role, Direction direction, const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return;
    const int64_t now = NowMs();
    std::lock_guard<std::mutex> hold(lock_);
    size_t slot = (first_ + count_) % ring_.size();
    if (count_ == ring_.size()) {
        slot = first_;
        first_ = (first_ + 1) % ring_.size();
        ++lost_;
    } else {
        ++count_;
    }
    Entry& entry = ring_[slot];
    entry.timeMs = now;
    entry.role = role;
    entry.direction = direction;
    entry.size = static_cast<uint32_t>(std::min<size_t>(size, UINT32_MAX));
    std::memcpy(entry.bytes.data(), bytes, entry.KeptSize());
}

void MidiTrafficQueue::Take(std::vector<Entry>& out, size_t maxCount) {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t taking = std::min(count_, maxCount);
    for (size_t i = 0; i < taking; ++i) {
        out.push_back(ring_[first_]);
        first_ = (first_ + 1) % ring_.size();
    }
    count_ -= taking;
}

size_t MidiTrafficQueue::TakeLostCount() {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t lost = lost_;
    lost_ = 0;
    return lost;
}
