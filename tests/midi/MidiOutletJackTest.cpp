#include <rtmidi/RtMidi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "midi/JackPeer.h"
#include "midi/MidiOutlet.h"

namespace {
using Bytes = std::vector<unsigned char>;

Bytes RandomSysEx(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes)
        b = static_cast<unsigned char>(random() & 0x7F);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

struct OutletToPeer : ::testing::Test {
    void SetUp() override {
        SKIP_WITHOUT_JACK();
        peer = std::make_unique<JackPeer>("outlet");
        MidiBackend backend = MidiBackend::Jack;
        outlet = std::make_unique<MidiOutlet>(backend, "RtMidi Output Client");
        ASSERT_TRUE(outlet->Exists());
        // JACK's own MIDI is no cable: these tests move large messages without the cable's pace.
        outlet->SetPacing(MidiOutlet::PacingFor(MidiBackend::Jack, true));
        for (unsigned i = 0; i < outlet->PortCount(); ++i) {
            if (outlet->PortName(i) == peer->InputName()) {
                ASSERT_TRUE(outlet->Open(i, "RtMidi Output"));
            }
        }
        ASSERT_TRUE(outlet->IsOpen()) << "no port " << peer->InputName();
        // The connection is up once a message gets through.
        for (int i = 0; i < 50 && peer->Received().empty(); ++i) {
            Send({0x80, 0x00, 0x00});
            peer->WaitFor(1, std::chrono::milliseconds(100));
        }
        ASSERT_FALSE(peer->Received().empty());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        warmUp = peer->Received().size();
    }
    void Send(const Bytes& b) { outlet->SendMessage(b.data(), b.size()); }

    std::unique_ptr<JackPeer> peer;
    std::unique_ptr<MidiOutlet> outlet;
    size_t warmUp = 0;  // messages of the connection check
};
}  // namespace

TEST_F(OutletToPeer, MessagesOfEveryLengthArriveWholeAndInOrder) {
    const Bytes firmware = RandomSysEx(91441, 1);
    const Bytes program = RandomSysEx(115, 2);
    Send({0xB0, 0x63, 0x01});
    Send(program);
    Send(firmware);
    Send({0xC0, 0x05, 0x00});
    ASSERT_TRUE(peer->WaitFor(warmUp + 4));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto all = peer->Received();
    const std::vector<Bytes> received(all.begin() + static_cast<long>(warmUp), all.end());
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], (Bytes{0xB0, 0x63, 0x01}));
    EXPECT_EQ(received[1], program);
    EXPECT_EQ(received[2], firmware);
    EXPECT_EQ(received[3], (Bytes{0xC0, 0x05, 0x00}));
}

