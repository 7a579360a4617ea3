#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "gui/ImageStore.h"
#include "gui/ImageStrip.h"

// Images decoded ahead on a thread of their own while the window is built, and taken over by
// the first drawing. Also run under ThreadSanitizer.

namespace {

constexpr int kBackground = 1;  // one frame, 40 x 30 at the panel's size
constexpr int kKnob = 2;        // four frames of 8 x 8, stored as shown

// The colour an image is filled with tells which image and which set it came from.
uint32_t Colour(int id, int factor) {
    return 0xFF000000u | static_cast<uint32_t>(id) << 8 | static_cast<uint32_t>(factor);
}

bool Fill(int id, int factor, raster::MemBitmap& into) {
    const int width = id == kBackground ? 40 * factor : 8 * factor;
    const int height = id == kBackground ? 30 * factor : 32 * factor + 4;
    into.Resize(0, 0);
    into.Resize(width, height);
    if (!into.HasPixels()) return false;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            into.Row(y)[x] = Colour(id, factor);
    }
    return true;
}

// A store over the two images whose decoders count what they decode, and on which thread.
struct Images {
    std::atomic<int> onGuiThread{0};
    std::atomic<int> ahead{0};
    std::atomic<int> aheadOnGuiThread{0};
    std::atomic<bool> aheadFails{false};
    std::chrono::milliseconds aheadTakes{0};
    const std::thread::id gui = std::this_thread::get_id();
    std::unique_ptr<ImageStore> store = std::make_unique<ImageStore>(
        ImageStore::Decoder{[this](int id, const std::string&, int factor, raster::RowSpan,
                                   raster::MemBitmap& into) -> std::optional<raster::RowSpan> {
                                ++onGuiThread;
                                if (!Fill(id, factor, into)) return std::nullopt;
                                return raster::RowSpan{0, into.Height()};
                            },
                            [](int id, const std::string&, int) -> std::optional<ImageStore::Size> {
                                if (id == kBackground) return ImageStore::Size{40, 30};
                                return ImageStore::Size{8, 32};
                            },
                            2});
    ImageStrip* background = store->LoadStrip(kBackground, "background.png", 1);
    ImageStrip* knob = store->LoadStrip(kKnob, "knob.png", 4);

    ImageStore::WholeDecode AheadDecoder() {
        return [this](int id, const std::string&, int factor, raster::MemBitmap& into) {
            ++ahead;
            if (std::this_thread::get_id() == gui) ++aheadOnGuiThread;
            std::this_thread::sleep_for(aheadTakes);
            return !aheadFails && Fill(id, factor, into);
        };
    }
    // The colour in the middle of what a strip draws (resampling darkens the edges).
    uint32_t Shown(const ImageStrip* strip) const {
        const auto* bitmap = static_cast<const raster::MemBitmap*>(strip->bitmap);
        if (!bitmap->HasPixels()) return 0;
        return bitmap->Row(bitmap->Height() / 2)[bitmap->Width() / 2];
    }
};

TEST(ImagesDecodedAhead, TheFirstDrawingTakesThemOverAtEveryZoom) {
    // 100 % and 200 % draw the sets as decoded; 150 % resamples the large one.
    for (const double zoom : {1.0, 2.0, 1.5}) {
        SCOPED_TRACE(zoom);
        Images images;
        const int factor = zoom > 1.0 ? 2 : 1;
        images.store->DecodeAhead({images.background, images.knob}, images.AheadDecoder());
        // Nothing starts before the zoom is known.
        EXPECT_EQ(images.ahead, 0);
        images.store->RenderAll(zoom);
        images.store->Prepare(*images.background);
        EXPECT_EQ(images.background->bitmap->Width(), static_cast<int>(40 * zoom));
        EXPECT_EQ(images.Shown(images.background), Colour(kBackground, factor));
        EXPECT_EQ(images.onGuiThread, 0);
        EXPECT_EQ(images.aheadOnGuiThread, 0);
        // A strip of several frames is decoded where it is drawn, as before.
        EXPECT_EQ(images.ahead, 1);
        images.store->Prepare(*images.knob, {0, 8});
        EXPECT_EQ(images.onGuiThread, 1);
        EXPECT_EQ(images.Shown(images.knob), Colour(kKnob, factor));
    }
}

TEST(ImagesDecodedAhead, AZoomOfTheOtherSetOrAFailedDecodeFallsBackToTheGuiThread) {
    Images other;
    other.store->DecodeAhead({other.background}, other.AheadDecoder());
    other.store->RenderAll(1.0);
    // The stored zoom did not fit the screen: the panel opens at 200 % after all.
    other.store->RenderAll(2.0);
    other.store->Prepare(*other.background);
    EXPECT_EQ(other.onGuiThread, 1);
    EXPECT_EQ(other.Shown(other.background), Colour(kBackground, 2));

    Images failing;
    failing.aheadFails = true;
    failing.store->DecodeAhead({failing.background}, failing.AheadDecoder());
    failing.store->RenderAll(1.0);
    failing.store->Prepare(*failing.background);
    EXPECT_EQ(failing.ahead, 1);
    EXPECT_EQ(failing.onGuiThread, 1);
    EXPECT_EQ(failing.Shown(failing.background), Colour(kBackground, 1));
}

TEST(ImagesDecodedAhead, TheDrawingWaitsForASlowDecodeAndTheStoreForItsThread) {
    Images slow;
    slow.aheadTakes = std::chrono::milliseconds(50);
    slow.store->DecodeAhead({slow.background}, slow.AheadDecoder());
    slow.store->RenderAll(1.0);
    slow.store->Prepare(*slow.background);
    EXPECT_EQ(slow.onGuiThread, 0);
    EXPECT_EQ(slow.Shown(slow.background), Colour(kBackground, 1));

    // A panel closed before its first drawing: the store waits for the thread it started.
    Images closed;
    closed.aheadTakes = std::chrono::milliseconds(50);
    closed.store->DecodeAhead({closed.background}, closed.AheadDecoder());
    closed.store->RenderAll(1.0);
    closed.store.reset();
    EXPECT_EQ(closed.ahead, 1);
}

}  // namespace
