// The queue that decodes images on worker threads ahead of their use; also run under
// ThreadSanitizer.
#include "gui/DecodeQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A decode that makes an image id pixels wide and counts how often it ran.
DecodeQueue::Decode Counting(int id, std::atomic<int>& runs) {
    return [id, &runs] {
        ++runs;
        return std::make_unique<raster::MemBitmap>(id, 1);
    };
}

}  // namespace

TEST(DecodeQueue, EveryImageIsDecodedOnceByAWorkerOrByWhoeverAsksFirst) {
    DecodeQueue queue(2);
    std::atomic<int> runs[40] = {};
    for (int id = 1; id < 40; ++id)
        queue.Add(id, Counting(id, runs[id]));
    queue.Add(1, Counting(1, runs[1]));  // already queued: not twice
    // Taken in the opposite order: some are done, some under way, some still queued.
    for (int id = 39; id >= 1; --id) {
        std::unique_ptr<raster::MemBitmap> image = queue.Take(id);
        ASSERT_NE(image, nullptr) << id;
        EXPECT_EQ(image->Width(), id);
        EXPECT_FALSE(queue.Holds(id));
    }
    queue.Finish();
    for (int id = 1; id < 40; ++id)
        EXPECT_EQ(runs[id].load(), 1) << id;
    EXPECT_EQ(queue.Take(5), nullptr) << "taken once only";
}

TEST(DecodeQueue, TakeWaitsForTheWorkerThatDecodesIt) {
    DecodeQueue queue(1);
    std::mutex lock;
    std::condition_variable changed;
    bool started = false, release = false;
    queue.Add(7, [&] {
        std::unique_lock<std::mutex> hold(lock);
        started = true;
        changed.notify_all();
        changed.wait(hold, [&] { return release; });
        return std::make_unique<raster::MemBitmap>(7, 7);
    });
    {
        std::unique_lock<std::mutex> hold(lock);
        changed.wait(hold, [&] { return started; });
    }
    std::thread releaser([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        std::lock_guard<std::mutex> hold(lock);
        release = true;
        changed.notify_all();
    });
    // Under way on the worker: the taker waits for it rather than decoding it again.
    std::unique_ptr<raster::MemBitmap> image = queue.Take(7);
    releaser.join();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 7);
}

TEST(DecodeQueue, FinishKeepsWhatWasDecodedDropsTheRestAndTheQueueWorksAgain) {
    std::atomic<int> runs[4] = {};
    DecodeQueue idle(0);  // no worker: nothing starts before Finish
    idle.Add(1, Counting(1, runs[1]));
    idle.Finish();
    EXPECT_FALSE(idle.Holds(1));
    EXPECT_EQ(idle.Take(1), nullptr);
    EXPECT_EQ(runs[1].load(), 0);

    DecodeQueue queue(1);
    queue.Add(2, Counting(2, runs[2]));
    while (runs[2].load() == 0)
        std::this_thread::yield();
    queue.Finish();  // joins the worker, which finishes image 2 first
    ASSERT_TRUE(queue.Holds(2));
    EXPECT_EQ(queue.Take(2)->Width(), 2);
    queue.Add(3, Counting(3, runs[3]));
    EXPECT_EQ(queue.Take(3)->Width(), 3);
    queue.Clear();
    EXPECT_FALSE(queue.Holds(3));
}

TEST(DecodeQueue, AFailedDecodeIsTakenAsNoImage) {
    DecodeQueue queue(1);
    queue.Add(9, [] { return std::unique_ptr<raster::MemBitmap>(); });
    EXPECT_EQ(queue.Take(9), nullptr);
    EXPECT_FALSE(queue.Holds(9));
}

// Chores (writing kept images) queued by decodes, on the workers and from whoever takes an
// image, all run by the time Finish returns, even with decodes dropped, and never twice.
TEST(DecodeQueue, ChoresQueuedByDecodesAllRunBeforeFinishReturns) {
    DecodeQueue queue(2);
    std::atomic<int> chores[20] = {};
    for (int id = 0; id < 20; ++id) {
        queue.Add(id, [&queue, &chores, id] {
            queue.AddChore([&chores, id] {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
                ++chores[id];
            });
            return std::make_unique<raster::MemBitmap>(1, 1);
        });
    }
    for (int id = 0; id < 10; ++id)
        ASSERT_NE(queue.Take(id), nullptr);
    queue.Finish();
    for (int id = 0; id < 10; ++id)
        EXPECT_EQ(chores[id].load(), 1) << id;
    for (int id = 10; id < 20; ++id)
        EXPECT_LE(chores[id].load(), 1) << id;
}

// A decode still running when Finish starts may queue chores; they run on the workers Finish
// joins, not on new workers that would outlive it.
TEST(DecodeQueue, ChoresQueuedByADecodeDuringFinishRunBeforeItReturns) {
    // Which worker takes the last chore varies from run to run: a few rounds.
    for (int round = 0; round < 10; ++round) {
        DecodeQueue queue(1);
        std::atomic<bool> started{false}, go{false};
        std::atomic<int> chores{0};
        queue.Add(0, [&] {
            started = true;
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < 8; ++i) {
                queue.AddChore([&chores] {
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    ++chores;
                });
            }
            return std::make_unique<raster::MemBitmap>(1, 1);
        });
        while (!started.load())
            std::this_thread::yield();
        std::thread finisher([&queue] { queue.Finish(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        go = true;
        finisher.join();
        ASSERT_EQ(chores.load(), 8) << "round " << round;
        EXPECT_TRUE(queue.Holds(0));
    }
}
