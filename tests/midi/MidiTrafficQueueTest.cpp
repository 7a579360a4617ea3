#include "midi/MidiTrafficQueue.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {
using Entry = MidiTrafficQueue::Entry;
}

TEST(MidiTrafficQueue, TheOldestGiveWayAndLongMessagesKeepTheirBeginningAndLength) {
    MidiTrafficQueue queue(3);
    for (uint8_t note = 60; note < 65; ++note) {
        const uint8_t on[] = {0x90, note, 100};
        queue.Put(MidiRole::KeyboardInput, MidiTrafficQueue::Direction::In, on, sizeof on);
    }
    std::vector<Entry> taken;
    queue.Take(taken, 10);
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[0].bytes[1], 62);
    EXPECT_EQ(taken[2].bytes[1], 64);
    EXPECT_EQ(queue.TakeLostCount(), 2u);
    EXPECT_EQ(queue.TakeLostCount(), 0u);

    std::vector<uint8_t> firmware(91441, 0x11);
    firmware[0] = 0xF0;
    queue.Put(MidiRole::Output, MidiTrafficQueue::Direction::Out, firmware.data(), firmware.size());
    taken.clear();
    queue.Take(taken, 10);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].size, 91441u);
    EXPECT_EQ(taken[0].KeptSize(), MidiTrafficQueue::kKeptBytes);
    EXPECT_EQ(taken[0].bytes[0], 0xF0);
    EXPECT_EQ(taken[0].direction, MidiTrafficQueue::Direction::Out);
}

// Two input threads and a sender put messages in while the GUI thread takes them out: nothing
// is torn, and what is neither taken nor counted lost is still waiting.
TEST(MidiTrafficQueue, ProducersOnSeveralThreadsAndOneTakerAgree) {
    MidiTrafficQueue queue(64);
    constexpr int kPerThread = 5000;
    auto produce = [&](MidiRole role) {
        for (int i = 0; i < kPerThread; ++i) {
            const uint8_t message[] = {0xB0, static_cast<uint8_t>(role),
                                       static_cast<uint8_t>(i & 0x7F)};
            queue.Put(role, MidiTrafficQueue::Direction::In, message, sizeof message);
        }
    };
    std::thread unit(produce, MidiRole::UnitInput);
    std::thread keys(produce, MidiRole::KeyboardInput);
    std::thread out(produce, MidiRole::Output);
    size_t taken = 0, lost = 0;
    std::vector<Entry> entries;
    for (int round = 0; round < 200; ++round) {
        entries.clear();
        queue.Take(entries, 32);
        for (const Entry& entry : entries) {
            ASSERT_EQ(entry.size, 3u);
            ASSERT_EQ(entry.bytes[1], static_cast<uint8_t>(entry.role));
        }
        taken += entries.size();
        lost += queue.TakeLostCount();
        std::this_thread::yield();
    }
    unit.join();
    keys.join();
    out.join();
    entries.clear();
    queue.Take(entries, 1000);
    taken += entries.size();
    lost += queue.TakeLostCount();
    EXPECT_EQ(taken + lost, 3u * kPerThread);
}
