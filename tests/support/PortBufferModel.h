#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "midi/OutputPacer.h"
#include "plugin/MidiOutputPort.h"

// A MIDI port's output buffer as the kernel's sequencer keeps it: 4096 bytes, drained onto the
// cable at 3125 bytes a second. A message that does not fit is dropped whole and without a word
// ("MIDI output buffer overrun" in the kernel's log, nothing for the writer).
class PortBufferModel {
public:
    using TimePoint = OutputPacer::TimePoint;
    static constexpr double kCapacity = 4096;
    static constexpr double kDrainPerSecond = kCableBytesPerSecond;

    // Drains up to now, then takes the message if it fits.
    bool Write(const std::vector<uint8_t>& bytes, TimePoint now) {
        DrainUntil(now);
        if (held_ + static_cast<double>(bytes.size()) > kCapacity) {
            dropped_ += bytes.size();
            return false;
        }
        held_ += static_cast<double>(bytes.size());
        peak_ = std::max(peak_, held_);
        delivered_.insert(delivered_.end(), bytes.begin(), bytes.end());
        return true;
    }
    // When the last byte taken so far is on the cable.
    TimePoint EmptyAt() const {
        return last_ +
               std::chrono::microseconds(static_cast<int64_t>(held_ / kDrainPerSecond * 1e6));
    }
    size_t Dropped() const { return dropped_; }
    double Peak() const { return peak_; }
    // Everything that reached the cable, in order, as the unit reads it.
    const std::vector<uint8_t>& Delivered() const { return delivered_; }

private:
    void DrainUntil(TimePoint now) {
        if (now > last_) {
            const double seconds = std::chrono::duration<double>(now - last_).count();
            held_ = std::max(0.0, held_ - seconds * kDrainPerSecond);
            last_ = now;
        }
    }

    double held_ = 0;
    double peak_ = 0;
    size_t dropped_ = 0;
    TimePoint last_{};
    std::vector<uint8_t> delivered_;
};

// An output port made of the outlet's pacer in front of that buffer, on a clock the test moves:
// what the outlet's sending thread does, without a thread or a kernel.
class PacedPortModel : public MidiOutputPort {
public:
    using TimePoint = OutputPacer::TimePoint;

    explicit PacedPortModel(const SysExPacing& pacing) : pacer_(pacing) {}

    void SendMessage(const uint8_t* bytes, size_t size) override {
        pacer_.Put(bytes, size);
        RunUntil(now_);
    }
    // Runs the clock until the message has gone, telling progress as the outlet does.
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        const uint64_t ticket = pacer_.Put(bytes, size);
        while (pacer_.Holds(ticket)) {
            const std::optional<OutputPacer::Piece> piece = TakeNext();
            if (!piece) break;
            if (piece->ticket == ticket && progress && !progress(piece->handed, size)) {
                pacer_.Cancel(ticket);
            }
        }
    }

    // Hands on every piece due up to then, each at its time; the clock then stands at then.
    void RunUntil(TimePoint then) {
        for (;;) {
            const std::optional<TimePoint> due = pacer_.NextDue();
            if (!due || *due > then) break;
            TakeNext();
        }
        now_ = std::max(now_, then);
    }
    void RunUntilEmpty() {
        while (TakeNext()) {
        }
    }
    void Advance(std::chrono::microseconds step) { RunUntil(now_ + step); }

    TimePoint Now() const { return now_; }
    OutputPacer& Pacer() { return pacer_; }
    const PortBufferModel& Buffer() const { return buffer_; }

private:
    std::optional<OutputPacer::Piece> TakeNext() {
        const std::optional<TimePoint> due = pacer_.NextDue();
        if (!due) return std::nullopt;
        now_ = std::max(now_, *due);
        std::optional<OutputPacer::Piece> piece = pacer_.Take(now_);
        if (piece) buffer_.Write(piece->bytes, now_);
        return piece;
    }

    OutputPacer pacer_;
    PortBufferModel buffer_;
    TimePoint now_{};
};
