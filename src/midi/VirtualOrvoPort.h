#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "midi/MidiTrafficQueue.h"
#include "plugin/MidiOutputPort.h"
#include "unit/VirtualOrvo.h"

// The Orvo built into the editor, reached as the port pair "Virtual Orvo" with no MIDI system at
// all. What the editor sends reaches the unit at once. Its replies come back on the port's own
// input thread, in order, as a real unit's replies come on a MIDI input's thread: never inside
// the send that caused them, so a sender holding the plug-in's lock is never re-entered.
//
// The 99 programs are kept as program files in a folder of their own (see ProgramFolder); a
// program the unit stored is written there, atomically, by the input thread soon after.
class VirtualOrvoPort : public MidiOutputPort {
public:
    static constexpr const char* kPortName = "Virtual Orvo";
    using Handler = std::function<void(const uint8_t* bytes, size_t size)>;

    // Loads the programs kept in folder; an empty folder name keeps them in memory only.
    explicit VirtualOrvoPort(std::string folder);
    // Stops the input thread and writes what was not written yet.
    ~VirtualOrvoPort() override;
    VirtualOrvoPort(const VirtualOrvoPort&) = delete;
    VirtualOrvoPort& operator=(const VirtualOrvoPort&) = delete;

    // The unit takes every message whole, so a long one is handed on in one go.
    void SendMessage(const uint8_t* bytes, size_t size) override;
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override;

    // Where a copy of every message to the unit is put, for the MIDI monitor; null for none.
    void SetTraffic(MidiTrafficQueue* traffic) { traffic_.store(traffic); }

    // The replies go to handler from now on. Without a handler they are dropped, as a closed
    // input drops them.
    void SetHandler(Handler handler);
    // When it returns, no call of the handler is running or will start.
    void CancelHandler();
    bool HasHandler();

    // Runs f with the unit under its lock: tests read it, and its faults are set this way.
    template <typename F>
    void WithUnit(F&& f) {
        std::lock_guard<std::mutex> hold(lock_);
        f(unit_);
    }

    const std::string& Folder() const { return folder_; }

private:
    void InputLoop();
    // Takes the replies waiting, with the lock held, and hands them on without it.
    void DeliverWaiting(std::unique_lock<std::mutex>& hold);
    // Writes the programs that changed since the last write, without the lock while writing; only
    // the input thread (and the destructor after it) writes.
    void WriteChangedPrograms(std::unique_lock<std::mutex>& hold);

    const std::string folder_;
    std::atomic<MidiTrafficQueue*> traffic_{nullptr};

    std::mutex deliveryLock_;  // held while the handler runs
    Handler handler_;

    std::mutex lock_;  // the unit, the replies waiting, the written programs, stopping_
    std::condition_variable wake_;
    VirtualOrvo unit_;
    std::deque<std::vector<uint8_t>> replies_;
    // The programs as last written to the folder, and the unit's count of stored programs then.
    std::array<ProgramBlock, kLastProgramNumber> written_{};
    int storedSeen_ = 0;
    bool writeFailed_ = false;
    bool stopping_ = false;
    std::thread inputThread_;
};
