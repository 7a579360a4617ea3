#include <rtmidi/RtMidi.h>

#include <gtest/gtest.h>

#include <random>
#include <thread>

#include "midi/JackPeer.h"
#include "midi/MidiOutlet.h"

namespace {
using Bytes = std::vector<unsigned char>;

Bytes RandomSysEx(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<unsigned char>(random() & 0x7F);
    bytes.front() = 0xF0;
    bytes.back() = 0xF7;
    return bytes;
}

struct OutletToPeer : ::testing::Test {
    void SetUp() override {
        SKIP_WITHOUT_JACK();
        peer = std::make_unique<JackPeer>("outlet");
        outlet = std::make_unique<MidiOutlet>(
            std::make_unique<RtMidiOut>(RtMidi::UNIX_JACK, "RtMidi Output Client"),
            MidiBackend::Jack);
        for (unsigned i = 0; i < outlet->PortCount(); ++i) {
            if (outlet->PortName(i) == peer->InputName()) {
                ASSERT_TRUE(outlet->Open(i, "RtMidi Output"));
            }
        }
        ASSERT_TRUE(outlet->IsOpen()) << "no port " << peer->InputName();
        SettleJack();
    }
    void Send(const Bytes& b) { outlet->SendMessage(b.data(), b.size()); }

    std::unique_ptr<JackPeer> peer;
    std::unique_ptr<MidiOutlet> outlet;
};
}  // namespace

TEST_F(OutletToPeer, MessagesOfEveryLengthArriveWholeAndInOrder) {
    const Bytes firmware = RandomSysEx(91441, 1);
    const Bytes program = RandomSysEx(115, 2);
    Send({0xB0, 0x63, 0x01});
    Send(program);
    Send(firmware);
    Send({0xC0, 0x05, 0x00});
    ASSERT_TRUE(peer->WaitFor(4));
    const auto received = peer->Received();
    ASSERT_EQ(received.size(), 4u);
    EXPECT_EQ(received[0], (Bytes{0xB0, 0x63, 0x01}));
    EXPECT_EQ(received[1], program);
    EXPECT_EQ(received[2].size(), firmware.size());
    EXPECT_TRUE(received[2] == firmware) << "firmware bytes differ";
    EXPECT_EQ(received[3], (Bytes{0xC0, 0x05, 0x00}));
}

TEST_F(OutletToPeer, SendsFromTwoThreadsNeverInterleave) {
    constexpr int kSysExCount = 4;
    constexpr int kNoteCount = 300;
    const Bytes dump = RandomSysEx(20000, 3);
    std::thread gui([&] {
        for (int i = 0; i < kSysExCount; ++i) Send(dump);
    });
    std::thread midi([&] {
        for (int i = 0; i < kNoteCount; ++i) {
            Send({0x90, static_cast<unsigned char>(i % 128), 0x40});
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    gui.join();
    midi.join();
    ASSERT_TRUE(peer->WaitFor(kSysExCount + kNoteCount));
    int sysEx = 0, notes = 0;
    for (const auto& m : peer->Received()) {
        if (m.size() == 3 && m[0] == 0x90) {
            ++notes;
        } else {
            EXPECT_TRUE(m == dump) << "a system-exclusive message of " << m.size() << " bytes";
            ++sysEx;
        }
    }
    EXPECT_EQ(sysEx, kSysExCount);
    EXPECT_EQ(notes, kNoteCount);
}

TEST_F(OutletToPeer, NothingIsSentWhileClosed) {
    outlet->Close();
    Send({0x90, 0x3C, 0x40});
    Send(RandomSysEx(5000, 4));
    EXPECT_FALSE(peer->WaitFor(1, std::chrono::milliseconds(300)));
}
