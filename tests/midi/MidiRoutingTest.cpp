#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "midi/MidiLink.h"
#include "midi/RecordingPlugin.h"
#include "util/DebugPrint.h"

namespace {
using Bytes = std::vector<uint8_t>;
using Short = RecordingPlugin::Short;

// The link without port objects: the callbacks and the routing work the same.
struct Routing : ::testing::Test {
    Routing() : link(settings, [this] { ++writes; }) { link.SetPlugin(&plugin); }
    void Unit(const Bytes& b) { link.OnUnitInput(b.data(), b.size()); }
    void Keyboard(const Bytes& b) { link.OnKeyboardInput(b.data(), b.size()); }

    MidiSettings settings;
    int writes = 0;
    MidiLink link;
    RecordingPlugin plugin;
};
}  // namespace

TEST_F(Routing, UnitInputFiltersShortMessagesByChannelButNeverSysEx) {
    settings.SetChannel(MidiRole::UnitInput, 2);
    Unit({0x91, 0x3C, 0x40});
    Unit({0x90, 0x3C, 0x40});
    Unit({0xF0, 0x00, 0x21, 0x11, 0x03, 0xF7});
    Unit({0xFA});  // low nibble A is "channel 11": dropped on channel 2
    Unit({});
    // A system-exclusive message is one by its F0, however short: never a channel message.
    Unit({0xF0, 0x7E, 0xF7});
    EXPECT_EQ(plugin.Unit(), (std::vector<Short>{{0x91, 0x3C, 0x40}}));
    EXPECT_EQ(plugin.SysEx(),
              (std::vector<Bytes>{{0xF0, 0x00, 0x21, 0x11, 0x03, 0xF7}, {0xF0, 0x7E, 0xF7}}));

    settings.SetChannel(MidiRole::UnitInput, 0);
    Unit({0x9F, 0x01, 0x02});
    Unit({0xC4, 0x05});
    EXPECT_EQ(plugin.Unit().size(), 3u);
    EXPECT_EQ(plugin.Unit()[2], (Short{0xC4, 0x05, 0x00}));
    EXPECT_TRUE(plugin.Keyboard().empty());
}

TEST_F(Routing, KeyboardInputPassesShortMessagesAndOnlyLogsLongOnes) {
    std::vector<std::string> lines;
    SetDebugSink([&](const std::string& line) { lines.push_back(line); });
    Keyboard({0xB0, 0x07, 0x64});
    Keyboard({0xC0, 0x05});
    Keyboard({0xF0, 1, 2, 3, 4, 5, 6, 7, 8, 0xF7});
    Keyboard({0xF0, 0x7E, 0xF7});
    SetDebugSink(nullptr);

    EXPECT_EQ(plugin.Keyboard(), (std::vector<Short>{{0xB0, 0x07, 0x64}, {0xC0, 0x05, 0x00}}));
    EXPECT_TRUE(plugin.SysEx().empty());
    EXPECT_EQ(lines, (std::vector<std::string>{"NOT EXPECTING 10 midi callback msg len\r\n",
                                               "NOT EXPECTING 3 midi callback msg len\r\n"}));

    settings.SetChannel(MidiRole::KeyboardInput, 1);
    Keyboard({0x91, 0x3C, 0x40});
    Keyboard({0x80, 0x3C, 0x00});
    EXPECT_EQ(plugin.Keyboard().back(), (Short{0x80, 0x3C, 0x00}));
    EXPECT_EQ(plugin.Keyboard().size(), 3u);
}

TEST_F(Routing, WithoutPortObjectsUnchosenNamesTurnOffChosenOnesStayAndNothingOpens) {
    settings.SetName(MidiRole::UnitInput, "no input");
    settings.SetName(MidiRole::Output, "Some Synth:port 0");
    EXPECT_FALSE(link.OpenUnitInput(settings.unitInputName));
    EXPECT_STREQ(settings.unitInputName, "off");
    EXPECT_EQ(writes, 1);
    // The user's choice is kept for a start on which MIDI is there again.
    EXPECT_FALSE(link.OpenOutput(settings.outputName));
    EXPECT_STREQ(settings.outputName, "Some Synth:port 0");
    EXPECT_EQ(writes, 1);
    // "off" is no port to look for, so nothing is written.
    EXPECT_FALSE(link.OpenKeyboardInput("off"));
    EXPECT_EQ(writes, 1);
    EXPECT_EQ(link.FindOutputPort("off"), 0);
    EXPECT_EQ(link.FindInputPort(MidiRole::KeyboardInput, "x"), -1);

    // Without a MIDI system the lists offer the virtual Orvo alone, and nothing is sent.
    link.ListMidiPorts();
    EXPECT_EQ(link.InputNames(), (std::vector<std::string>{"off", "Virtual Orvo"}));
    EXPECT_EQ(link.OutputNames(), (std::vector<std::string>{"off", "Virtual Orvo"}));
    ASSERT_NE(link.OutputPort(), nullptr);
    const uint8_t noteOn[] = {0x90, 0x3C, 0x40};
    link.OutputPort()->SendMessage(noteOn, sizeof noteOn);
    EXPECT_EQ(link.VirtualUnit(), nullptr);
}

TEST(MidiSettingsRecord, NamesAreCutToTheRecordAndCopiesCompareEqual) {
    MidiSettings a;
    EXPECT_TRUE(a.IsOff(MidiRole::UnitInput) && a.IsOff(MidiRole::Output));
    a.SetName(MidiRole::KeyboardInput, std::string(150, 'k'));
    EXPECT_EQ(std::string(a.keyboardInputName), std::string(99, 'k'));
    a.SetChannel(MidiRole::Output, 16);

    MidiSettings b;
    EXPECT_FALSE(b.SameAs(a));
    b.AssignFrom(a);
    EXPECT_TRUE(b.SameAs(a));
    EXPECT_EQ(b.outputChannel, 16);
    b.SetChannel(MidiRole::UnitInput, 1);
    EXPECT_FALSE(b.SameAs(a));
}
