// The equalizer display's redraw with its grid and value texts drawn by the Qt text renderer,
// as on screen: the same panel as the plain draw benchmark, on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <cstdlib>

#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "platform/qt/QtTextRenderer.h"
#include "support/ParaGraphicEqSettings.h"

namespace {

void EqDrawWithTextOneBandChanged(benchmark::State& state) {
    HeadlessGraphics graphics(nullptr);
    graphics.PrepareDrawing();
    ParaGraphicEq eq(nullptr, {530, 593, 990, 708}, 161, EditorEqSettings());
    graphics.AddControl(&eq);
    eq.SetBand({0, kEqLowShelf, 6.0f, 100.0f, 7.0f, 50.0f, 270.0f, -20.0f, 20.0f, 4.0f, 10.0f});
    eq.SetBand(
        {1, kEqPeak, -9.0f, 500.0f, 0.7f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
    eq.SetBand(
        {3, kEqHighShelf, -6.0f, 4000.0f, 6.0f, 2000.0f, 7000.0f, -15.0f, 15.0f, 4.0f, 10.0f});
    // A held handle, so that the value label is drawn too.
    MouseKeys left;
    left.L = true;
    eq.SetBand(
        {2, kEqPeak, 6.0f, 2000.0f, 1.2f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
    eq.OnPress(530 + eq.HandleX(2), 593 + eq.HandleY(2), left);
    float gain = 6.0f;
    for (auto _ : state) {
        gain = gain > 11.0f ? -11.0f : gain + 1.0f;
        eq.SetBand(
            {2, kEqPeak, gain, 2000.0f, 1.2f, 140.0f, 4800.0f, -20.0f, 20.0f, 0.1442f, 1.38848f});
        graphics.DrawDirty(eq.DrawRect());
    }
    Graphics::ReleaseCaches();
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
