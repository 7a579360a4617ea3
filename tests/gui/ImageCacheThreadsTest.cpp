// Strips drawn on this thread while workers decode their images ahead; also run under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

#include "TestCore.h"
#include "gui/ImageCache.h"
#include "gui/StripResampler.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"
#include "support/TempDir.h"

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

// A strip's rendering at the size drawn is kept for the next run, written by a worker: the next
// run at that size reads its frames from there and decodes nothing, while another size renders
// from the image again and is kept instead. Every run shows what rendering the image shows.
TEST(ImageCacheThreads, ARenderingKeptByOneRunIsDrawnByTheNextAtThatSize) {
    constexpr int kFrames = 4;
    auto stored = std::make_unique<raster::MemBitmap>(20, 80);
    for (int y = 0; y < stored->Height(); ++y)
        for (int x = 0; x < stored->Width(); ++x)
            stored->Row(y)[x] = 0xFF000000u | static_cast<uint32_t>(y * 3) << 8 | (x * 11u);
    // Two images of the same pixels: a strip of kFrames frames and a picture of one frame,
    // which a worker reads ahead of its drawing.
    const std::array<uint8_t, 5> encoded{9, 8, 7, 6, 5};
    const std::array<uint8_t, 5> encodedWhole{9, 8, 7, 6, 4};
    std::atomic<int> decodes{0};
    ImageCache::Decoder decoder;
    decoder.decode = [&](int, const std::string&) {
        ++decodes;
        auto copy = std::make_unique<raster::MemBitmap>(stored->Width(), stored->Height());
        for (int y = 0; y < stored->Height(); ++y)
            for (int x = 0; x < stored->Width(); ++x)
                copy->Row(y)[x] = stored->Row(y)[x];
        return copy;
    };
    decoder.measure = [&](int, const std::string&) {
        return std::optional<ImageCache::Size>({stored->Width(), stored->Height()});
    };
    decoder.anyThread = true;
    decoder.encoded = [&](int id, const std::string&) {
        return std::span<const uint8_t>(id == 941 ? encodedWhole : encoded);
    };

    TempDir folder;
    ImageCache& cache = ImageCache::Instance();
    cache.SetKeptFolder(folder.Path());
    // One run: frame `frame` of a strip of `frames` drawn at `scale`; the decodes it needed.
    auto run = [&](double scale, int frame, int frames) {
        SCOPED_TRACE(testing::Message()
                     << "scale " << scale << ", frame " << frame << " of " << frames);
        decodes = 0;
        ImageStrip* strip =
            cache.LoadStrip(decoder, frames == 1 ? 941 : 940, "strip.png", frames, 2);
        cache.RenderAll(decoder, scale, 2);
        const int top = FrameOffset(strip->height, frames, frame);
        const int bottom = FrameOffset(strip->height, frames, frame + 1);
        cache.Prepare(decoder, *strip, {0, top, strip->width, bottom});
        raster::MemBitmap expected(strip->width, strip->height);
        ResampleFrame(*stored, frames, false, expected, frame);
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < strip->width; ++x)
                EXPECT_EQ(strip->bitmap->Row(y)[x], expected.Row(y)[x]) << x << "," << y;
        cache.Release();  // runs the workers' writes
        return decodes.load();
    };
    EXPECT_EQ(run(1.0, 0, kFrames), 1);
    EXPECT_EQ(run(1.0, 2, kFrames), 0);
    EXPECT_EQ(run(1.5, 1, kFrames), 1);
    EXPECT_EQ(run(1.5, 3, kFrames), 0);
    // One rendering is kept for each image, of the size drawn last.
    EXPECT_EQ(run(1.0, 3, kFrames), 1);
    EXPECT_EQ(run(1.25, 0, 1), 1);
    EXPECT_EQ(run(1.25, 0, 1), 0);
    cache.SetKeptFolder("");
}
