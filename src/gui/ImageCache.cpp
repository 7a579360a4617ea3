#include "gui/ImageCache.h"

#include <algorithm>

#include "gui/StripResampler.h"

ImageCache& ImageCache::Instance() {
    // Never destroyed: fonts and bitmaps are freed by Release at shutdown, and nothing that
    // runs during static destruction may find the cache gone.
    static ImageCache* cache = new ImageCache;
    return *cache;
}

ImageCache::Image* ImageCache::FindImage(int id) {
    for (Image& image : images_) {
        if (image.id == id) return &image;
    }
    return nullptr;
}

ImageStrip* ImageCache::LoadStrip(const Decoder& decode, int id, const std::string& name,
                                  int frameCount, int divisor) {
    auto strip = std::make_unique<ImageStrip>();
    strip->frameCount = frameCount < 1 ? 1 : frameCount;
    bool fromCache = false;
    // Called with the image lock held.
    auto wrapCached = [&] {
        const Image* cached = FindImage(id);
        if (cached == nullptr) return false;
        strip->bitmap = cached->shown.get();
        strip->width = cached->shown->Width();
        strip->height = cached->shown->Height();
        fromCache = true;
        return true;
    };
    {
        std::lock_guard<std::mutex> hold(imageLock_);
        wrapCached();
    }
    if (!fromCache) {
        std::unique_ptr<raster::MemBitmap> decoded = decode ? decode(id, name) : nullptr;
        std::lock_guard<std::mutex> hold(imageLock_);
        if (wrapCached()) {
            // Another thread decoded it meanwhile.
        } else if (decoded && decoded->HasPixels()) {
            Image image;
            image.id = id;
            if (divisor < 2) {
                strip->width = decoded->Width();
                strip->height = decoded->Height();
                image.shown = std::move(decoded);
            } else {
                strip->width = decoded->Width() / divisor;
                strip->height = decoded->Height() / divisor;
                image.shown = std::make_unique<raster::MemBitmap>(1, 1);
                if (image.shown->HasPixels()) image.shown->Pixels()[0] = 0;
                image.source = std::move(decoded);
            }
            strip->bitmap = image.shown.get();
            images_.push_back(std::move(image));
        }
    }

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
    registry_.push_back({id, name, std::move(strip)});
    return registry_.back().strip.get();
}

const raster::MemBitmap* ImageCache::SourceOf(Image& image, const Decoder& decode,
                                              const std::string& name) {
    if (!image.source && decode) image.source = decode(image.id, name);
    if (image.source && image.source->HasPixels()) return image.source.get();
    return nullptr;
}

void ImageCache::RenderAll(const Decoder& decode, double scale, int divisor) {
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
        const raster::MemBitmap* source = SourceOf(*image, decode, entry.name);
        if (source == nullptr) continue;

        const ImageStrip& first = *entry.strip;
        int targetW = static_cast<int>(static_cast<double>(source->Width()) / divisor * scale);
        int targetH = static_cast<int>(static_cast<double>(source->Height()) / divisor * scale);
        if (first.frameCount >= 2) (first.framesHorizontal ? targetW : targetH) += first.frameCount;
        if (targetW < 1 || targetH < 1) continue;
        image->shown->Resize(targetW, targetH);
        if (!image->shown->HasPixels()) continue;
        ResampleStrip(*source, first.frameCount, first.framesHorizontal, *image->shown);

        // Every strip over this image, in any control, now measures the new size.
        for (size_t j = i; j < registry_.size(); ++j) {
            if (registry_[j].id != entry.id) continue;
            registry_[j].strip->bitmap = image->shown.get();
            registry_[j].strip->width = targetW;
            registry_[j].strip->height = targetH;
        }
    }
}

int ImageCache::StripCount() const {
    std::lock_guard<std::mutex> hold(registryLock_);
    return static_cast<int>(registry_.size());
}

void ImageCache::Release() {
    std::lock_guard<std::mutex> registryHold(registryLock_);
    std::lock_guard<std::mutex> imageHold(imageLock_);
    registry_.clear();
    images_.clear();
}
