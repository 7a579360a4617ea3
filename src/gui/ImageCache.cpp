#include "gui/ImageCache.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

#include "gui/KeptImages.h"
#include "gui/StripResampler.h"

namespace {

std::atomic<bool> onDemandImages{true};

// A worker a core: until the first paint the GUI thread mostly waits (on the window system, on
// the MIDI back ends), and then it decodes what it draws first itself.
int AheadWorkerCount() {
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(cores, 1, 3);
}

}  // namespace

ImageCache::ImageCache() : ahead_(AheadWorkerCount()) {}

ImageCache& ImageCache::Instance() {
    // Never destroyed: fonts and bitmaps are freed by Release at shutdown, and nothing that
    // runs during static destruction may find the cache gone.
    static ImageCache* cache = new ImageCache;
    return *cache;
}

void ImageCache::SetOnDemand(bool onDemand) {
    onDemandImages = onDemand;
}

ImageCache::Image* ImageCache::FindImage(int id) {
    for (Image& image : images_) {
        if (image.id == id) return &image;
    }
    return nullptr;
}

ImageStrip* ImageCache::LoadStrip(const Decoder& decoder, int id, const std::string& name,
                                  int frameCount, int divisor) {
    auto strip = std::make_unique<ImageStrip>();
    strip->frameCount = frameCount < 1 ? 1 : frameCount;
    const bool fromCache = AddImage(decoder, id, name, divisor, *strip);

    std::lock_guard<std::mutex> hold(registryLock_);
    if (fromCache) {
        // A placeholder is 1 x 1; a strip over it measures what the first strip of the same
        // image measures, so a second control on one image is not laid out 1 pixel wide.
        for (const Registered& entry : registry_) {
            if (entry.id != id) continue;
            strip->width = entry.strip->width;
            strip->height = entry.strip->height;
            break;
        }
    }
    stripImage_[strip.get()] = id;
    registry_.push_back({id, name, std::move(strip)});
    return registry_.back().strip.get();
}

// Enters image id into the cache unless it is there; true when it was (the strip then wraps it).
bool ImageCache::AddImage(const Decoder& decoder, int id, const std::string& name, int divisor,
                          ImageStrip& strip) {
    // Called with the image lock held.
    auto wrapCached = [&] {
        const Image* cached = FindImage(id);
        if (cached == nullptr) return false;
        strip.bitmap = cached->shown.get();
        strip.width = cached->shown->Width();
        strip.height = cached->shown->Height();
        return true;
    };
    {
        std::lock_guard<std::mutex> hold(imageLock_);
        if (wrapCached()) return true;
    }
    Image image;
    image.id = id;
    image.name = name;
    image.onDemand = onDemandImages && divisor >= 2 && decoder.measure != nullptr;
    std::unique_ptr<raster::MemBitmap> decoded;
    if (image.onDemand) {
        const std::optional<Size> stored = decoder.measure(id, name);
        if (!stored || stored->width < 1 || stored->height < 1) return false;
        image.stored = *stored;
    } else {
        decoded = decoder.decode ? decoder.decode(id, name) : nullptr;
        if (!decoded || !decoded->HasPixels()) return false;
        image.stored = {decoded->Width(), decoded->Height()};
    }

    std::lock_guard<std::mutex> hold(imageLock_);
    // Another thread may have entered it meanwhile.
    if (wrapCached()) return true;
    if (divisor < 2) {
        strip.width = decoded->Width();
        strip.height = decoded->Height();
        image.shown = std::move(decoded);
    } else {
        strip.width = image.stored.width / divisor;
        strip.height = image.stored.height / divisor;
        image.shown = std::make_unique<raster::MemBitmap>(1, 1);
        if (image.shown->HasPixels()) image.shown->Pixels()[0] = 0;
        image.source = std::move(decoded);
    }
    strip.bitmap = image.shown.get();
    image.keptShown = std::make_shared<KeptShownSlot>();
    if (image.onDemand && decoder.anyThread) {
        const std::span<const uint8_t> encoded =
            decoder.encoded ? decoder.encoded(id, name) : std::span<const uint8_t>();
        ahead_.Add(id,
                   UnlessRenderingKept(encoded, image.stored, [decode = decoder.decode, id, name] {
                       return decode(id, name);
                   }));
    }
    images_.push_back(std::move(image));
    return false;
}

