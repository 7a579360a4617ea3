#include "gui/ImageStore.h"

#include <algorithm>

#include "gui/StripResampler.h"

namespace {

// What a strip shows before its image is first drawn: one clear pixel.
std::unique_ptr<raster::MemBitmap> Placeholder() {
    auto placeholder = std::make_unique<raster::MemBitmap>(1, 1);
    if (placeholder->HasPixels()) placeholder->Pixels()[0] = 0;
    return placeholder;
}

// The size a strip over an image of that unstretched size is shown at a zoom: truncated, and
// stretched again along its frame axis.
ImageStore::Size Shown(ImageStore::Size unstretched, double scale, int frameCount,
                       bool framesHorizontal) {
    ImageStore::Size shown{static_cast<int>(unstretched.width * scale),
                           static_cast<int>(unstretched.height * scale)};
    int& length = framesHorizontal ? shown.width : shown.height;
    if (length > 0) length = ShownLength(length, frameCount);
    return shown;
}

}  // namespace

ImageStore::ImageStore(Decoder decoder) : decoder_(std::move(decoder)) {
    if (decoder_.largeFactor < 1) decoder_.largeFactor = 1;
}

// The thread, if any, ends before the store goes.
ImageStore::~ImageStore() = default;

ImageStore::Image* ImageStore::FindImage(int id) {
    for (const std::unique_ptr<Image>& image : images_) {
        if (image->id == id) return image.get();
    }
    return nullptr;
}

ImageStrip* ImageStore::LoadStrip(int id, const std::string& name, int frameCount) {
    auto strip = std::make_unique<ImageStrip>();
    strip->frameCount = frameCount < 1 ? 1 : frameCount;
    Image* image = FindImage(id);
    if (image == nullptr) {
        const std::optional<Size> size = decoder_.measure
                                             ? decoder_.measure(id, name, strip->frameCount)
                                             : std::optional<Size>();
        // A missing image: a strip with no pixels and no size, and nothing to render.
        if (!size || size->width < 1 || size->height < 1) {
            strips_.push_back({-1, std::move(strip)});
            return strips_.back().strip.get();
        }
        auto entered = std::make_unique<Image>();
        entered->id = id;
        entered->name = name;
        entered->size = *size;
        entered->frameCount = strip->frameCount;
        entered->shown = Placeholder();
        images_.push_back(std::move(entered));
        image = images_.back().get();
    }
    // A second strip over one image measures what the first does.
    const ImageStrip* first = nullptr;
    for (const Registered& entry : strips_) {
        if (entry.image >= 0 && images_[static_cast<size_t>(entry.image)].get() == image) {
            first = entry.strip.get();
            break;
        }
    }
    strip->bitmap = image->shown.get();
    strip->width = first != nullptr ? first->width : image->size.width;
    strip->height = first != nullptr ? first->height : image->size.height;
    int index = 0;
    while (images_[static_cast<size_t>(index)].get() != image)
        ++index;
    strips_.push_back({index, std::move(strip)});
    return strips_.back().strip.get();
}

void ImageStore::RenderAll(double scale) {
    scale_ = scale;
    if (aheadDecode_) {
        StartAhead(scale);
    } else if (!ahead_.empty() && aheadFactor_ != FactorAt(scale)) {
        // Decoded ahead for a zoom of the other set (the stored zoom did not fit the screen).
        DropAhead();
    }
    for (const std::unique_ptr<Image>& image : images_) {
        // The first strip handed out over an image says how its frames lie.
        const ImageStrip* first = nullptr;
        for (const Registered& entry : strips_) {
            if (entry.image >= 0 && images_[static_cast<size_t>(entry.image)] == image) {
                first = entry.strip.get();
                break;
            }
        }
        if (first == nullptr) continue;
        const Size target = Shown(image->size, scale, first->frameCount, first->framesHorizontal);
        const int width = target.width;
        const int height = target.height;
        if (width < 1 || height < 1) continue;
        const bool changed = image->scale != scale || image->frameCount != first->frameCount ||
                             image->framesHorizontal != first->framesHorizontal;
        image->frameCount = first->frameCount;
        image->framesHorizontal = first->framesHorizontal;
        image->scale = scale;
        if (changed) image->rendered = false;
        for (Registered& entry : strips_) {
            if (entry.image < 0 || images_[static_cast<size_t>(entry.image)] != image) continue;
            entry.strip->width = width;
            entry.strip->height = height;
        }
    }
}

