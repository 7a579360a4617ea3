#pragma once

#include <cstdint>

// The once-a-second tick of the message loop: due when more than 1000 ms have passed since the
// last one. It is checked only when the loop is about to wait, so after a quiet spell the first
// message brings exactly one tick.
class TickClock {
public:
    explicit TickClock(int64_t nowMs = 0) : lastMs_(nowMs) {}
    void Reset(int64_t nowMs) { lastMs_ = nowMs; }
    // True, and the clock restarted, when a tick is due at nowMs.
    bool Due(int64_t nowMs) {
        if (static_cast<double>(nowMs - lastMs_) / 1000.0 <= 1.0) return false;
        lastMs_ = nowMs;
        return true;
    }

private:
    int64_t lastMs_;
};