const raster::MemBitmap* ImageCache::SourceOf(Image& image, const Decoder& decoder) {
    if (!image.source && !image.decodeFailed) {
        image.source = ahead_.Holds(image.id) ? ahead_.Take(image.id) : nullptr;
        if (!image.source && decoder.decode) image.source = decoder.decode(image.id, image.name);
        // Measured but not decodable, or not as measured: the image stays clear.
        const bool asMeasured = image.source && image.source->HasPixels() &&
                                image.source->Width() == image.stored.width &&
                                image.source->Height() == image.stored.height;
        if (!asMeasured) {
            image.source.reset();
            image.decodeFailed = true;
        }
    }
    return image.source.get();
}

void ImageCache::RenderAll(const Decoder& decoder, double scale, int divisor) {
    if (divisor < 1) divisor = 1;
    std::lock_guard<std::mutex> registryHold(registryLock_);
    std::lock_guard<std::mutex> imageHold(imageLock_);
    std::vector<int> rendered;
    for (size_t i = 0; i < registry_.size(); ++i) {
        const Registered& entry = registry_[i];
        if (std::find(rendered.begin(), rendered.end(), entry.id) != rendered.end()) continue;
        rendered.push_back(entry.id);
        Image* image = FindImage(entry.id);
        if (image == nullptr) continue;  // a missing image stays as it is
        if (!image->onDemand && SourceOf(*image, decoder) == nullptr) continue;

        const ImageStrip& first = *entry.strip;
        int targetW = static_cast<int>(static_cast<double>(image->stored.width) / divisor * scale);
        int targetH = static_cast<int>(static_cast<double>(image->stored.height) / divisor * scale);
        if (first.frameCount >= 2) (first.framesHorizontal ? targetW : targetH) += first.frameCount;
        if (targetW < 1 || targetH < 1) continue;
        image->shown->Resize(targetW, targetH);
        if (!image->shown->HasPixels()) continue;
        image->frameCount = first.frameCount;
        image->framesHorizontal = first.framesHorizontal;
        if (image->onDemand) {
            image->frameReady.assign(static_cast<size_t>(first.frameCount), false);
            image->keptShownSought = false;
            if (image->frameCount == 1) ReadKeptAhead(*image, decoder);
        } else {
            ResampleStrip(*image->source, first.frameCount, first.framesHorizontal, *image->shown);
        }

        // Every strip over this image, in any control, now measures the new size.
        for (size_t j = i; j < registry_.size(); ++j) {
            if (registry_[j].id != entry.id) continue;
            registry_[j].strip->bitmap = image->shown.get();
            registry_[j].strip->width = targetW;
            registry_[j].strip->height = targetH;
        }
    }
}

void ImageCache::Prepare(const Decoder& decoder, const ImageStrip& strip,
                         const raster::PixelRect& area) {
    int id = 0;
    {
        std::lock_guard<std::mutex> hold(registryLock_);
        const auto found = stripImage_.find(&strip);
        if (found == stripImage_.end()) return;
        id = found->second;
    }
    std::lock_guard<std::mutex> hold(imageLock_);
    Image* image = FindImage(id);
    if (image == nullptr || image->frameReady.empty()) return;
    // The first frames drawn at a size: the whole rendering may be kept from an earlier run.
    const bool firstAtThisSize = !image->keptShownSought;
    if (firstAtThisSize) {
        image->keptShownSought = true;
        image->keptShownFound = FindKeptShown(*image, decoder);
    }
    // Kept anew when it was not found, or when it has changed since (another run wrote it).
    bool keepLater = firstAtThisSize && image->keptShownFound == 0;
    const int length = image->framesHorizontal ? image->shown->Width() : image->shown->Height();
    const int begin = image->framesHorizontal ? area.left : area.top;
    const int end = image->framesHorizontal ? area.right : area.bottom;
    for (int k = 0; k < image->frameCount; ++k) {
        if (image->frameReady[static_cast<size_t>(k)]) continue;
        if (FrameOffset(length, image->frameCount, k + 1) <= begin) continue;
        if (FrameOffset(length, image->frameCount, k) >= end) break;
        if (image->keptShownFound != 0) {
            if (ReadKeptFrame(*image, k)) continue;
            image->keptShownFound = 0;
            keepLater = true;
        }
        const raster::MemBitmap* source = SourceOf(*image, decoder);
        if (source == nullptr) return;
        ResampleFrame(*source, image->frameCount, image->framesHorizontal, *image->shown, k);
        image->frameReady[static_cast<size_t>(k)] = true;
    }
    if (keepLater && image->source) KeepShownLater(*image, decoder);
}

