#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "raster/MemBitmap.h"

// Decodes images on worker threads ahead of their first use, so that the panel's first paint
// finds most of them ready and the rest can be decoded on the GUI thread at the same time. A
// job that no worker has started yet is decoded by the thread that asks for it instead of
// waiting behind the others. The workers start with the first job and end in Finish, which
// joins them; jobs not started by then are dropped. Chores (writing what was decoded to a cache)
// run on the workers after every decode queued, and all of them before Finish returns.
class DecodeQueue {
public:
    using Decode = std::function<std::unique_ptr<raster::MemBitmap>()>;
    using Chore = std::function<void()>;

    explicit DecodeQueue(int workerCount);
    ~DecodeQueue();
    DecodeQueue(const DecodeQueue&) = delete;
    DecodeQueue& operator=(const DecodeQueue&) = delete;

    // Queues the decode of image id, once per id until it is taken.
    void Add(int id, Decode decode);
    // Queues a chore for the workers; it runs when no decode waits. May be called by a decode.
    void AddChore(Chore chore);
    // Whether image id is queued, being decoded or decoded and not taken yet.
    bool Holds(int id) const;
    // The decoded image id, which leaves the queue: waited for while a worker decodes it,
    // decoded here when none has started it. Null when it is not queued or failed to decode.
    std::unique_ptr<raster::MemBitmap> Take(int id);
    // Drops the jobs not started, runs the chores left and joins the workers; the queue takes jobs
    // again afterwards.
    void Finish();
    // Finish, and the decoded images not taken are dropped too.
    void Clear();

private:
    enum class State { Queued, Running, Done };
    struct Job {
        int id = 0;
        Decode decode;
        State state = State::Queued;
        std::unique_ptr<raster::MemBitmap> result;
    };

    void Work();
    // Runs the oldest chore with the lock let go meanwhile; false when there is none.
    bool RunOneChore(std::unique_lock<std::mutex>& hold);
    void StartWorkers();
    std::vector<Job>::iterator Find(int id);

    const int workerCount_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Job> jobs_;
    std::deque<Chore> chores_;
    std::vector<std::thread> workers_;
    bool finishing_ = false;
};
