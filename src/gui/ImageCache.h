#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "gui/DecodeQueue.h"
#include "gui/ImageStrip.h"
#include "raster/MemBitmap.h"
#include "raster/PixelRect.h"

// The process-wide store of decoded images and of every strip handed out, each list under its
// own lock because images may be asked for while other objects are being built. Strips and
// bitmaps live until Release (at shutdown); a strip keeps its identity when it is re-rendered.
//
// Images drawn at a fraction of their stored size (a divisor of 2 or more) are decoded and
// rendered when they are first drawn, frame by frame, when the decoder can measure an image
// without decoding it: the panel's first paint then waits only for the frames it shows, while
// worker threads decode the other images ahead of their use. Without a measure, or with the
// on-demand path switched off, every image is decoded as it is loaded and rendered whole by
// RenderAll (the plain path); both give the same pixels.
class ImageCache {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    struct Decoder {
        // Decodes one image resource by id and name; null when there is none.
        std::function<std::unique_ptr<raster::MemBitmap>(int id, const std::string&)> decode;
        // The stored size of an image without decoding it; none when there is no such image.
        std::function<std::optional<Size>(int id, const std::string&)> measure;
        // Whether decode may run on a worker thread.
        bool anyThread = false;
        // The encoded bytes of an image that never changes while the program runs (a built-in
        // one), by which its renderings are kept between runs; empty for any other.
        std::function<std::span<const uint8_t>(int id, const std::string&)> encoded;
    };

    static ImageCache& Instance();

    // A new strip over the cached image id. With a divisor of 2 or more the strip measures the
    // stored size divided by the divisor and shows a 1 x 1 placeholder until the next
    // RenderAll. A missing image gives a strip with no pixels and no size.
    ImageStrip* LoadStrip(const Decoder& decoder, int id, const std::string& name, int frameCount,
                          int divisor);
    // Renders every registered strip at (stored size / divisor) x scale; a strip of N >= 2
    // frames gets N more pixels along its frame axis. On demand, the frames are rendered as
    // Prepare asks for them.
    void RenderAll(const Decoder& decoder, double scale, int divisor);
    // Makes the pixels of strip inside area (strip pixels) ready to be drawn.
    void Prepare(const Decoder& decoder, const ImageStrip& strip, const raster::PixelRect& area);
    // Where decoded images are kept between runs; empty (the default): nowhere.
    void SetKeptFolder(const std::string& folder);
    // The image encoded as these bytes, width x height: read from its kept file when there is a
    // good one, else decoded, and then written to the folder by a worker, not by the caller.
    std::unique_ptr<raster::MemBitmap> DecodeKept(
        std::span<const uint8_t> encoded, int width, int height,
        const std::function<std::unique_ptr<raster::MemBitmap>()>& decode);
    // Queues the decode of image id on the workers ahead of its first use. When a rendering of
    // the image encoded as these bytes, width x height, is kept, the panel most likely draws from
    // that and the decode is left to whoever needs the image.
    void DecodeAhead(int id, std::span<const uint8_t> encoded, int width, int height,
                     DecodeQueue::Decode decode);
    // Ends the decoding ahead of use and joins its workers; what was not decoded yet is decoded
    // when it is drawn. Called before a decoder's owner goes away.
    void FinishDecoding();
    int StripCount() const;
    void Release();

    // Off: the plain path for every image loaded from now on, to compare against.
    static void SetOnDemand(bool onDemand);

private:
    // The rendering kept for an image: the key of the one last asked for, and a lock that makes
    // each writer's look at it and its write one step, so that an older size never lands last.
    struct KeptShownSlot {
        std::atomic<uint64_t> wanted{0};
        std::mutex writing;
    };
    struct Image {
        int id = 0;
        std::string name;
        std::unique_ptr<raster::MemBitmap> shown;   // what strips draw from
        std::unique_ptr<raster::MemBitmap> source;  // the decoded pixels, kept for re-renders
        Size stored;                                // the source's size, known before decoding
        int frameCount = 1;
        bool framesHorizontal = false;
        bool onDemand = false;
        bool decodeFailed = false;
        std::vector<bool> frameReady;  // per frame of shown, once sized by RenderAll
        // Kept between runs: the key of the encoded image (0 while unknown or when it has none);
        // whether the kept rendering at the present size was looked for, and its key when it was
        // found (frames are then read from it as they are drawn); the one kept for the next run.
        uint64_t key = 0;
        bool keptShownSought = false;
        uint64_t keptShownFound = 0;
        std::shared_ptr<KeptShownSlot> keptShown;
    };
    struct Registered {
        int id = 0;
        std::string name;
        std::unique_ptr<ImageStrip> strip;
    };

    ImageCache();

    Image* FindImage(int id);
    const raster::MemBitmap* SourceOf(Image& image, const Decoder& decoder);
    bool AddImage(const Decoder& decoder, int id, const std::string& name, int divisor,
                  ImageStrip& strip);
    std::string KeptFolder();
    // decode, or nothing when a rendering of the image encoded as these bytes is kept: the panel
    // most likely draws from that.
    DecodeQueue::Decode UnlessRenderingKept(std::span<const uint8_t> encoded, Size stored,
                                            DecodeQueue::Decode decode);
    // The key of the rendering image->shown holds now; 0 when the image has no key.
    uint64_t ShownKey(Image& image, const Decoder& decoder);
    // The key of image's kept rendering at the present size; 0 when there is none.
    uint64_t FindKeptShown(Image& image, const Decoder& decoder);
    // Reads frame k of image->shown from the kept rendering; false when it cannot.
    bool ReadKeptFrame(Image& image, int k);
    // Reads every frame of image->shown from the kept rendering; false when it cannot.
    bool ReadKeptFrames(Image& image);
    // Has a worker read the kept rendering of image at its new size before it is drawn, while
    // the GUI thread builds the window; what was drawn by then is left alone.
    void ReadKeptAhead(const Image& image, const Decoder& decoder);
    // Has a worker render the whole of image->shown from the source and keep it for the next run.
    void KeepShownLater(Image& image, const Decoder& decoder);

    std::mutex imageLock_;
    std::vector<Image> images_;
    mutable std::mutex registryLock_;
    std::vector<Registered> registry_;
    std::unordered_map<const ImageStrip*, int> stripImage_;  // under registryLock_
    DecodeQueue ahead_;
    std::mutex keptLock_;
    std::string keptFolder_;  // under keptLock_
};