bool ImageStore::Image::Ready(raster::RowSpan rows) const {
    if (!rendered) return false;
    if (readyRows.empty()) return true;
    const int end = std::min(rows.end, static_cast<int>(readyRows.size()));
    for (int row = std::max(rows.first, 0); row < end; ++row) {
        if (!readyRows[static_cast<size_t>(row)]) return false;
    }
    return true;
}

void ImageStore::Prepare(const ImageStrip& strip, raster::RowSpan rows) {
    for (const Registered& entry : strips_) {
        if (entry.strip.get() != &strip) continue;
        if (entry.image < 0) return;
        Image& image = *images_[static_cast<size_t>(entry.image)];
        if (image.Ready(rows)) return;
        const Size target = {strip.width, strip.height};
        const raster::MemBitmap* before = image.shown.get();
        if (!DecodeAsShown(image, target, rows)) {
            std::unique_ptr<raster::MemBitmap> resampled = Resampled(image, target);
            // An image that cannot be decoded stays as it was.
            if (resampled == nullptr) return;
            image.shown = std::move(resampled);
            image.readyRows.clear();
            image.rendered = true;
        }
        if (image.shown.get() == before) return;
        for (const Registered& other : strips_) {
            if (other.image == entry.image) other.strip->bitmap = image.shown.get();
        }
        return;
    }
}

int ImageStore::FactorAt(double scale) const {
    // As stored, or scaled down from the set at the panel's size, or up from the large set.
    return scale > 1.0 && decoder_.largeFactor > 1 ? decoder_.largeFactor : 1;
}

int ImageStore::SetFactor(const Image& image) const {
    return image.scale ? FactorAt(*image.scale) : 1;
}

void ImageStore::DecodeAhead(const std::vector<const ImageStrip*>& strips, WholeDecode decode) {
    if (!ahead_.empty() || aheadDecoding_.valid() || !decode) return;
    for (const Registered& entry : strips_) {
        if (entry.image < 0 || entry.strip->frameCount != 1) continue;
        if (std::find(strips.begin(), strips.end(), entry.strip.get()) == strips.end()) continue;
        const Image& image = *images_[static_cast<size_t>(entry.image)];
        const bool listed = std::any_of(ahead_.begin(), ahead_.end(),
                                        [&](const Ahead& ahead) { return ahead.id == image.id; });
        if (!image.rendered && !listed) ahead_.push_back({image.id, nullptr});
    }
    if (ahead_.empty()) return;
    aheadDecode_ = std::move(decode);
    if (scale_) StartAhead(*scale_);
}

void ImageStore::StartAhead(double scale) {
    const int factor = FactorAt(scale);
    aheadFactor_ = factor;
    std::vector<std::pair<int, std::string>> wanted;
    for (const Ahead& ahead : ahead_) {
        const Image* image = FindImage(ahead.id);
        wanted.emplace_back(ahead.id, image != nullptr ? image->name : std::string());
    }
    // The thread owns copies of all it reads.
    aheadDecoding_ =
        std::async(std::launch::async, [wanted, factor, decode = std::move(aheadDecode_)] {
            std::vector<std::unique_ptr<raster::MemBitmap>> decoded;
            for (const auto& [id, name] : wanted) {
                auto pixels = std::make_unique<raster::MemBitmap>();
                if (!decode(id, name, factor, *pixels) || !pixels->HasPixels()) pixels.reset();
                decoded.push_back(std::move(pixels));
            }
            return decoded;
        });
    aheadDecode_ = nullptr;
}

