#include "midi/VirtualOrvoPort.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "midi/MidiLink.h"
#include "midi/RecordingPlugin.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/UnitMessages.h"

namespace {
using Bytes = std::vector<uint8_t>;

void Send(MidiOutputPort& port, const Bytes& message) {
    port.SendMessage(message.data(), message.size());
}

int DumpRequests(VirtualOrvoPort& unit) {
    int count = 0;
    unit.WithUnit([&](VirtualOrvo& orvo) { count = orvo.Counters().dumpRequests; });
    return count;
}

// The link without a MIDI system: no port objects, only the virtual Orvo.
struct OnVirtualUnit : ::testing::Test {
    OnVirtualUnit() : link(settings, [] {}) {
        link.SetPlugin(&plugin);
        link.SetVirtualUnitFolder(folder.Path());
        settings.SetName(MidiRole::UnitInput, VirtualOrvoPort::kPortName);
        settings.SetName(MidiRole::Output, VirtualOrvoPort::kPortName);
    }
    void OpenBoth() {
        ASSERT_TRUE(link.OpenRole(MidiRole::UnitInput));
        ASSERT_TRUE(link.OpenRole(MidiRole::Output));
    }

    TempDir folder;
    MidiSettings settings;
    RecordingPlugin plugin;
    MidiLink link;
};
}  // namespace

TEST_F(OnVirtualUnit, RequestReachesTheUnitAndItsDumpComesBackOnTheInputThread) {
    OpenBoth();
    EXPECT_TRUE(link.IsRoleOpen(MidiRole::UnitInput) && link.IsRoleOpen(MidiRole::Output));
    EXPECT_TRUE(link.IsRoleVirtual(MidiRole::Output));
    EXPECT_EQ(link.OpenedName(MidiRole::UnitInput), "Virtual Orvo");

    Send(*link.OutputPort(), *BuildDumpRequest(12));
    ASSERT_TRUE(plugin.WaitForCount(1));
    const Bytes dump = plugin.SysEx().at(0);
    EXPECT_TRUE(IsProgramDump(dump.data(), dump.size()));
    EXPECT_TRUE(DumpChecksumMatches(dump.data(), dump.size()));
    EXPECT_NE(plugin.Threads().at(0), std::this_thread::get_id());
    EXPECT_GE(link.LastUnitAnswerMs(), 0);

    // The monitor sees the request go out and the dump come in.
    std::vector<MidiTrafficQueue::Entry> seen;
    link.Traffic().Take(seen, 10);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].direction, MidiTrafficQueue::Direction::Out);
    EXPECT_EQ(seen[1].direction, MidiTrafficQueue::Direction::In);
    EXPECT_EQ(seen[1].role, MidiRole::UnitInput);
    EXPECT_EQ(seen[1].size, dump.size());
}

TEST_F(OnVirtualUnit, KeyboardInputNeverTakesTheUnitAndLeavingItStopsTraffic) {
    OpenBoth();
    EXPECT_FALSE(link.OpenKeyboardInput(VirtualOrvoPort::kPortName));
    EXPECT_FALSE(link.IsRoleOpen(MidiRole::KeyboardInput));

    // The input closed: the unit still hears the request, its answer is dropped.
    link.OpenUnitInput("off");  // false here: there is no real port object to close
    EXPECT_FALSE(link.IsRoleOpen(MidiRole::UnitInput));
    Send(*link.OutputPort(), *BuildDumpRequest(3));
    EXPECT_EQ(DumpRequests(*link.VirtualUnit()), 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(plugin.Count(), 0u);

    // The output closed: nothing reaches the unit any more.
    link.OpenOutput("off");
    Send(*link.OutputPort(), *BuildDumpRequest(3));
    EXPECT_EQ(DumpRequests(*link.VirtualUnit()), 1);

    // Back on the unit, and shut down as the shell does: no delivery after CloseAll.
    OpenBoth();
    link.CloseAll();
    EXPECT_FALSE(link.VirtualUnit()->HasHandler());
    Send(*link.OutputPort(), *BuildDumpRequest(3));
    EXPECT_EQ(DumpRequests(*link.VirtualUnit()), 1);
}

TEST_F(OnVirtualUnit, HeldBackRepliesArriveWhenDue) {
    OpenBoth();
    link.VirtualUnit()->WithUnit([](VirtualOrvo& orvo) {
        SimFaults faults;
        faults.replyDelayMs = 150;
        orvo.SetFaults(faults);
    });
    const auto sent = std::chrono::steady_clock::now();
    Send(*link.OutputPort(), *BuildDumpRequest(40));
    ASSERT_TRUE(plugin.WaitForCount(1));
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(140));
}

TEST(VirtualOrvoPortPrograms, StoredProgramsAreKeptInTheFolderForTheNextStart) {
    TempDir base;
    // The folder and its parents are made on first use.
    const std::string folder = base.File("share/OrvodyneEditor/Virtual Orvo");
    const ProgramBlock stored = ProgramSlotsToUnitBytes(DistinctProgram(7));
    {
        VirtualOrvoPort port(folder);
        Send(port, *BuildProgramWrite(7, stored));
        Send(port, *BuildProgramWrite(99, stored));
    }
    // Only what was stored is written, each under its location's number.
    EXPECT_TRUE(std::filesystem::exists(folder + "/07.prg"));
    EXPECT_TRUE(std::filesystem::exists(folder + "/99.prg"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/01.prg"));

    VirtualOrvoPort next(folder);
    next.WithUnit([&](VirtualOrvo& orvo) {
        EXPECT_EQ(orvo.Program(7), stored);
        EXPECT_EQ(orvo.Program(99), stored);
        EXPECT_NE(orvo.Program(8), stored);
    });
}

TEST(VirtualOrvoPortPrograms, UnwritableFolderLosesNothingInTheUnit) {
    TempDir folder;
    // A file stands where a folder of the path should be made.
    TempDir::Write(folder.File("taken"), "x");
    const std::string missing = folder.File("taken/programs");
    const ProgramBlock stored = ProgramSlotsToUnitBytes(DistinctProgram(3));
    VirtualOrvoPort port(missing);
    Send(port, *BuildProgramWrite(5, stored));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    port.WithUnit([&](VirtualOrvo& orvo) { EXPECT_EQ(orvo.Program(5), stored); });
    EXPECT_FALSE(std::filesystem::exists(missing));
}
