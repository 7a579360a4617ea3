#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TestCore.h"
#include "gui/KeyboardControl.h"
#include "gui/KnobMultiControl.h"
#include "gui/TextControl.h"

namespace {

// A core whose keyboard-input notes change on another thread, read under the plug-in lock as
// the editor keeps them.
class ThreadedCore : public RecordingCore {
public:
    bool KeyState(int note) const override {
        std::lock_guard<std::recursive_mutex> hold(PluginLock());
        return RecordingCore::KeyState(note);
    }
    int HeldNoteCount() const override {
        std::lock_guard<std::recursive_mutex> hold(PluginLock());
        return RecordingCore::HeldNoteCount();
    }
    void SetHeld(int note, bool on) {
        std::lock_guard<std::recursive_mutex> hold(PluginLock());
        held[static_cast<size_t>(note)] = on;
    }
};

TEST(PanelThreads, ControlsRefreshedFromTheMidiThreadWhileThePanelDraws) {
    ThreadedCore core;
    HeadlessGraphics& graphics = core.AttachHeadless();
    graphics.AddBackgroundPanel({255, 20, 20, 20});
    graphics.AddImage(940, MakeFrameStrip(32, 32, 31));
    graphics.AddImage(941, MakeFrameStrip(98, 70, 12));
    graphics.AddImage(942, MakeFrameStrip(98, 70, 1));
    KnobMultiControl knob{&core, 100, 100, 20, graphics.LoadImageStrip(940, "knob.png", 31), 1.0};
    TextControl text{&core, {90, 140, 140, 156}, TextStyle{}};
    knob.SetValueDisplay(&text);
    KeyboardControl keyboard{&core,
                             graphics.LoadImageStrip(941, "keys.png", 12),
                             graphics.LoadImageStrip(942, "bgkb.png", 1),
                             {0, 9, 14, 25, 28, 42, 51, 56, 66, 70, 81, 84}};
    graphics.AddControl(&knob);
    graphics.AddControl(&text);
    graphics.AddControl(&keyboard);

    std::atomic<bool> done{false};
    std::thread midi([&] {
        for (int i = 0; i < 2000; ++i) {
            // What an incoming controller does: set the value, refresh every control, mark the
            // keyboard for the note it holds.
            core.SetParameterValue(20, i % 128);
            core.RedrawParamControls();
            core.SetHeld(24 + i % 60, i % 2 == 0);
            keyboard.MarkDirty(false);
            text.SetText(i % 2 ? "odd" : "even");
        }
        done = true;
    });
    int ticks = 0;
    while (!done || ticks < 10) {
        graphics.Tick();
        ++ticks;
    }
    midi.join();
    graphics.Tick();
    graphics.Tick();
    EXPECT_DOUBLE_EQ(knob.Value(), 1999 % 128 / 127.0);
    EXPECT_EQ(text.Text(), "odd");
    EXPECT_FALSE(knob.IsDirty());
    Graphics::ReleaseCaches();
}

}  // namespace
