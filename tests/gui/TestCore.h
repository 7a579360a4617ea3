#pragma once

#include <array>
#include <memory>
#include <vector>

#include "gui/HeadlessGraphics.h"
#include "plugin/PluginBase.h"
#include "raster/MemBitmap.h"
#include "util/MidiMessage.h"

// A plug-in core that remembers what the panel told it: values pushed from controls, gestures,
// idle calls and notes; and that can pretend the keyboard input holds notes.
class RecordingCore : public PluginBase {
public:
    struct Push {
        int index;
        double normalized;
    };

    RecordingCore() {
        for (int i = 0; i < kParamCount; ++i)
            InitIntParam(*GetParam(i), "Param", 0, 0, 127);
    }

    void SetParameterFromGui(int index, double normalized) override {
        pushes.push_back({index, normalized});
        PluginBase::SetParameterFromGui(index, normalized);
    }
    void BeginGesture(int index) override { gestures.push_back(index + 1000); }
    void EndGesture(int index) override { gestures.push_back(-(index + 1000)); }
    void GuiIdle() override { ++idleCalls; }
    bool SendMidiMsg(const MidiMessage& message) override {
        sent.push_back(message);
        return true;
    }
    bool KeyState(int note) const override { return note >= 0 && note < 128 && held[note]; }
    int HeldNoteCount() const override {
        int count = 0;
        for (bool on : held)
            count += on ? 1 : 0;
        return count;
    }

    // A headless panel attached to this core; the core owns it.
    HeadlessGraphics& AttachHeadless() {
        auto* graphics = new HeadlessGraphics(this);
        graphics->PrepareDrawing();
        AttachGraphics(graphics);
        return *graphics;
    }

    std::vector<Push> pushes;
    std::vector<int> gestures;
    std::vector<MidiMessage> sent;
    int idleCalls = 0;
    std::array<bool, 128> held{};
};

// A strip of frameCount frames stacked top to bottom, frame k (from 0) filled with
// 0xFF000000 | (k + 1) so a drawn pixel tells which frame it came from.
inline std::unique_ptr<raster::MemBitmap> MakeFrameStrip(int width, int frameHeight,
                                                         int frameCount) {
    auto strip = std::make_unique<raster::MemBitmap>(width, frameHeight * frameCount);
    for (int y = 0; y < strip->Height(); ++y) {
        for (int x = 0; x < width; ++x) {
            strip->Row(y)[x] = 0xFF000000u | static_cast<uint32_t>(y / frameHeight + 1);
        }
    }
    return strip;
}

inline uint32_t PixelAt(Graphics& graphics, int x, int y) {
    return graphics.DrawBitmap()->Row(y)[x];
}
