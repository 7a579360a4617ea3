#pragma once

#include <functional>
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
// once rendered, so nothing is decoded that the zoom does not draw. Used on the GUI thread only.
class ImageStore {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    struct Decoder {
        // Decodes image id of the set drawn at factor times the panel's size, its first rows rows
        // or more, the rest clear (raster::kAllRows: all); null when there is none.
        std::function<std::unique_ptr<raster::MemBitmap>(int id, const std::string& name,
                                                         int factor, int rows)>
            decode;
        // The size image id is drawn at the panel's size, for a strip of frameCount frames,
        // without decoding it; none when there is no such image.
        std::function<std::optional<Size>(int id, const std::string& name, int frameCount)> measure;
        // The factor of the large set.
        int largeFactor = resources::kLargeImageFactor;
    };

    explicit ImageStore(Decoder decoder);
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
    // Makes the first rows rows of strip ready to be drawn at the size it measures. An image
    // drawn as decoded is decoded only down to the frame first drawn; the next draw below that
    // decodes it whole.
    void Prepare(const ImageStrip& strip, int rows = raster::kAllRows);
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
        bool rendered = false;
        int readyRows = 0;  // rows of shown that hold the image once rendered
        std::unique_ptr<raster::MemBitmap> shown;  // what strips draw from
    };
    struct Registered {
        int image = 0;  // index into images_
        std::unique_ptr<ImageStrip> strip;
    };

    Image* FindImage(int id);
    void Render(Image& image);
    // The pixels of image at the size of its strips, from the set that zoom draws from.
    // Rows: as many as needed at least; readyRows: as many as it holds.
    std::unique_ptr<raster::MemBitmap> Rendering(const Image& image, Size target, int rows,
                                                 int& readyRows) const;

    Decoder decoder_;
    std::optional<double> scale_;
    std::vector<std::unique_ptr<Image>> images_;
    std::vector<Registered> strips_;
};