std::string ImageCache::KeptFolder() {
    std::lock_guard<std::mutex> hold(keptLock_);
    return keptFolder_;
}

uint64_t ImageCache::ShownKey(Image& image, const Decoder& decoder) {
    // Called with the image lock held.
    if (image.key == 0 && decoder.encoded) {
        const std::span<const uint8_t> encoded = decoder.encoded(image.id, image.name);
        if (!encoded.empty())
            image.key = KeptImages::KeyOf(encoded, image.stored.width, image.stored.height);
    }
    if (image.key == 0) return 0;
    const int shape[] = {image.shown->Width(), image.shown->Height(), image.frameCount,
                         image.framesHorizontal ? 1 : 0};
    return KeptImages::DerivedKeyOf(image.key, shape);
}

uint64_t ImageCache::FindKeptShown(Image& image, const Decoder& decoder) {
    // Called with the image lock held.
    const std::string folder = KeptFolder();
    if (folder.empty()) return 0;
    const uint64_t key = ShownKey(image, decoder);
    if (key == 0) return 0;
    // The kept rendering is of the size drawn last: a writer of another size that has not
    // written yet leaves it, and one that has is seen here.
    std::lock_guard<std::mutex> hold(image.keptShown->writing);
    const bool found = KeptImages::ReadRows(
        KeptImages::PathOf(folder, image.key, KeptImages::kRendering), key, *image.shown, 0, 0);
    if (found) image.keptShown->wanted = key;
    return found ? key : 0;
}

bool ImageCache::ReadKeptFrames(Image& image) {
    // Called with the image lock held.
    const std::string path = KeptImages::PathOf(KeptFolder(), image.key, KeptImages::kRendering);
    raster::MemBitmap& shown = *image.shown;
    if (!KeptImages::ReadRows(path, image.keptShownFound, shown, 0, shown.Height())) return false;
    std::fill(image.frameReady.begin(), image.frameReady.end(), true);
    return true;
}

void ImageCache::ReadKeptAhead(const Image& image, const Decoder& decoder) {
    // Called with the image lock held.
    if (!decoder.encoded || KeptFolder().empty()) return;
    Decoder keys;  // all that finding the kept rendering needs, and safe on any thread
    keys.encoded = decoder.encoded;
    ahead_.AddChore([this, id = image.id, keys] {
        std::lock_guard<std::mutex> hold(imageLock_);
        Image* target = FindImage(id);
        // Drawn already, or gone: the frames are the GUI thread's to render.
        if (target == nullptr || target->keptShownSought || target->frameReady.empty()) return;
        target->keptShownFound = FindKeptShown(*target, keys);
        if (target->keptShownFound == 0) return;
        target->keptShownSought = true;
        if (ReadKeptFrames(*target)) return;
        // Changed since it was found: the GUI thread renders the image and keeps it anew.
        target->keptShownFound = 0;
        target->keptShownSought = false;
    });
}

bool ImageCache::ReadKeptFrame(Image& image, int k) {
    // Called with the image lock held. Frames side by side share every row: all are read at once.
    if (image.framesHorizontal) return ReadKeptFrames(image);
    const std::string path = KeptImages::PathOf(KeptFolder(), image.key, KeptImages::kRendering);
    raster::MemBitmap& shown = *image.shown;
    const int top = FrameOffset(shown.Height(), image.frameCount, k);
    const int bottom = FrameOffset(shown.Height(), image.frameCount, k + 1);
    if (!KeptImages::ReadRows(path, image.keptShownFound, shown, top, bottom)) return false;
    image.frameReady[static_cast<size_t>(k)] = true;
    return true;
}

