#include "sim/SimPorts.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <rtmidi/RtMidi.h>

#include "midi/JackPeer.h"
#include "unit/FirmwareMessages.h"
#include "unit/UnitMessages.h"
#include "unit/VirtualOrvo.h"

namespace {

using Bytes = std::vector<uint8_t>;
using namespace std::chrono_literals;

// The editor's two ports and the simulator's on the test run's JACK server.
class SimPortsJackTest : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_JACK(); }

    void TearDown() override {
        // Every client goes before the server.
        if (editorIn_) editorIn_->cancelCallback();
        editorIn_.reset();
        editorOut_.reset();
    }

    // Connects the editor's ports to the simulator's.
    bool ConnectEditor() {
        editorOut_ = std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "test editor");
        editorIn_ = std::make_unique<RtMidiIn>(RtMidi::UNIX_JACK, "test editor");
        editorIn_->ignoreTypes(false, true, true);
        editorIn_->setCallback(&SimPortsJackTest::OnReply, this);
        bool out = false, in = false;
        for (unsigned i = 0; i < editorOut_->getPortCount(); ++i) {
            if (editorOut_->getPortName(i).find("Orvo Simulator") != std::string::npos) {
                editorOut_->openPort(i, "to unit");
                out = true;
            }
        }
        for (unsigned i = 0; i < editorIn_->getPortCount(); ++i) {
            if (editorIn_->getPortName(i).find("Orvo Simulator") != std::string::npos) {
                editorIn_->openPort(i, "from unit");
                in = true;
            }
        }
        return out && in;
    }

    static void OnReply(double, std::vector<unsigned char>* message, void* self) {
        auto* test = static_cast<SimPortsJackTest*>(self);
        std::lock_guard<std::mutex> hold(test->lock_);
        test->replies_.emplace_back(message->begin(), message->end());
        test->arrived_.notify_all();
    }

    // Waits up to two seconds for the reply count to reach n.
    bool WaitForReplies(size_t n) {
        std::unique_lock<std::mutex> hold(lock_);
        return arrived_.wait_for(hold, 2s, [&] { return replies_.size() >= n; });
    }

    Bytes Reply(size_t i) {
        std::lock_guard<std::mutex> hold(lock_);
        return replies_.at(i);
    }

    std::unique_ptr<RtMidiOut> editorOut_;
    std::unique_ptr<RtMidiIn> editorIn_;
    std::mutex lock_;
    std::condition_variable arrived_;
    std::vector<Bytes> replies_;
};

TEST_F(SimPortsJackTest, AnswersDumpRequestsAndTakesAFirmwareUpdateInPieces) {
    VirtualOrvo unit;
    unit.SetEraseDelayMs(50);
    SimPorts ports(unit);
    std::string reason;
    ASSERT_TRUE(ports.Open("Orvo Simulator", MidiBackend::Jack, &reason)) << reason;
    EXPECT_STREQ(ports.BackendName(), "JACK");
    std::atomic<bool> stop{false};
    std::thread poller([&] {
        while (!stop) {
            ports.Poll();
            std::this_thread::sleep_for(2ms);
        }
    });
    ASSERT_TRUE(ConnectEditor());
    std::this_thread::sleep_for(100ms);  // let the connections settle

    const Bytes request = *BuildDumpRequest(12);
    editorOut_->sendMessage(request.data(), request.size());
    ASSERT_TRUE(WaitForReplies(1));
    const Bytes dump = Reply(0);
    EXPECT_TRUE(IsProgramDump(dump.data(), dump.size()));
    EXPECT_TRUE(DumpChecksumMatches(dump.data(), dump.size()));
    EXPECT_EQ(dump[kProgramNumberIndex], 12);

    const Bytes start = BuildFirmwareStart();
    editorOut_->sendMessage(start.data(), start.size());
    ASSERT_TRUE(WaitForReplies(3));
    EXPECT_EQ(Reply(1)[kCodeIndex], kReplyErasing);
    EXPECT_EQ(Reply(2)[kCodeIndex], kReplyReadyForData);

    // JACK drops a single event over about 16 KB: the editor's link sends pieces, a few per
    // period, and the unit puts them together again.
    Bytes image(80000);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + 3);
    const Bytes data = *BuildFirmwareData(image.data(), image.size());
    ASSERT_EQ(data.size(), 91441u);
    for (size_t at = 0; at < data.size(); at += 8192) {
        editorOut_->sendMessage(data.data() + at, std::min<size_t>(8192, data.size() - at));
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(WaitForReplies(4));
    EXPECT_EQ(Reply(3)[kCodeIndex], kReplyUpdateSuccessful);

    stop = true;
    poller.join();
    ports.Close();
    unit.Poll(0);
    EXPECT_EQ(unit.Counters().firmwareUpdates, 1);
    EXPECT_EQ(unit.FirmwareImage().size(), 80000u);
}

TEST(SimPorts, WithoutAServerOpeningFailsWithAReason) {
    // A JACK client made without a server must not be used for a port: that would crash.
    const std::string shared =
        std::getenv("JACK_DEFAULT_SERVER") ? std::getenv("JACK_DEFAULT_SERVER") : "";
    setenv("JACK_DEFAULT_SERVER", "orvo-no-such-server", 1);
    VirtualOrvo unit;
    SimPorts ports(unit);
    std::string reason;
    EXPECT_FALSE(ports.Open("Orvo Simulator", MidiBackend::Jack, &reason));
    EXPECT_FALSE(ports.IsOpen());
    EXPECT_EQ(reason.rfind("JACK: ", 0), 0u) << reason;
    setenv("JACK_DEFAULT_SERVER", shared.c_str(), 1);
}

}  // namespace
