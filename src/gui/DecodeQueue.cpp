#include "gui/DecodeQueue.h"

#include <algorithm>

#include <sys/resource.h>
#include <unistd.h>

namespace {
constexpr int kWorkerNice = 10;
}  // namespace

DecodeQueue::DecodeQueue(int workerCount) : workerCount_(std::max(workerCount, 0)) {}

DecodeQueue::~DecodeQueue() {
    Finish();
}

std::vector<DecodeQueue::Job>::iterator DecodeQueue::Find(int id) {
    return std::find_if(jobs_.begin(), jobs_.end(), [id](const Job& job) { return job.id == id; });
}

void DecodeQueue::Add(int id, Decode decode) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Find(id) != jobs_.end() || !decode) return;
    jobs_.push_back({id, std::move(decode), State::Queued, nullptr});
    StartWorkers();
    changed_.notify_all();
}

void DecodeQueue::StartWorkers() {
    // Called with the lock held. While Finish joins the workers it has taken out of workers_, a
    // decode still running may queue a chore: new workers started then would outlive Finish.
    if (!workers_.empty() || finishing_) return;
    for (int i = 0; i < workerCount_; ++i)
        workers_.emplace_back(&DecodeQueue::Work, this);
}

void DecodeQueue::AddChore(Chore chore) {
    if (!chore) return;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (workerCount_ > 0) {
            chores_.push_back(std::move(chore));
            StartWorkers();
            changed_.notify_all();
            return;
        }
    }
    chore();
}

bool DecodeQueue::Holds(int id) const {
    std::lock_guard<std::mutex> hold(lock_);
    return std::any_of(jobs_.begin(), jobs_.end(), [id](const Job& job) { return job.id == id; });
}

std::unique_ptr<raster::MemBitmap> DecodeQueue::Take(int id) {
    std::unique_lock<std::mutex> hold(lock_);
    auto job = Find(id);
    if (job == jobs_.end()) return nullptr;
    if (job->state == State::Queued) {
        Decode decode = std::move(job->decode);
        jobs_.erase(job);
        hold.unlock();
        return decode();
    }
    changed_.wait(hold, [&] {
        job = Find(id);
        return job == jobs_.end() || job->state == State::Done;
    });
    if (job == jobs_.end()) return nullptr;
    std::unique_ptr<raster::MemBitmap> result = std::move(job->result);
    jobs_.erase(job);
    return result;
}

bool DecodeQueue::RunOneChore(std::unique_lock<std::mutex>& hold) {
    if (chores_.empty()) return false;
    Chore chore = std::move(chores_.front());
    chores_.pop_front();
    hold.unlock();
    chore();
    hold.lock();
    return true;
}

void DecodeQueue::Work() {
    // Work ahead gives way to the GUI thread and the window system, which the first paint waits
    // for; a worker the GUI thread waits for has the processor to itself anyway.
    (void)setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kWorkerNice);
    std::unique_lock<std::mutex> hold(lock_);
    while (true) {
        auto job = std::find_if(jobs_.begin(), jobs_.end(), [](const Job& candidate) {
            return candidate.state == State::Queued;
        });
        if (finishing_ || job == jobs_.end()) {
            if (RunOneChore(hold)) continue;
            if (finishing_) return;
            changed_.wait(hold);
            continue;
        }
        job->state = State::Running;
        const int id = job->id;
        Decode decode = std::move(job->decode);
        hold.unlock();
        std::unique_ptr<raster::MemBitmap> decoded = decode();
        hold.lock();
        // Jobs before it may have been taken meanwhile: found again by id.
        job = Find(id);
        job->result = std::move(decoded);
        job->state = State::Done;
        changed_.notify_all();
    }
}

void DecodeQueue::Finish() {
    std::vector<std::thread> workers;
    {
        std::lock_guard<std::mutex> hold(lock_);
        finishing_ = true;
        workers.swap(workers_);
        changed_.notify_all();
    }
    for (std::thread& worker : workers)
        worker.join();
    std::unique_lock<std::mutex> hold(lock_);
    // A chore queued from another thread after the last worker left is run here.
    while (RunOneChore(hold)) {
    }
    // Decoded images not taken are kept for Take; what never started is dropped.
    jobs_.erase(std::remove_if(jobs_.begin(), jobs_.end(),
                               [](const Job& job) { return job.state != State::Done; }),
                jobs_.end());
    finishing_ = false;
}

void DecodeQueue::Clear() {
    Finish();
    std::lock_guard<std::mutex> hold(lock_);
    jobs_.clear();
}
