#include "util/SignalPipe.h"

#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The handler may only write to a descriptor; which one is kept where it can read it at once.
std::atomic<int> writeEnd{-1};

extern "C" void OnSignal(int number) {
    const int fd = writeEnd.load();
    if (fd < 0) return;
    const char byte = static_cast<char>(number);
    const ssize_t written = ::write(fd, &byte, 1);
    (void)written;  // a full pipe already holds a byte that the loop will see
}

}  // namespace

bool SignalPipe::Open(std::initializer_list<int> signalNumbers) {
    if (IsOpen() || writeEnd.load() >= 0) return false;
    std::array<int, 2> ends{-1, -1};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) return false;
    ends_ = ends;
    writeEnd.store(ends_[1]);
    signals_.assign(signalNumbers.begin(), signalNumbers.end());
    for (int number : signals_)
        std::signal(number, OnSignal);
    return true;
}

bool SignalPipe::Drain() {
    if (!IsOpen()) return false;
    bool any = false;
    char bytes[16];
    while (::read(ends_[0], bytes, sizeof bytes) > 0)
        any = true;
    return any;
}

void SignalPipe::Close() {
    if (!IsOpen()) return;
    for (int number : signals_)
        std::signal(number, SIG_DFL);
    signals_.clear();
    writeEnd.store(-1);
    ::close(ends_[0]);
    ::close(ends_[1]);
    ends_ = {-1, -1};
}
