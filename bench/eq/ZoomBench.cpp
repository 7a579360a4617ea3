// A zoom from 100 % to 130 % and back, end to end: the images decoded and rendered anew, every
// control placed anew and the whole panel redrawn, as the View menu does it. The images are
// the panel's own (or stand-ins of the same sizes and frame counts when the artwork is not
// built in): one control per image, and the knob strip again for every knob of the panel.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "gui/BitmapControl.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "gui/HeadlessGraphics.h"
#include "gui/ParaGraphicEq.h"
#include "platform/PanelArtwork.h"
#include "plugin/PluginBase.h"
#include "support/ParaGraphicEqSettings.h"

namespace {

constexpr int kBackgroundId = 102;
constexpr int kKnobId = 108;
constexpr int kKnobCount = 100;

// The headless panel that decodes the panel's images.
class ArtworkPanel : public HeadlessGraphics {
public:
    using HeadlessGraphics::HeadlessGraphics;
    std::unique_ptr<raster::MemBitmap> LoadResourceImage(int id, const std::string&) override {
        return PanelArtwork(id);
    }
};

struct ZoomPanel {
    ZoomPanel() {
        GuiLayoutStore::Process().Clear();
        graphics = new ArtworkPanel(&core);
        graphics->SetImageScaleDivisor(2);
        resize = std::make_unique<GuiResize>(&core, graphics);
        resize->SetSettingsPath("");
        resize->SetScaleLimits(50, 200);
        Add(std::make_unique<BitmapControl>(&core, Strip(kBackgroundId)));
        for (int i = 0; i < PanelImageCount(); ++i) {
            const PanelImage& image = PanelImageAt(i);
            if (image.id == kBackgroundId || image.id == 103) continue;  // 103: the about view
            Add(std::make_unique<BitmapControl>(&core, 20 + (i % 8) * 120, 20 + (i / 8) * 120, -1,
                                                Strip(image.id)));
        }
        for (int k = 0; k < kKnobCount; ++k) {
            Add(std::make_unique<BitmapControl>(&core, 10 + (k % 25) * 40, 480 + (k / 25) * 40,
                                                3 + k, Strip(kKnobId)));
        }
        eq = std::make_unique<ParaGraphicEq>(&core, Rect{530, 593, 990, 708}, 161,
                                             EditorEqSettings());
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

    ImageStrip* Strip(int id) {
        const PanelImage* image = PanelImageFor(id);
        return graphics->LoadImageStrip(id, "image.png", image != nullptr ? image->frames : 1);
    }
    void Add(std::unique_ptr<BitmapControl> control) {
        graphics->AddControl(control.get());
        controls.push_back(std::move(control));
    }

    PluginBase core;
    ArtworkPanel* graphics = nullptr;  // owned by the core
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
