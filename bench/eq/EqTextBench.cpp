// The equalizer display's redraw with its grid and value texts drawn by the Qt text renderer,
// as on screen: the same panel as the plain draw benchmark, on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "EqBenchPanel.h"
#include "platform/qt/QtTextRenderer.h"

namespace {

constexpr int kMid2Boost = 118;

void EqDrawWithTextOneBandChanged(benchmark::State& state) {
    EqBenchPanel panel;
    // A held handle, so that the value label is drawn too.
    MouseKeys left;
    left.L = true;
    const Rect& place = panel.eq->DrawRect();
    panel.eq->OnPress(place.L + panel.eq->HandleX(2), place.T + panel.eq->HandleY(2), left);
    int gain = 6;
    for (auto _ : state) {
        gain = gain > 11 ? -11 : gain + 1;
        panel.SetUnitValue(kMid2Boost, gain);
        panel.RedrawEqualizer();
    }
}
BENCHMARK(EqDrawWithTextOneBandChanged)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    QtTextRenderer renderer;
    raster::SetTextRenderer(&renderer);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    raster::SetTextRenderer(nullptr);
    return 0;
}
