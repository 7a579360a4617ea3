#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "QtPanelDriver.h"
#include "gui/HeadlessGraphics.h"

// The panel of the editor's layout (background, 120 knob, slider and switch strips, 122 value
// texts) on a headless graphics core with the Qt text renderer. Arguments are GUI scales in
// tenths. The memcpy of the whole panel bitmap is the floor a redraw can be measured against.

namespace {

struct BenchPanel {
    std::unique_ptr<TestPanelCore> core;
    std::unique_ptr<TestPanel> panel;
    HeadlessGraphics* graphics = nullptr;
};

BenchPanel& PanelAt(int tenths) {
    static std::map<int, BenchPanel> panels;
    auto found = panels.find(tenths);
    if (found != panels.end()) return found->second;
    OffscreenApp();
    // Each scale renders the shared strips anew, so only one panel lives at a time.
    panels.clear();
    Graphics::ReleaseCaches();
    BenchPanel& made = panels[tenths];
    made.core = std::make_unique<TestPanelCore>();
    made.graphics = new ArtworkGraphics<HeadlessGraphics>(made.core.get());
    made.panel = std::make_unique<TestPanel>(*made.core, made.graphics);
    if (tenths != 10) made.panel->ApplyScale(tenths / 10.0);
    made.graphics->Tick();
    return made;
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

// One knob moved by the user: its strip frame and its value text, as a drag does per tick.
void SingleKnob(benchmark::State& state) {
    BenchPanel& bench = PanelAt(static_cast<int>(state.range(0)));
    KnobMultiControl* knob = bench.panel->Knob(76);
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
    state.counters["controls"] = bench.panel->ControlCount();
}

}  // namespace

BENCHMARK(FullRedraw)->Arg(10)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(SingleKnob)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(PanelMemcpy)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(RenderAllStrips)->Arg(5)->Arg(10)->Arg(15)->Arg(20)->Unit(benchmark::kMillisecond);
