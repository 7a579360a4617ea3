#pragma once

#include <cstdint>
#include <memory>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "library/MakePlugin.h"

// The editor's own panel on a headless graphics core, with the equalizer effect and its graphic
// view shown, for the equalizer and zoom benchmarks. The per-user settings are never touched.
struct EqBenchPanel {
    EqBenchPanel() {
        SetGraphicsFactory([](PluginBase* core) { return new HeadlessGraphics(core); });
        editor.reset(MakePlugin(nullptr, &channel));
        SetGraphicsFactory({});
        graphics = static_cast<HeadlessGraphics*>(editor->Gui());
        panel = static_cast<OrvoPanel*>(editor->Panel());
        eq = panel->Equalizer();
        editor->Resize()->SetSettingsPath("");
        SetUnitValue(kEffectTypePosition, kEffectEqualizer);
        // Bass up, first middle band cut, second boosted, treble down: a curve of some shape.
        SetUnitValue(110, 64);
        SetUnitValue(112, 6);
        SetUnitValue(113, 40);
        SetUnitValue(115, -9);
        SetUnitValue(116, 90);
        SetUnitValue(118, 12);
        SetUnitValue(121, -6);
        graphics->PrepareDrawing();
        graphics->Tick();
    }
    ~EqBenchPanel() {
        editor.reset();
        Graphics::ReleaseCaches();
    }
    EqBenchPanel(const EqBenchPanel&) = delete;
    EqBenchPanel& operator=(const EqBenchPanel&) = delete;

    // Sets a unit position as a program load or a knob does, through the change handler.
    void SetUnitValue(int position, int value) {
        const int index = ParamIndexOfPosition(position);
        const Parameter& param = *editor->GetParam(index);
        editor->SetParameterFromGui(index,
                                    (value - param.minimum) / (param.maximum - param.minimum));
    }
    // One timer tick's redraw of the equalizer, as after a change of its bands.
    void RedrawEqualizer() {
        eq->MarkDirty(false);
        Rect dirty;
        graphics->CollectDirty(dirty);
        graphics->DrawDirty(dirty);
    }

    uint16_t channel = 1;
    std::unique_ptr<OrvoEditor> editor;
    HeadlessGraphics* graphics = nullptr;
    OrvoPanel* panel = nullptr;
    ParaGraphicEq* eq = nullptr;
};
