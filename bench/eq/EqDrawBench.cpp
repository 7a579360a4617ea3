// The equalizer display's redraw on the editor's own headless panel: with one band changed
// since the last draw, and with nothing changed (every band's response comes from its cache).
#include <benchmark/benchmark.h>

#include "EqBenchPanel.h"

namespace {

// "Mid2 Boost", moved as a learned controller or the knob view would move it.
constexpr int kMid2Boost = 118;

void EqDrawOneBandChanged(benchmark::State& state) {
    EqBenchPanel panel;
    int gain = 0;
    for (auto _ : state) {
        gain = gain > 11 ? -11 : gain + 1;
        panel.SetUnitValue(kMid2Boost, gain);
        panel.RedrawEqualizer();
    }
}
BENCHMARK(EqDrawOneBandChanged)->Unit(benchmark::kMicrosecond);

void EqDrawNothingChanged(benchmark::State& state) {
    EqBenchPanel panel;
    for (auto _ : state)
        panel.RedrawEqualizer();
}
BENCHMARK(EqDrawNothingChanged)->Unit(benchmark::kMicrosecond);

}  // namespace
