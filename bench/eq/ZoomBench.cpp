// A zoom from 100 % to 130 % and back, end to end: the images rendered anew, every control
// placed anew and the whole panel redrawn, as the View menu does it. The images stand in for
// the panel's artwork at twice the panel's resolution: a 2048 x 1600 background and 24 strips
// of 40 frames of 100 x 100 pixels; PNG decoding is not part of it.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "gui/BitmapControl.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "plugin/PluginBase.h"

namespace {

constexpr int kBackgroundId = 1000;
constexpr int kFirstStripId = 1001;
constexpr int kStripCount = 24;
constexpr int kFrames = 40;
constexpr int kControlCount = 240;

std::unique_ptr<raster::MemBitmap> Artwork(int width, int height, uint32_t seed) {
    auto image = std::make_unique<raster::MemBitmap>(width, height);
    for (int y = 0; y < height; ++y) {
        uint32_t* row = image->Row(y);
        for (int x = 0; x < width; ++x)
            row[x] = 0xFF000000u | ((seed * 2654435761u + x * 40503u + y * 977u) & 0xFFFFFF);
    }
    return image;
}

struct ZoomPanel {
    ZoomPanel() {
        GuiLayoutStore::Process().Clear();
        graphics = new HeadlessGraphics(&core);
        graphics->SetImageScaleDivisor(2);
        resize = std::make_unique<GuiResize>(&core, graphics);
        resize->SetSettingsPath("");
        resize->SetScaleLimits(50, 200);
        graphics->AddImage(kBackgroundId, Artwork(2048, 1600, 1));
        for (int i = 0; i < kStripCount; ++i) {
            graphics->AddImage(kFirstStripId + i, Artwork(100, 100 * kFrames, i + 2));
        }
        ImageStrip* background = graphics->LoadImageStrip(kBackgroundId, "background.png", 1);
        controls.push_back(std::make_unique<BitmapControl>(&core, background));
        graphics->AddControl(controls.back().get());
        std::vector<ImageStrip*> strips;
        for (int i = 0; i < kStripCount; ++i) {
            strips.push_back(graphics->LoadImageStrip(kFirstStripId + i, "strip.png", kFrames));
        }
        for (int i = 0; i < kControlCount; ++i) {
            const int x = 10 + (i % 20) * 50, y = 10 + (i / 20) * 50;
            controls.push_back(std::make_unique<BitmapControl>(
                &core, x, y, 3 + i % 120, strips[static_cast<size_t>(i % kStripCount)]));
            graphics->AddControl(controls.back().get());
        }
        EqSettings settings;
        settings.bandCount = 4;
        eq = std::make_unique<ParaGraphicEq>(&core, Rect{530, 593, 990, 708}, 161, settings);
        graphics->AddControl(eq.get());
        core.SetGuiResize(resize.get());
        graphics->PrepareDrawing();
        core.AttachGraphics(graphics);
        resize->ApplyAtOpening();
        graphics->Tick();
    }
    ~ZoomPanel() {
        controls.clear();
        Graphics::ReleaseCaches();
    }

    PluginBase core;
    HeadlessGraphics* graphics = nullptr;  // owned by the core
    std::unique_ptr<GuiResize> resize;
    std::vector<std::unique_ptr<BitmapControl>> controls;
    std::unique_ptr<ParaGraphicEq> eq;
};

void ZoomTo130AndBack(benchmark::State& state) {
    ZoomPanel panel;
    for (auto _ : state) {
        panel.resize->DoViewCommand(18);
        panel.graphics->Tick();
        panel.resize->DoViewCommand(15);
        panel.graphics->Tick();
    }
    state.counters["steps"] = benchmark::Counter(2.0 * static_cast<double>(state.iterations()));
}
BENCHMARK(ZoomTo130AndBack)->Unit(benchmark::kMillisecond);

}  // namespace
