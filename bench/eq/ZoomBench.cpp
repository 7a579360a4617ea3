// A zoom from 100 % to 130 % and back on the editor's own panel, end to end: the images
// rendered anew, every control placed anew and the whole panel redrawn, as the View menu does it.
#include <benchmark/benchmark.h>

#include "EqBenchPanel.h"

namespace {

void ZoomTo130AndBack(benchmark::State& state) {
    EqBenchPanel panel;
    for (auto _ : state) {
        panel.editor->DoCommand(18);
        panel.graphics->Tick();
        panel.editor->DoCommand(15);
        panel.graphics->Tick();
    }
    state.counters["steps"] = benchmark::Counter(2.0 * static_cast<double>(state.iterations()));
    state.counters["controls"] = panel.graphics->GetNControls();
}
BENCHMARK(ZoomTo130AndBack)->Unit(benchmark::kMillisecond);

}  // namespace
