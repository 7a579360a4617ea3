// The editor's own panel with its images decoded ahead on worker threads and rendered frame by
// frame as they are drawn, against the plain path that decodes and renders every image whole
// before drawing: a user must see the same pixels, whatever the zoom and whichever frames show.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/ImageCache.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "support/TempDir.h"

namespace {

class OnDemandImages : public ::testing::Test {
protected:
    void SetUp() override {
        OffscreenApp();
        setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    }
    void TearDown() override {
        ImageCache::SetOnDemand(true);
        unsetenv("XDG_CONFIG_HOME");
    }

    // The whole panel after each of a few changes, one after the other in one picture.
    std::vector<uint32_t> PanelThroughChanges(bool onDemand) {
        ImageCache::SetOnDemand(onDemand);
        if (onDemand) Graphics::DecodeResourcesAhead(OrvoPanel::ImagesOfFirstPaint());
        uint16_t channel = 1;
        SetGraphicsFactory([](PluginBase* core) { return new GraphicsQt(core); });
        std::unique_ptr<OrvoEditor> editor(MakePlugin(nullptr, &channel));
        SetGraphicsFactory({});
        std::vector<uint32_t> pixels;
        if (!editor) return pixels;
        auto* graphics = static_cast<Graphics*>(editor->Gui());
        auto show = [&](double zoom) {
            editor->RedrawParamControls();
            editor->Resize()->SetScale(zoom);
            editor->Resize()->ApplyChange();
            graphics->MarkAllDirty();
            Rect dirty;
            if (graphics->CollectDirty(dirty)) graphics->DrawDirty(dirty);
            const raster::SysBitmap& bitmap = *graphics->DrawBitmap();
            for (int y = 0; y < bitmap.Height(); ++y)
                pixels.insert(pixels.end(), bitmap.Row(y), bitmap.Row(y) + bitmap.Width());
        };
        show(1.0);
        // Every knob, fader and switch at its top: frames the first paint did not need.
        for (int position = 0; position < kUnitParamCount; ++position)
            editor->SetParameterValue(ParamIndexOfPosition(position), PositionMaximum(position));
        editor->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), kEffectEqualizer);
        show(1.0);
        // Another zoom renders every strip anew, frames and all.
        show(1.37);
        // The about overlay's picture is decoded only when it shows.
        editor->Panel()->ShowAbout();
        show(0.5);
        editor.reset();
        Graphics::ReleaseCaches();
        return pixels;
    }

    TempDir config_;
};

}  // namespace

TEST_F(OnDemandImages, PanelPixelsEqualThePlainPath) {
    const std::vector<uint32_t> plain = PanelThroughChanges(false);
    const std::vector<uint32_t> onDemand = PanelThroughChanges(true);
    ASSERT_FALSE(plain.empty());
    ASSERT_EQ(onDemand.size(), plain.size());
    size_t differing = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        differing += plain[i] != onDemand[i];
    EXPECT_EQ(differing, 0u);
}
