#include "gui/ImageStore.h"

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

void ImageStore::Prepare(const ImageStrip& strip, int rows) {
    for (const Registered& entry : strips_) {
        if (entry.strip.get() != &strip) continue;
        if (entry.image < 0) return;
        Image& image = *images_[static_cast<size_t>(entry.image)];
        if (!image.rendered || image.readyRows < rows) {
            const Size target = {strip.width, strip.height};
            // Decoded in part once; when that does not reach, whole.
            const int wanted = image.rendered ? raster::kAllRows : rows;
            int readyRows = 0;
            std::unique_ptr<raster::MemBitmap> rendering =
                Rendering(image, target, wanted, readyRows);
            // An image that cannot be decoded stays as it was.
            if (rendering == nullptr) return;
            image.shown = std::move(rendering);
            image.rendered = true;
            image.readyRows = readyRows;
            for (const Registered& other : strips_) {
                if (other.image == entry.image) other.strip->bitmap = image.shown.get();
            }
        }
        return;
    }
}

std::unique_ptr<raster::MemBitmap> ImageStore::Rendering(const Image& image, Size target, int rows,
                                                         int& readyRows) const {
    // As stored, or scaled down from the set at the panel's size, or up from the large set.
    const bool large = image.scale && *image.scale > 1.0 && decoder_.largeFactor > 1;
    int factor = large ? decoder_.largeFactor : 1;
    // An image stored as strips are shown is drawn as decoded at its set's zoom, and only then
    // can its decoding stop short of the last row.
    const auto shownAt = [&](int at) {
        return Shown(image.size, at, image.frameCount, image.framesHorizontal);
    };
    const auto same = [](const raster::MemBitmap& bitmap, Size size) {
        return bitmap.Width() == size.width && bitmap.Height() == size.height;
    };
    const bool asDecoded = image.scale && shownAt(factor).width == target.width &&
                           shownAt(factor).height == target.height;
    std::unique_ptr<raster::MemBitmap> decoded =
        decoder_.decode
            ? decoder_.decode(image.id, image.name, factor, asDecoded ? rows : raster::kAllRows)
            : nullptr;
    if (decoded == nullptr && large) {
        // An image without a large set scales up from the one it has.
        factor = 1;
        decoded = decoder_.decode(image.id, image.name, factor, raster::kAllRows);
    }
    if (decoded == nullptr || !decoded->HasPixels()) return nullptr;
    if (asDecoded && same(*decoded, target)) {
        readyRows = rows;
        return decoded;
    }
    // Stored at its drawn size (or the rows asked for were too few to resample from): whole.
    const Size drawn{image.size.width * factor, image.size.height * factor};
    if (!same(*decoded, drawn) && !same(*decoded, shownAt(factor))) return nullptr;
    if (asDecoded && rows != raster::kAllRows)
        decoded = decoder_.decode(image.id, image.name, factor, raster::kAllRows);
    // Not decodable, or not of the size measured: the image stays as it is.
    if (decoded == nullptr || !decoded->HasPixels() ||
        (!same(*decoded, drawn) && !same(*decoded, shownAt(factor))))
        return nullptr;
    readyRows = raster::kAllRows;
    if (same(*decoded, target)) return decoded;
    auto shown = std::make_unique<raster::MemBitmap>(target.width, target.height);
    if (!shown->HasPixels()) return nullptr;
    ResampleStrip(*decoded, image.frameCount, image.framesHorizontal, *shown);
    return shown;
}
