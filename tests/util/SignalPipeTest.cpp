#include "util/SignalPipe.h"

#include <gtest/gtest.h>

#include <poll.h>

#include <csignal>

namespace {

bool Readable(int fd) {
    pollfd watched{fd, POLLIN, 0};
    return poll(&watched, 1, 0) == 1 && (watched.revents & POLLIN) != 0;
}

bool HandledByDefault(int number) {
    struct sigaction current {};
    sigaction(number, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

}  // namespace

TEST(SignalPipe, ASignalBecomesAByteUntilDrained) {
    SignalPipe pipe;
    ASSERT_TRUE(pipe.Open({SIGUSR1, SIGUSR2}));
    EXPECT_FALSE(Readable(pipe.ReadEnd()));
    EXPECT_FALSE(pipe.Drain());

    std::raise(SIGUSR1);
    std::raise(SIGUSR2);
    EXPECT_TRUE(Readable(pipe.ReadEnd()));
    EXPECT_TRUE(pipe.Drain());
    EXPECT_FALSE(Readable(pipe.ReadEnd())) << "one drain takes every byte";
}

TEST(SignalPipe, OnePipeHoldsTheSignalsAndClosingGivesThemBack) {
    {
        SignalPipe first;
        ASSERT_TRUE(first.Open({SIGUSR1}));
        EXPECT_FALSE(HandledByDefault(SIGUSR1));
        SignalPipe second;
        EXPECT_FALSE(second.Open({SIGUSR2})) << "the handler writes to one pipe only";
        EXPECT_FALSE(second.IsOpen());
        EXPECT_TRUE(HandledByDefault(SIGUSR2)) << "a refused pipe changes no signal";
    }
    EXPECT_TRUE(HandledByDefault(SIGUSR1));
    SignalPipe again;
    EXPECT_TRUE(again.Open({SIGUSR1})) << "a closed pipe frees the place";
    again.Close();
    EXPECT_EQ(again.ReadEnd(), -1);
    EXPECT_TRUE(HandledByDefault(SIGUSR1));
}
