#pragma once

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/ImageStrip.h"
#include "raster/MemBitmap.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

// The images of one panel: every strip its graphics object handed out, and the pixels they draw
// at the panel's zoom. Every image comes at the panel's size (factor 1) and at a larger factor;
// zooms up to 100 % are rendered from the first, larger ones from the second. An image is decoded
// and rendered when a strip over it is first drawn at a zoom, and its decoded pixels are let go
// once rendered. At the zooms it is stored for it is drawn as decoded, and only the rows drawn
// are decoded (with the rest of their frames), so nothing is decoded that the zoom does not
// draw. Used on the GUI thread only.
class ImageStore {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    struct Decoder {
        // Decodes rows of image id of the set drawn at factor times the panel's size into a
        // bitmap, which takes the image's size (cleared when it had another): those asked for or
        // more (raster::DecodePngResourceRows). The rows decoded; none when there is no image.
        std::function<std::optional<raster::RowSpan>(int id, const std::string& name, int factor,
                                                     raster::RowSpan rows, raster::MemBitmap& into)>
            decode;
        // The size image id is drawn at the panel's size, for a strip of frameCount frames,
        // without decoding it; none when there is no such image.
        std::function<std::optional<Size>(int id, const std::string& name, int frameCount)> measure;
        // The factor of the large set.
        int largeFactor = resources::kLargeImageFactor;
    };

    // Decodes image id of the set drawn at factor times the panel's size whole into a bitmap,
    // which takes the image's size; false when there is none. Safe on any thread.
    using WholeDecode =
        std::function<bool(int id, const std::string& name, int factor, raster::MemBitmap& into)>;

    explicit ImageStore(Decoder decoder);
    ~ImageStore();
    ImageStore(const ImageStore&) = delete;
    ImageStore& operator=(const ImageStore&) = delete;

    // A new strip over image id. Until the first RenderAll it measures the image at the panel's
    // size and draws it as stored. A missing image gives a strip with no pixels and no size.
    ImageStrip* LoadStrip(int id, const std::string& name, int frameCount);
    // Sizes every strip for the zoom: the image's size at the panel's size times scale,
    // truncated, and for a strip of N >= 2 frames N pixels more along its frame axis. An image
    // may be stored with those N pixels (ShownLength), and is then drawn as decoded at 100 % and
    // at the large set's zoom; one stored at its drawn size is resampled. The pixels follow when
    // a strip is drawn (Prepare).
    void RenderAll(double scale);
    // Makes rows of strip ready to be drawn at the size it measures. An image drawn as decoded
    // is decoded only where it is drawn; one that is resampled is decoded whole.
    void Prepare(const ImageStrip& strip, raster::RowSpan rows = {0, raster::kAllRows});
    // Has the images of these one-frame strips (those drawn whole, as the panel's background)
    // decoded on a thread of its own, from the first RenderAll on (when the zoom is known), while
    // the caller builds the window around the panel; each image's first Prepare takes its pixels
    // over, waiting for the thread if it is not done. Strips of several frames are left to be
    // decoded as they are drawn. Once, before anything is drawn; what a later zoom of the other
    // set would not use is let go.
    void DecodeAhead(const std::vector<const ImageStrip*>& strips, WholeDecode decode);
    int StripCount() const { return static_cast<int>(strips_.size()); }
    // The zoom of the last RenderAll; none before the first.
    std::optional<double> Scale() const { return scale_; }

private:
    struct Image {
        int id = 0;
        std::string name;
        Size size;  // as drawn at the panel's size
        int frameCount = 1;
        bool framesHorizontal = false;
        // The zoom the strips over it measure; none: the image as stored at the panel's size.
        std::optional<double> scale;
        bool rendered = false;  // shown has the size of the zoom
        // Drawn as decoded, which rows of shown hold the image; empty when all of them do.
        std::vector<bool> readyRows;
        std::unique_ptr<raster::MemBitmap> shown;  // what strips draw from

        bool Ready(raster::RowSpan rows) const;
    };
    struct Registered {
        int image = 0;  // index into images_
        std::unique_ptr<ImageStrip> strip;
    };

    // An image decoded ahead, or to be, at aheadFactor_.
    struct Ahead {
        int id = 0;
        std::unique_ptr<raster::MemBitmap> pixels;  // once the thread is done; null once taken
    };

    Image* FindImage(int id);
    // The pixels decoded ahead of image id at factor; null when it was not asked for (or was
    // taken). Waits for the thread when it is still decoding.
    std::unique_ptr<raster::MemBitmap> TakeAhead(int id, int factor);
    // Starts the thread for the images of ahead_ at the set of the zoom.
    void StartAhead(double scale);
    // Waits for the thread, and lets go of what it decoded.
    void DropAhead();
    // The factor of the set the zoom of image draws from.
    int SetFactor(const Image& image) const;
    int FactorAt(double scale) const;
    // Decodes rows of image at the size of its strips, target, in place, when the set that zoom
    // draws from holds it at that size. False when it does not (nothing changed).
    bool DecodeAsShown(Image& image, Size target, raster::RowSpan rows);
    // The whole image at target, decoded and resampled; null when it cannot be decoded.
    std::unique_ptr<raster::MemBitmap> Resampled(const Image& image, Size target);

    Decoder decoder_;
    std::optional<double> scale_;
    std::vector<std::unique_ptr<Image>> images_;
    std::vector<Registered> strips_;
    std::vector<Ahead> ahead_;
    int aheadFactor_ = 0;      // the set ahead_ is decoded from; 0 until the thread starts
    WholeDecode aheadDecode_;  // until the thread starts
    // The thread's result: the pixels of ahead_, in its order.
    std::future<std::vector<std::unique_ptr<raster::MemBitmap>>> aheadDecoding_;
};
