#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/ImageStrip.h"
#include "raster/MemBitmap.h"

// The process-wide store of decoded images and of every strip handed out, each list under its
// own lock because images may be asked for while other objects are being built. Strips and
// bitmaps live until Release (at shutdown); a strip keeps its identity when it is re-rendered.
class ImageCache {
public:
    // Decodes one image resource by id and name; null when there is none.
    using Decoder = std::function<std::unique_ptr<raster::MemBitmap>(int id, const std::string&)>;

    static ImageCache& Instance();

    // A new strip over the cached image id (decoded now if needed). With a divisor of 2 or more
    // the strip measures the decoded size divided by the divisor and shows a 1 x 1 placeholder
    // until the next RenderAll. A missing image gives a strip with no pixels and no size.
    ImageStrip* LoadStrip(const Decoder& decode, int id, const std::string& name, int frameCount,
                          int divisor);
    // Renders every registered strip at (decoded size / divisor) x scale; a strip of N >= 2
    // frames gets N more pixels along its frame axis.
    void RenderAll(const Decoder& decode, double scale, int divisor);
    int StripCount() const;
    void Release();

private:
    struct Image {
        int id = 0;
        std::unique_ptr<raster::MemBitmap> shown;   // what strips draw from
        std::unique_ptr<raster::MemBitmap> source;  // the decoded pixels, kept for re-renders
    };
    struct Registered {
        int id = 0;
        std::string name;
        std::unique_ptr<ImageStrip> strip;
    };

    Image* FindImage(int id);
    const raster::MemBitmap* SourceOf(Image& image, const Decoder& decode, const std::string& name);

    std::mutex imageLock_;
    std::vector<Image> images_;
    mutable std::mutex registryLock_;
    std::vector<Registered> registry_;
};
