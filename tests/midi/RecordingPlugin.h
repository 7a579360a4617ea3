#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "plugin/StandalonePlugin.h"
#include "util/MidiMessage.h"

// A plug-in object that records what the MIDI link hands it, and on which thread.
class RecordingPlugin : public StandalonePlugin {
public:
    RecordingPlugin() : StandalonePlugin(nullptr, nullptr) {}
    RecordingPlugin(MidiOutputPort* output, const uint16_t* outputChannel)
        : StandalonePlugin(output, outputChannel) {}

    struct Short {
        uint8_t status, data1, data2;
        bool operator==(const Short&) const = default;
    };

    void HandleMidiMessage(const MidiMessage& m) override { Record(unit_, m); }
    void HandleKeyboardMessage(const MidiMessage& m) override {
        Record(keyboard_, m);
        if (passKeyboardThrough_.load()) PluginBase::HandleKeyboardMessage(m);
    }
    void HandleSysEx(const SysExMessage& m) override {
        std::lock_guard<std::mutex> hold(lock_);
        sysEx_.emplace_back(m.bytes, m.bytes + m.size);
        threads_.push_back(std::this_thread::get_id());
        arrived_.notify_all();
    }

    void PassKeyboardThrough(bool on) { passKeyboardThrough_ = on; }

    std::vector<Short> Unit() { return Copy(unit_); }
    std::vector<Short> Keyboard() { return Copy(keyboard_); }
    std::vector<std::vector<uint8_t>> SysEx() { return Copy(sysEx_); }
    std::vector<std::thread::id> Threads() { return Copy(threads_); }
    size_t Count() {
        std::lock_guard<std::mutex> hold(lock_);
        return unit_.size() + keyboard_.size() + sysEx_.size();
    }
    bool WaitForCount(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
        std::unique_lock<std::mutex> hold(lock_);
        return arrived_.wait_for(hold, timeout, [&] {
            return unit_.size() + keyboard_.size() + sysEx_.size() >= count;
        });
    }

private:
    void Record(std::vector<Short>& list, const MidiMessage& m) {
        std::lock_guard<std::mutex> hold(lock_);
        list.push_back({m.status, m.data1, m.data2});
        threads_.push_back(std::this_thread::get_id());
        arrived_.notify_all();
    }
    template <typename T>
    std::vector<T> Copy(const std::vector<T>& list) {
        std::lock_guard<std::mutex> hold(lock_);
        return list;
    }

    std::atomic<bool> passKeyboardThrough_{false};
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<Short> unit_, keyboard_;
    std::vector<std::vector<uint8_t>> sysEx_;
    std::vector<std::thread::id> threads_;
};
