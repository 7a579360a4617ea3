#pragma once

#include <array>
#include <initializer_list>
#include <vector>

// Turns signals into bytes on a pipe that an event loop watches like any other descriptor: a
// signal handler may do almost nothing safely, so it only writes the signal's number there and
// the loop does the work. One pipe at a time owns the signals; closing it gives them back their
// default action.
class SignalPipe {
public:
    SignalPipe() = default;
    ~SignalPipe() { Close(); }
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // Catches the given signals from now on. False when another pipe holds them or no pipe
    // could be made; the signals then keep the action they had.
    [[nodiscard]] bool Open(std::initializer_list<int> signalNumbers);
    bool IsOpen() const { return ends_[0] >= 0; }

    // The descriptor to watch for reading; -1 when closed.
    int ReadEnd() const { return ends_[0]; }

    // Takes every byte that arrived, so the descriptor is quiet until the next signal; true
    // when there was at least one.
    bool Drain();

    void Close();

private:
    std::array<int, 2> ends_{-1, -1};
    std::vector<int> signals_;
};
