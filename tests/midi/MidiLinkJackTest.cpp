#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <thread>

#include "midi/JackPeer.h"
#include "midi/MidiLink.h"
#include "midi/RecordingPlugin.h"

namespace {
using Bytes = std::vector<unsigned char>;
using Short = RecordingPlugin::Short;

bool Lists(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

struct LinkToPeer : ::testing::Test {
    void SetUp() override {
        SKIP_WITHOUT_JACK();
        peer = std::make_unique<JackPeer>("link");
        link = std::make_unique<MidiLink>(
            settings, [this] { ++writes; }, MidiBackend::Jack);
        ASSERT_TRUE(link->CreateMidiPorts());
        plugin = std::make_unique<RecordingPlugin>(link->OutputPort(), &settings.outputChannel);
        link->SetPlugin(plugin.get());
    }
    void TearDown() override {
        if (link) link->CloseAll();
    }

    MidiSettings settings;
    int writes = 0;
    std::unique_ptr<RecordingPlugin> plugin;  // outlives the link's deliveries
    std::unique_ptr<JackPeer> peer;
    std::unique_ptr<MidiLink> link;
};
}  // namespace

TEST_F(LinkToPeer, ListsShowThePeerButNotTheProgramsOwnPorts) {
    ASSERT_TRUE(link->OpenOutput(peer->InputName().c_str()));
    link->ListMidiPorts();
    const auto& inputs = link->InputNames();
    const auto& outputs = link->OutputNames();
    ASSERT_FALSE(inputs.empty());
    EXPECT_EQ(inputs[0], "off");
    EXPECT_EQ(outputs[0], "off");
    EXPECT_TRUE(Lists(inputs, peer->OutputName()));
    EXPECT_TRUE(Lists(outputs, peer->InputName()));
    for (const auto& name : inputs)
        EXPECT_EQ(name.find("RtMidi Output"), std::string::npos) << name;
    EXPECT_EQ(writes, 0);
}

TEST_F(LinkToPeer, PortsOpenByNameAndUnknownNamesTurnOff) {
    const int number = link->FindOutputPort(peer->InputName().c_str());
    ASSERT_GT(number, 0);
    EXPECT_EQ(link->Output()->PortName(number - 1), peer->InputName());
    EXPECT_EQ(link->FindInputPort(MidiRole::KeyboardInput, "off"), 0);
    EXPECT_EQ(link->FindInputPort(MidiRole::UnitInput, "nobody:here"), -1);

    settings.SetName(MidiRole::UnitInput, "no input");
    EXPECT_TRUE(link->OpenUnitInput(settings.unitInputName));
    EXPECT_STREQ(settings.unitInputName, "off");
    EXPECT_EQ(writes, 1);
    EXPECT_FALSE(link->UnitInput()->IsOpen());

    settings.SetName(MidiRole::UnitInput, peer->OutputName());
    EXPECT_TRUE(link->OpenRole(MidiRole::UnitInput));
    EXPECT_TRUE(link->UnitInput()->IsOpen());
    EXPECT_TRUE(link->OpenRole(MidiRole::UnitInput));  // re-opening the same port works too
    EXPECT_TRUE(link->UnitInput()->IsOpen());
    EXPECT_EQ(writes, 1);
}

TEST_F(LinkToPeer, IncomingMessagesReachThePluginOnTheInputThreadFiltered) {
    ASSERT_TRUE(link->OpenUnitInput(peer->OutputName().c_str()));
    settings.SetChannel(MidiRole::UnitInput, 1);
    SettleJack();
    Bytes dump(115, 0x01);
    dump.front() = 0xF0;
    dump.back() = 0xF7;
    peer->Send({0x91, 0x3C, 0x40});  // channel 2: dropped
    peer->Send({0x90, 0x3C, 0x40});
    peer->Send({0xF8});  // timing clock: dropped by the type filter
    peer->Send(dump);
    plugin->WaitForCount(2, std::chrono::seconds(2));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(plugin->Unit().size(), 1u);
    ASSERT_EQ(plugin->SysEx().size(), 1u);
    for (const Short& m : plugin->Unit())
        EXPECT_EQ(m, (Short{0x90, 0x3C, 0x40}));
    for (const auto& m : plugin->SysEx())
        EXPECT_EQ(m, dump);
    for (auto id : plugin->Threads())
        EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(LinkToPeer, KeyboardFloodPassesThroughWhileTheGuiSendsSysEx) {
    // Keyboard notes go straight back out through the outlet on the input thread, while this
    // thread sends long messages through the same outlet.
    // The peer is no cable: at the cable's pace the five long messages would hold the notes
    // queued behind them for nine seconds.
    settings.fastInterface = true;
    ASSERT_TRUE(link->OpenKeyboardInput(peer->OutputName().c_str()));
    ASSERT_TRUE(link->OpenOutput(peer->InputName().c_str()));
    ASSERT_TRUE(link->OpenUnitInput(peer->OutputName().c_str()));  // same port, both roles
    plugin->PassKeyboardThrough(true);
    settings.SetChannel(MidiRole::Output, 1);
    // Both connections are up once a note comes back.
    for (int i = 0; i < 50 && peer->Received().empty(); ++i) {
        peer->Send({0x80, 0x00, 0x00});
        peer->WaitFor(1, std::chrono::milliseconds(100));
    }
    ASSERT_FALSE(peer->Received().empty());
    const size_t warmUp = peer->Received().size();

    Bytes dump(5000, 0x22);
    dump.front() = 0xF0;
    dump.back() = 0xF7;
    constexpr int kNotes = 200;
    std::thread keyboard([&] {
        for (int i = 0; i < kNotes; ++i) {
            peer->Send({0x90, static_cast<unsigned char>(i % 128), 0x40});
            if (i % 20 == 0) peer->Send(dump);  // sysex on both inputs: logged / handled
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    for (int i = 0; i < 5; ++i) {
        SysExMessage message;
        message.size = static_cast<int32_t>(dump.size());
        message.bytes = dump.data();
        EXPECT_TRUE(plugin->SendSysEx(message));
    }
    keyboard.join();
    // Nothing hangs, and nothing comes back mixed. A cycle that JACK misses on a busy machine
    // loses its events, and with them a piece of a long message, so the counts are not exact
    // (the outlet tests check long messages arriving whole).
    peer->WaitFor(warmUp + kNotes + 5);
    int notes = 0;
    const auto received = peer->Received();
    for (auto m = received.begin() + static_cast<long>(warmUp); m != received.end(); ++m) {
        if (m->size() == 3) {
            EXPECT_TRUE((*m)[0] == 0x90 || (*m)[0] == 0x80);
            notes += (*m)[0] == 0x90;
        } else {
            EXPECT_FALSE(HoldsChannelMessage(*m)) << "a note inside a system-exclusive message";
        }
    }
    // Under the sanitizers the process threads run so slowly that JACK misses many cycles.
    EXPECT_GT(notes, 0);
    EXPECT_LE(notes, kNotes);
}

TEST_F(LinkToPeer, NoDeliveryAfterCloseAll) {
    ASSERT_TRUE(link->OpenUnitInput(peer->OutputName().c_str()));
    SettleJack();
    link->CloseAll();
    EXPECT_FALSE(link->UnitInput()->HasHandler());
    EXPECT_FALSE(link->UnitInput()->IsOpen());
    peer->Send({0x90, 0x3C, 0x40});
    EXPECT_FALSE(plugin->WaitForCount(1, std::chrono::milliseconds(300)));
}

// What the search and the shutdown do to inputs while a peer keeps sending: handlers stopped and
// started again, and inputs deleted with their port open. The back end's thread delivers all the
// while; a stopped input hands nothing on, and nothing is left running into a deleted object.
TEST_F(LinkToPeer, InputsStoppedStartedAndDeletedWhileAPeerFloodsThem) {
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        while (flooding) {
            peer->Send({0x90, 0x3C, 0x40});
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    const auto openOnPeer = [&](MidiInlet& inlet) {
        for (unsigned i = 0; i < inlet.PortCount(); ++i) {
            if (inlet.PortName(i) == peer->OutputName()) return inlet.Open(i, "RtMidi Input");
        }
        return false;
    };
    const auto waitUntil = [](const std::function<bool()>& done) {
        for (int i = 0; i < 400 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return done();
    };

    MidiBackend backend = MidiBackend::Jack;
    MidiInlet inlet(backend, MidiLink::kInputClientName);
    std::atomic<int> delivered{0};
    const auto count = [&](const uint8_t*, size_t) { ++delivered; };
    inlet.SetHandler(count);
    ASSERT_TRUE(openOnPeer(inlet));
    for (int round = 0; round < 10; ++round) {
        const int before = delivered.load();
        if (round > 0) inlet.SetHandler(count);
        EXPECT_TRUE(waitUntil([&] { return delivered.load() > before; })) << "round " << round;
        inlet.CancelHandler();
        EXPECT_FALSE(inlet.HasHandler());
        const int stopped = delivered.load();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(delivered.load(), stopped) << "delivered while stopped, round " << round;
    }

    for (int round = 0; round < 10; ++round) {
        std::atomic<int> heard{0};
        {
            MidiInlet brief(backend, MidiLink::kInputClientName);
            brief.SetHandler([&](const uint8_t*, size_t) { ++heard; });
            ASSERT_TRUE(openOnPeer(brief));
            EXPECT_TRUE(waitUntil([&] { return heard.load() > 0; })) << "round " << round;
        }
    }
    flooding = false;
    flood.join();
}

TEST_F(LinkToPeer, APortThatGoesAndComesBackIsClosedAndOpenedAgainByName) {
    const std::string late = "orvo-peer-late-" + std::to_string(getpid());
    const std::string lateInput = late + "-i:in";
    settings.SetName(MidiRole::Output, lateInput);
    EXPECT_TRUE(link->OpenOutput(settings.outputName));
    EXPECT_FALSE(link->Output()->IsOpen());
    EXPECT_EQ(settings.outputName, lateInput);  // kept, not turned off
    EXPECT_EQ(writes, 0);
    link->ListMidiPorts();
    EXPECT_FALSE(link->RescanPorts());

    auto peerLate = std::make_unique<JackPeer>("late");
    ASSERT_EQ(peerLate->InputName(), lateInput);
    EXPECT_TRUE(link->RescanPorts());
    ASSERT_TRUE(link->Output()->IsOpen());
    EXPECT_EQ(link->OpenedName(MidiRole::Output), lateInput);
    EXPECT_EQ(link->TakePortNotes(),
              std::vector<std::string>{"Output \"" + lateInput + "\" opened"});
    // A cycle that JACK misses on a busy machine loses its events, so the note is sent again
    // until the peer has it: what is tested is the port, not one cycle.
    const Bytes note = {0x90, 0x3C, 0x64};
    int sent = 0;
    const auto heard = [&](JackPeer& listener) {
        for (int tries = 0; tries < 20; ++tries) {
            link->Output()->SendMessage(note.data(), note.size());
            ++sent;
            if (listener.WaitFor(1, std::chrono::milliseconds(250))) return true;
        }
        return false;
    };
    ASSERT_TRUE(heard(*peerLate));

    peerLate.reset();
    EXPECT_TRUE(link->RescanPorts());
    EXPECT_FALSE(link->Output()->IsOpen());
    EXPECT_EQ(link->TakePortNotes(),
              std::vector<std::string>{"Output \"" + lateInput + "\" is gone"});
    peerLate = std::make_unique<JackPeer>("late");
    EXPECT_TRUE(link->RescanPorts());
    EXPECT_TRUE(link->Output()->IsOpen());
    EXPECT_TRUE(heard(*peerLate));
    EXPECT_EQ(writes, 0);

    // The notes sent and nothing else went through the monitor's queue.
    std::vector<MidiTrafficQueue::Entry> traffic;
    link->Traffic().Take(traffic, 64);
    ASSERT_EQ(traffic.size(), static_cast<size_t>(sent));
    for (const MidiTrafficQueue::Entry& entry : traffic) {
        EXPECT_EQ(entry.direction, MidiTrafficQueue::Direction::Out);
        EXPECT_EQ(entry.bytes[0], 0x90);
    }
}