std::unique_ptr<raster::MemBitmap> ImageStore::TakeAhead(int id, int factor) {
    const auto found = std::find_if(ahead_.begin(), ahead_.end(),
                                    [&](const Ahead& ahead) { return ahead.id == id; });
    if (found == ahead_.end() || factor != aheadFactor_) return nullptr;
    if (aheadDecoding_.valid()) {
        std::vector<std::unique_ptr<raster::MemBitmap>> decoded = aheadDecoding_.get();
        for (size_t i = 0; i < decoded.size() && i < ahead_.size(); ++i)
            ahead_[i].pixels = std::move(decoded[i]);
    }
    std::unique_ptr<raster::MemBitmap> pixels = std::move(found->pixels);
    ahead_.erase(found);
    return pixels;
}

void ImageStore::DropAhead() {
    if (aheadDecoding_.valid()) aheadDecoding_.get();
    ahead_.clear();
}

bool ImageStore::DecodeAsShown(Image& image, Size target, raster::RowSpan rows) {
    // An image stored as strips are shown is drawn as decoded at its set's zoom.
    const int factor = SetFactor(image);
    const Size stored = Shown(image.size, factor, image.frameCount, image.framesHorizontal);
    if (!image.scale || stored.width != target.width || stored.height != target.height ||
        !decoder_.decode)
        return false;
    const bool same = image.rendered && image.shown->Width() == target.width &&
                      image.shown->Height() == target.height;
    if (!same && image.frameCount == 1) {
        std::unique_ptr<raster::MemBitmap> ahead = TakeAhead(image.id, factor);
        if (ahead != nullptr && ahead->Width() == target.width &&
            ahead->Height() == target.height) {
            image.shown = std::move(ahead);
            image.readyRows.clear();
            image.rendered = true;
            return true;
        }
    }
    std::unique_ptr<raster::MemBitmap> fresh;
    raster::MemBitmap* into = image.shown.get();
    if (!same) {
        fresh = std::make_unique<raster::MemBitmap>();
        // A strip's frames are decoded as they are drawn.
        if (image.frameCount >= 2) fresh->WriteInParts();
        into = fresh.get();
    }
    const std::optional<raster::RowSpan> decoded =
        decoder_.decode(image.id, image.name, factor, rows, *into);
    // Not of the size measured (stored at its drawn size): resampled instead.
    if (!decoded || into->Width() != target.width || into->Height() != target.height) return false;
    if (fresh != nullptr) {
        image.shown = std::move(fresh);
        image.readyRows.assign(static_cast<size_t>(target.height), false);
        image.rendered = true;
    }
    if (image.readyRows.empty()) return true;
    const int end = std::min(decoded->end, target.height);
    for (int row = std::max(decoded->first, 0); row < end; ++row)
        image.readyRows[static_cast<size_t>(row)] = true;
    return true;
}

std::unique_ptr<raster::MemBitmap> ImageStore::Resampled(const Image& image, Size target) {
    if (!decoder_.decode) return nullptr;
    int factor = SetFactor(image);
    std::unique_ptr<raster::MemBitmap> decoded = TakeAhead(image.id, factor);
    const raster::RowSpan all{0, raster::kAllRows};
    if (decoded == nullptr) {
        decoded = std::make_unique<raster::MemBitmap>();
        if (!decoder_.decode(image.id, image.name, factor, all, *decoded)) decoded->Resize(0, 0);
    }
    // An image without a large set scales up from the one it has.
    if (!decoded->HasPixels() && factor > 1) {
        factor = 1;
        if (!decoder_.decode(image.id, image.name, factor, all, *decoded)) return nullptr;
    }
    if (!decoded->HasPixels()) return nullptr;
    const auto same = [](const raster::MemBitmap& bitmap, Size size) {
        return bitmap.Width() == size.width && bitmap.Height() == size.height;
    };
    // Stored at its drawn size, or as shown: anything else is not the image measured.
    const Size drawn{image.size.width * factor, image.size.height * factor};
    if (!same(*decoded, drawn) &&
        !same(*decoded, Shown(image.size, factor, image.frameCount, image.framesHorizontal)))
        return nullptr;
    if (same(*decoded, target)) return decoded;
    auto shown = std::make_unique<raster::MemBitmap>(target.width, target.height);
    if (!shown->HasPixels()) return nullptr;
    ResampleStrip(*decoded, image.frameCount, image.framesHorizontal, *shown);
    return shown;
}
