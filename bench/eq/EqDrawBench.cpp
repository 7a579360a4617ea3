// The equalizer display's redraw on the headless panel: with one band changed since the last
// draw, and with nothing changed (every band's response comes from its cache).
#include <benchmark/benchmark.h>

#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "support/ParaGraphicEqSettings.h"

namespace {

struct EqPanel {
    EqPanel() : graphics(nullptr), eq(nullptr, {530, 593, 990, 708}, 161, EditorEqSettings()) {
        graphics.PrepareDrawing();
        graphics.AddControl(&eq);
        eq.SetBand({0, kEqLowShelf, 6.0f, 100.0f, 7.0f, 50.0f, 270.0f, -20.0f, 20.0f, 4.0f, 10.0f});
        eq.SetBand(
            {1, kEqPeak, -9.0f, 500.0f, 0.7f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        eq.SetBand(
            {2, kEqPeak, 12.0f, 2000.0f, 1.2f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        eq.SetBand(
            {3, kEqHighShelf, -6.0f, 4000.0f, 6.0f, 2000.0f, 7000.0f, -15.0f, 15.0f, 4.0f, 10.0f});
        graphics.DrawDirty(eq.DrawRect());
    }
    HeadlessGraphics graphics;
    ParaGraphicEq eq;
};

void EqDrawOneBandChanged(benchmark::State& state) {
    EqPanel panel;
    float gain = 0.0f;
    for (auto _ : state) {
        gain = gain > 11.0f ? -11.0f : gain + 1.0f;
        panel.eq.SetBand(
            {2, kEqPeak, gain, 2000.0f, 1.2f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        panel.graphics.DrawDirty(panel.eq.DrawRect());
    }
}
BENCHMARK(EqDrawOneBandChanged)->Unit(benchmark::kMicrosecond);

void EqDrawNothingChanged(benchmark::State& state) {
    EqPanel panel;
    for (auto _ : state)
        panel.graphics.DrawDirty(panel.eq.DrawRect());
}
BENCHMARK(EqDrawNothingChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
