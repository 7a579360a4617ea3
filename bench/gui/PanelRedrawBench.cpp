#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/HeadlessGraphics.h"
#include "library/MakePlugin.h"
#include "platform/QtPanelDriver.h"

// The editor's own panel, as the program builds it (its images, 122 value texts, every knob,
// fader and switch, the equalizer, the keyboard), on a headless graphics core with the Qt text
// renderer. Arguments are GUI scales in tenths. The memcpy of the whole panel bitmap is the
// floor a redraw can be measured against.

namespace {

struct BenchPanel {
    explicit BenchPanel(int tenths) {
        OffscreenApp();
        SetGraphicsFactory([](PluginBase* core) { return new HeadlessGraphics(core); });
        editor.reset(MakePlugin(nullptr, &channel));
        SetGraphicsFactory({});
        graphics = static_cast<HeadlessGraphics*>(editor->Gui());
        panel = static_cast<OrvoPanel*>(editor->Panel());
        GuiResize& resize = *editor->Resize();
        resize.SetSettingsPath("");  // never the user's settings
        resize.SetScale(tenths / 10.0);
        resize.ApplyChange();
        graphics->PrepareDrawing();
        graphics->Tick();
    }
    ~BenchPanel() {
        editor.reset();
        Graphics::ReleaseCaches();
    }

    uint16_t channel = 1;
    std::unique_ptr<OrvoEditor> editor;
    OrvoPanel* panel = nullptr;
    HeadlessGraphics* graphics = nullptr;
};

// Each scale renders the shared strips anew, so only one panel lives at a time.
BenchPanel& PanelAt(int tenths) {
    static std::unique_ptr<BenchPanel> panel;
    static int madeAt = 0;
    if (!panel || madeAt != tenths) {
        panel.reset();
        panel = std::make_unique<BenchPanel>(tenths);
        madeAt = tenths;
    }
    return *panel;
}

void FullRedraw(benchmark::State& state) {
    BenchPanel& bench = PanelAt(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        bench.graphics->MarkAllDirty();
        Rect dirty;
        bench.graphics->CollectDirty(dirty);
        bench.graphics->DrawDirty(dirty);
        benchmark::DoNotOptimize(bench.graphics->DrawBitmap()->Pixels());
    }
    state.counters["px"] = bench.graphics->Width() * bench.graphics->Height();
}

// One knob moved by the user ("VCF Q"): its strip frame and its value text, as a drag
// does per tick, through the editor's change handler.
void SingleKnob(benchmark::State& state) {
    BenchPanel& bench = PanelAt(static_cast<int>(state.range(0)));
    Control* knob = bench.panel->PositionControl(76);
    bool up = false;
    for (auto _ : state) {
        knob->SetValueFromUser(up ? 0.8 : 0.2);
        up = !up;
        Rect dirty;
        bench.graphics->CollectDirty(dirty);
        bench.graphics->DrawDirty(dirty);
        benchmark::DoNotOptimize(bench.graphics->DrawBitmap()->Pixels());
    }
}

void PanelMemcpy(benchmark::State& state) {
    BenchPanel& bench = PanelAt(static_cast<int>(state.range(0)));
    raster::SysBitmap* bitmap = bench.graphics->DrawBitmap();
    const size_t bytes = static_cast<size_t>(bitmap->Span()) * bitmap->Height() * 4;
    std::vector<uint8_t> copy(bytes);
    for (auto _ : state) {
        std::memcpy(copy.data(), bitmap->Pixels(), bytes);
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes));
}

// Every registered strip rendered anew for a change of scale to the argument.
void RenderAllStrips(benchmark::State& state) {
    BenchPanel& bench = PanelAt(10);
    const double scale = state.range(0) / 10.0;
    for (auto _ : state)
        bench.graphics->RenderAllStrips(scale);
    state.counters["controls"] = bench.graphics->GetNControls();
}

}  // namespace

BENCHMARK(FullRedraw)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(SingleKnob)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(PanelMemcpy)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(RenderAllStrips)->Arg(5)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);
