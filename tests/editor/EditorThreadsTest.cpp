// The panel on the GUI thread and the MIDI input thread in the editor at the same time.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/Graphics.h"
#include "support/CaptureOutputPort.h"
#include "unit/ProgramSlots.h"
#include "unit/VirtualOrvo.h"

TEST(EditorThreads, KnobsOnThePanelWhileTheInputsFloodTheEditor) {
    CaptureOutputPort port;
    uint16_t channel = 1;
    OrvoEditor editor(&port, &channel);
    editor.BuildPanel();
    Graphics& graphics = static_cast<OrvoPanel*>(editor.Panel())->Panel();
    auto redraw = [&graphics] {
        Rect dirty;
        if (graphics.CollectDirty(dirty)) graphics.DrawDirty(dirty);
    };
    redraw();
    // The unit starts from the editor's program, so that afterwards every position can be
    // compared.
    editor.ApplyProgram(editor.SnapshotProgram(ProgramValues{}));

    // Learn controller 20 for "VCO1 volume" so that the flood also moves a panel control.
    editor.SetParameterValue(kParamMidiLearn, 1);
    editor.SetParameterValue(14, 100);
    editor.HandleKeyboardMessage({0, 0xB0, 20, 0});

    std::atomic<bool> stop{false};
    std::atomic<int> delivered{0};
    std::thread input([&] {
        const std::vector<uint8_t> reply = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x21, 0xF7};
        std::vector<uint8_t> dump(kProgramMessageSize, 0);
        dump[0] = 0xF0;
        dump[5] = 0x41;
        dump.back() = 0xF7;
        for (int i = 0; !stop.load() || i < 1000; ++i) {
            const uint8_t note = static_cast<uint8_t>(36 + i % 24);
            editor.HandleKeyboardMessage({0, 0x90, note, 100});
            editor.HandleKeyboardMessage({0, 0xB0, 20, static_cast<uint8_t>(i % 128)});
            editor.HandleKeyboardMessage({0, 0xB0, 7, static_cast<uint8_t>(i % 128)});
            editor.HandleKeyboardMessage({0, 0x80, note, 0});
            editor.HandleSysEx({0, static_cast<int32_t>(reply.size()), reply.data()});
            editor.HandleSysEx({0, static_cast<int32_t>(dump.size()), dump.data()});
            delivered.fetch_add(1);
            if (i > 100000) break;
        }
    });

    // The GUI thread turns knobs, clicks a switch and redraws as its timer would.
    for (int round = 0; round < 60; ++round) {
        graphics.MouseDown(40, 100, MouseKeys{true});
        graphics.MouseDrag(40, 100 - round % 60, MouseKeys{true});
        graphics.MouseUp(40, 100 - round % 60, MouseKeys{true});
        graphics.MouseDown(935, 37, MouseKeys{true});
        graphics.MouseUp(935, 37, MouseKeys{true});
        // The Edit menu's commands, and what the menu asks before it opens.
        for (int command : {kCommandUndo, kCommandCompare, kCommandRedo, kCommandCompare}) {
            if (editor.CommandEnabled(command) && round % 3 != 0) editor.DoCommand(command);
        }
        editor.DoCommand(kCommandTick);
        redraw();
    }
    stop.store(true);
    input.join();
    redraw();

    EXPECT_GE(delivered.load(), 1000);
    EXPECT_EQ(editor.HeldNoteCount(), 0);
    EXPECT_EQ(editor.LastReply()[5], 0x21);

    // Changes from both threads reach the unit whole: its edit buffer, read off the cable, ends
    // equal to the editor's values. Interleaved address and data messages would set the wrong
    // positions.
    VirtualOrvo unit;
    const std::vector<uint8_t> stream = port.Stream();
    unit.Feed(stream.data(), stream.size(), 0);
    for (int position = 0; position < kEffectTypePosition; ++position) {
        EXPECT_EQ(unit.EditValue(position), IntValue(*editor.GetParam(position + 3)))
            << "position " << position;
    }
}
