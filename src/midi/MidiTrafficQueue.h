#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <type_traits>
#include <vector>

#include "midi/MidiSettings.h"

// Every message in and out, for the MIDI monitor. The input threads and the senders put a copy
// in; the monitor takes them out on the GUI thread. The queue is a ring of fixed entries made
// once: putting a message in never allocates and holds the lock only for a short copy, and when
// nobody takes messages out the oldest ones give way. The ring's memory comes zeroed from the
// system and becomes resident only where messages are put: a start touches none of its 600 KB.
class MidiTrafficQueue {
public:
    // A message beyond this many bytes keeps its beginning (enough to tell what it is) and its
    // length.
    static constexpr size_t kKeptBytes = 128;
    static constexpr size_t kDefaultCapacity = 4096;

    enum class Direction : uint8_t { In, Out };

    struct Entry {
        int64_t timeMs = 0;  // steady clock
        MidiRole role = MidiRole::Output;
        Direction direction = Direction::Out;
        uint32_t size = 0;  // the whole message's length
        std::array<uint8_t, kKeptBytes> bytes{};
        size_t KeptSize() const { return size < kKeptBytes ? size : kKeptBytes; }
    };

    explicit MidiTrafficQueue(size_t capacity = kDefaultCapacity);

    void Put(MidiRole role, Direction direction, const uint8_t* bytes, size_t size);
    // Moves at most maxCount of the waiting entries, oldest first, to the end of out.
    void Take(std::vector<Entry>& out, size_t maxCount);
    // How many entries gave way to newer ones since the last call.
    size_t TakeLostCount();
    size_t Capacity() const { return capacity_; }

    static int64_t NowMs();

private:
    // An entry is an aggregate with a trivial destructor: zeroed memory holds entries, each
    // written whole before it is read.
    static_assert(std::is_aggregate_v<Entry> && std::is_trivially_destructible_v<Entry>);
    struct FreeEntries {
        void operator()(Entry* entries) const { std::free(entries); }
    };

    std::mutex lock_;
    size_t capacity_;
    std::unique_ptr<Entry[], FreeEntries> ring_;
    size_t first_ = 0;  // the oldest waiting entry
    size_t count_ = 0;
    size_t lost_ = 0;
};
