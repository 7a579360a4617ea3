#include "midi/MidiTrafficQueue.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>

MidiTrafficQueue::MidiTrafficQueue(size_t capacity)
    : capacity_(std::max<size_t>(capacity, 1)),
      ring_(static_cast<Entry*>(std::calloc(capacity_, sizeof(Entry)))) {
    if (!ring_) throw std::bad_alloc();
}

int64_t MidiTrafficQueue::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void MidiTrafficQueue::Put(MidiRole role, Direction direction, const uint8_t* bytes, size_t size) {
    if (bytes == nullptr || size == 0) return;
    const int64_t now = NowMs();
    std::lock_guard<std::mutex> hold(lock_);
    size_t slot = (first_ + count_) % capacity_;
    if (count_ == capacity_) {
        slot = first_;
        first_ = (first_ + 1) % capacity_;
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
        first_ = (first_ + 1) % capacity_;
    }
    count_ -= taking;
}

size_t MidiTrafficQueue::TakeLostCount() {
    std::lock_guard<std::mutex> hold(lock_);
    const size_t lost = lost_;
    lost_ = 0;
    return lost;
}