TEST_F(OutletToPeer, SendsFromTwoThreadsNeverInterleave) {
    constexpr int kSysExCount = 4;
    constexpr int kNoteCount = 300;
    const Bytes dump = RandomSysEx(20000, 3);
    std::thread gui([&] {
        for (int i = 0; i < kSysExCount; ++i)
            Send(dump);
    });
    std::thread midi([&] {
        for (int i = 0; i < kNoteCount; ++i) {
            Send({0x90, static_cast<unsigned char>(i % 128), 0x40});
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    gui.join();
    midi.join();
    // Nothing mixed: a note inside a system-exclusive message would leave its status byte there.
    // A cycle that JACK misses on a busy machine (under ThreadSanitizer often) loses the events
    // of that cycle, a piece of a long message among them, so the counts are not exact here;
    // MessagesOfEveryLengthArriveWholeAndInOrder checks long messages arriving whole.
    peer->WaitFor(warmUp + kSysExCount + kNoteCount, std::chrono::seconds(10));
    int sysEx = 0, notes = 0;
    for (const auto& m : peer->Received()) {
        if (m.size() == 3 && m[0] == 0x90) {
            ++notes;
        } else {
            EXPECT_FALSE(HoldsChannelMessage(m)) << "a note inside a system-exclusive message";
            sysEx += m == dump;
        }
    }
    EXPECT_GT(sysEx, 0);
    EXPECT_LE(sysEx, kSysExCount);
    EXPECT_GT(notes, kNoteCount / 2);
    EXPECT_LE(notes, kNoteCount);
}

TEST_F(OutletToPeer, AtTheCablePaceALongMessageTakesItsCableTimeAndTheSenderGoesOnAtOnce) {
    outlet->SetPacing(MidiOutlet::PacingFor(MidiBackend::Jack));
    const Bytes dump = RandomSysEx(2812, 6);
    const auto start = std::chrono::steady_clock::now();
    Send(dump);
    Send({0x90, 0x3C, 0x40});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    ASSERT_TRUE(peer->WaitFor(warmUp + 2, std::chrono::seconds(5)));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GT(took, std::chrono::milliseconds(800)) << "a second's worth at the cable's pace";
    EXPECT_LT(took, std::chrono::milliseconds(1500));
    const auto all = peer->Received();
    EXPECT_EQ(all[warmUp], dump);
    EXPECT_EQ(all[warmUp + 1], (Bytes{0x90, 0x3C, 0x40}));
}

TEST_F(OutletToPeer, NothingIsSentWhileClosed) {
    outlet->Close();
    Send({0x90, 0x3C, 0x40});
    Send(RandomSysEx(5000, 4));
    EXPECT_FALSE(peer->WaitFor(warmUp + 1, std::chrono::milliseconds(300)));
}

TEST_F(OutletToPeer, APortThatFailsToOpenStaysClosedWithAReason) {
    // RtMidi reports a port number it does not have as an error; nothing is thrown.
    EXPECT_FALSE(outlet->Open(outlet->PortCount() + 5, "RtMidi Output"));
    EXPECT_FALSE(outlet->IsOpen());
    EXPECT_FALSE(outlet->LastError().empty());
    Send({0x90, 0x3C, 0x40});
    EXPECT_FALSE(peer->WaitFor(warmUp + 1, std::chrono::milliseconds(300)));
}

namespace {

// A JACK server of a test's own, named from the pool given, made the default for the test's JACK
// clients while it lives; the shared server is the default again afterwards.
class OwnJackServer {
public:
    explicit OwnJackServer(const char* name)
        : shared_(std::getenv("JACK_DEFAULT_SERVER")),
          state_(std::filesystem::temp_directory_path().string() + "/" + name + "-" +
                 std::to_string(getpid())),
          name_(name) {}
    ~OwnJackServer() {
        Stop();
        setenv("JACK_DEFAULT_SERVER", shared_.c_str(), 1);
        std::error_code error;
        std::filesystem::remove_all(state_, error);
    }
    // Points the clients at the server under its name, running or not.
    void Choose() {
        std::ifstream nameFile(state_ + "/server-name");
        std::string name;
        std::getline(nameFile, name);
        setenv("JACK_DEFAULT_SERVER", (name.empty() ? name_ + "-none" : name).c_str(), 1);
    }
    // Starts it and makes it the default; false when it did not come up.
    bool Start() {
        started_ = Run("start") == 0;
        Choose();
        return started_ && JackServerRunning();
    }
    void Stop() {
        if (started_) Run("stop");
        started_ = false;
    }

private:
    int Run(const char* action) {
        const std::string command =
            std::string(ORVO_JACK_SCRIPT) + " " + action + " " + state_ + " " + name_;
        return std::system(command.c_str());
    }

    const std::string shared_;
    const std::string state_;
    const std::string name_;
    bool started_ = false;
};

#define SKIP_WITHOUT_OWN_SERVER(server)                                          \
    do {                                                                         \
        if (!(server).Start()) {                                                 \
            if (std::getenv("CI") != nullptr) FAIL() << "no second JACK server"; \
            GTEST_SKIP() << "no second JACK server";                             \
        }                                                                        \
    } while (false)

}  // namespace

TEST(OutletOnAStoppedServer, GivesUpInsteadOfFreezing) {
    // A JACK server of this test's own, stopped while the outlet is connected through it.
    SKIP_WITHOUT_JACK();
    OwnJackServer server("orvo-stall");
    SKIP_WITHOUT_OWN_SERVER(server);
    JackPeer peer("stall");
    MidiBackend backend = MidiBackend::Jack;
    MidiOutlet outlet(backend, "RtMidi Output Client");
    outlet.SetPacing(MidiOutlet::PacingFor(MidiBackend::Jack, true));
    for (unsigned i = 0; i < outlet.PortCount(); ++i) {
        if (outlet.PortName(i) == peer.InputName()) outlet.Open(i, "RtMidi Output");
    }
    ASSERT_TRUE(outlet.IsOpen());
    server.Stop();

    // Nothing drains RtMidi's ring buffer any more: once it is full, the sending thread is stuck
    // in RtMidi, and the next send past kStallLimit gives the back end up. No send waits.
    const Bytes dump = RandomSysEx(20000, 5);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i)
        outlet.SendMessage(dump.data(), dump.size());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    while (!outlet.Abandoned() &&
           std::chrono::steady_clock::now() - start < MidiOutlet::kStallLimit * 3) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        outlet.SendMessage(dump.data(), 3);
    }
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, MidiOutlet::kStallLimit * 3);
    EXPECT_TRUE(outlet.Abandoned());
    EXPECT_FALSE(outlet.IsOpen());
    outlet.SendMessage(dump.data(), 3);  // returns at once
}

// An outlet made while no JACK server runs lists no ports and does not ask again for a second;
// a server started later is found after that, without a new outlet.
TEST(OutletWithoutAServer, ListsNothingThenFindsTheServerThatCameLater) {
    SKIP_WITHOUT_JACK();
    OwnJackServer server("orvo-stall");
    server.Choose();
    const char* noStart = std::getenv("JACK_NO_START_SERVER");
    const std::string noStartBefore = noStart != nullptr ? noStart : "";
    setenv("JACK_NO_START_SERVER", "1", 1);
    MidiBackend backend = MidiBackend::Jack;
    MidiOutlet outlet(backend, "RtMidi Output Client");
    ASSERT_TRUE(outlet.Exists());
    EXPECT_EQ(outlet.PortCount(), 0u);
    EXPECT_TRUE(JackUnreachableJustNow());

    SKIP_WITHOUT_OWN_SERVER(server);
    JackPeer peer("late");
    // Until the second is over the outlet does not look, though the server is there now.
    if (JackUnreachableJustNow()) {
        EXPECT_EQ(outlet.PortCount(), 0u);
    }
    while (JackUnreachableJustNow())
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    bool found = false;
    for (unsigned i = 0; i < outlet.PortCount(); ++i)
        found = found || outlet.PortName(i) == peer.InputName();
    EXPECT_TRUE(found) << "no port " << peer.InputName();
    if (noStart == nullptr) {
        unsetenv("JACK_NO_START_SERVER");
    } else {
        setenv("JACK_NO_START_SERVER", noStartBefore.c_str(), 1);
    }
}
