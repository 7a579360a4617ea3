// Strips drawn on this thread while workers decode their images ahead; also run under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "TestCore.h"
#include "gui/StripResampler.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

namespace {

// Decodes the program's own images, as the editor's window does, ahead on workers.
class AheadGraphics : public HeadlessGraphics {
public:
    using HeadlessGraphics::HeadlessGraphics;
    bool DecodesImagesAhead() const override { return true; }
    std::unique_ptr<raster::MemBitmap> LoadResourceImage(int id, const std::string& name) override {
        return Graphics::LoadResourceImage(id, name);
    }
};

// Draws one frame (counted from 1) of a strip over its whole rectangle.
class FrameControl : public Control {
public:
    FrameControl(PluginBase* core, const ImageStrip* strip, int frame)
        : Control(core, {0, 0, strip->FrameWidth(), strip->FrameHeight()}, -1),
          strip_(strip),
          frame_(frame) {}
    bool Draw(Graphics& graphics) override {
        return graphics.DrawFrame(strip_, drawRect_, frame_, nullptr);
    }

private:
    const ImageStrip* strip_;
    int frame_;
};

}  // namespace

TEST(ImageCacheThreads, AFrameDrawnWhileWorkersDecodeHoldsThatFrameOfTheImage) {
    std::vector<std::unique_ptr<FrameControl>> controls;  // outlive the graphics core
    RecordingCore core;
    auto* graphics = new AheadGraphics(&core);
    graphics->PrepareDrawing();
    core.AttachGraphics(graphics);
    graphics->SetImageScaleDivisor(2);

    std::vector<const resources::ImageResource*> strips;
    std::vector<int> ids;
    for (const resources::ImageResource& image : resources::kImageResources) {
        if (image.frames < 2) continue;
        strips.push_back(&image);
        ids.push_back(image.id);
    }
    Graphics::DecodeResourcesAhead(ids);
    std::vector<ImageStrip*> loaded;
    for (const resources::ImageResource* image : strips)
        loaded.push_back(graphics->LoadImageStrip(image->id, image->name, image->frames));
    graphics->RenderAllStrips(1.3);

    // The last strips first: their workers may not have started, or be under way.
    for (size_t i = strips.size(); i-- > 0;) {
        const resources::ImageResource& image = *strips[i];
        SCOPED_TRACE(image.name);
        const ImageStrip& strip = *loaded[i];
        const int frame = image.frames - 1;  // 0-based; DrawFrame counts from 1
        controls.push_back(std::make_unique<FrameControl>(&core, &strip, frame + 1));
        graphics->AddControl(controls.back().get());
        ASSERT_TRUE(graphics->DrawDirty({0, 0, strip.FrameWidth(), strip.FrameHeight()}));

        const std::unique_ptr<raster::MemBitmap> source = raster::LoadPngResource(image.id);
        ASSERT_NE(source, nullptr);
        raster::MemBitmap expected(strip.width, strip.height);
        ResampleFrame(*source, image.frames, false, expected, frame);
        const int top = FrameOffset(strip.height, image.frames, frame);
        const int bottom = FrameOffset(strip.height, image.frames, frame + 1);
        ASSERT_NE(strip.bitmap, nullptr);
        int differing = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < strip.width; ++x)
                differing += strip.bitmap->Row(y)[x] != expected.Row(y)[x];
        }
        EXPECT_EQ(differing, 0);
    }
    Graphics::ReleaseCaches();
}