void ImageCache::KeepShownLater(Image& image, const Decoder& decoder) {
    // Called with the image lock held. The source stays until Release, which runs every chore
    // before it drops the images.
    const std::string folder = KeptFolder();
    if (folder.empty()) return;
    const uint64_t key = ShownKey(image, decoder);
    if (key == 0) return;
    // One rendering is kept per image, the one of the last size asked for.
    image.keptShown->wanted = key;
    ahead_.AddChore([source = image.source.get(), frameCount = image.frameCount,
                     horizontal = image.framesHorizontal, width = image.shown->Width(),
                     height = image.shown->Height(), key, slot = image.keptShown,
                     path = KeptImages::PathOf(folder, image.key, KeptImages::kRendering)] {
        raster::MemBitmap rendered(width, height);
        if (!rendered.HasPixels()) return;
        ResampleStrip(*source, frameCount, horizontal, rendered);
        std::lock_guard<std::mutex> hold(slot->writing);
        if (slot->wanted != key) return;
        (void)KeptImages::Write(path, KeptImages::FileOf(rendered, key));
    });
}

void ImageCache::SetKeptFolder(const std::string& folder) {
    {
        std::lock_guard<std::mutex> hold(keptLock_);
        keptFolder_ = folder;
    }
    // The first chore, before anything is written: decodes only read, and what they read of
    // another version's files does not fit them anyway.
    if (!folder.empty()) ahead_.AddChore([folder] { KeptImages::ForgetOtherVersions(folder); });
}

std::unique_ptr<raster::MemBitmap> ImageCache::DecodeKept(
    std::span<const uint8_t> encoded, int width, int height,
    const std::function<std::unique_ptr<raster::MemBitmap>()>& decode) {
    const std::string folder = KeptFolder();
    if (folder.empty()) return decode();
    const uint64_t key = KeptImages::KeyOf(encoded, width, height);
    std::string path = KeptImages::PathOf(folder, key);
    std::unique_ptr<raster::MemBitmap> image = KeptImages::Read(path, key, width, height);
    if (image) return image;
    image = decode();
    if (!image || image->Width() != width || image->Height() != height) return image;
    // The file is built now, as the image may be gone when a worker gets to write it. A
    // folder that cannot be written costs the next start its speed, nothing else.
    ahead_.AddChore([path = std::move(path), file = KeptImages::FileOf(*image, key)] {
        (void)KeptImages::Write(path, file);
    });
    return image;
}

void ImageCache::DecodeAhead(int id, std::span<const uint8_t> encoded, int width, int height,
                             DecodeQueue::Decode decode) {
    if (onDemandImages)
        ahead_.Add(id, UnlessRenderingKept(encoded, {width, height}, std::move(decode)));
}

DecodeQueue::Decode ImageCache::UnlessRenderingKept(std::span<const uint8_t> encoded, Size stored,
                                                    DecodeQueue::Decode decode) {
    return [this, encoded, stored, decode = std::move(decode)] {
        // Null from here is decoded by whoever takes it, if it ever needs to.
        const std::string folder = KeptFolder();
        if (!folder.empty() && !encoded.empty()) {
            const uint64_t key = KeptImages::KeyOf(encoded, stored.width, stored.height);
            std::error_code ignored;
            if (std::filesystem::exists(KeptImages::PathOf(folder, key, KeptImages::kRendering),
                                        ignored))
                return std::unique_ptr<raster::MemBitmap>();
        }
        return decode();
    };
}

void ImageCache::FinishDecoding() {
    ahead_.Finish();
}

int ImageCache::StripCount() const {
    std::lock_guard<std::mutex> hold(registryLock_);
    return static_cast<int>(registry_.size());
}

void ImageCache::Release() {
    ahead_.Clear();
    std::lock_guard<std::mutex> registryHold(registryLock_);
    std::lock_guard<std::mutex> imageHold(imageLock_);
    registry_.clear();
    stripImage_.clear();
    images_.clear();
}
