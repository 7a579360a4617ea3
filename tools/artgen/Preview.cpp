#include "Preview.h"

#include <cstdio>
#include <map>
#include <memory>

#include "PngWriter.h"
#include "editor/PanelPlaces.h"
#include "gui/ImageStrip.h"
#include "raster/CachedFont.h"
#include "raster/Draw.h"
#include "raster/PngImage.h"
#include "resources/ResourceTable.h"

namespace artgen {

namespace {

using Image = std::unique_ptr<raster::MemBitmap>;

class Sheet {
public:
    explicit Sheet(const std::string& folder) {
        for (const resources::ImageResource& image : resources::kImageResources) {
            const std::string name = image.name;
            Image loaded =
                raster::LoadPngFile(folder + "/" + name.substr(name.find_last_of('/') + 1));
            if (loaded != nullptr) {
                images_[image.id] = std::move(loaded);
                frames_[image.id] = image.frames;
            }
        }
    }

    bool Has(int id) const { return images_.count(id) != 0; }

    // Frame f (1-based) of image id with its top-left at (x, y).
    void Frame(raster::Bitmap& dest, int id, int frame, int x, int y) const {
        auto found = images_.find(id);
        if (found == images_.end()) return;
        const raster::MemBitmap& image = *found->second;
        const int frames = frames_.at(id);
        const int top = FrameOffset(image.Height(), frames, frame - 1);
        const int bottom = FrameOffset(image.Height(), frames, frame);
        const raster::PixelRect part{0, top, image.Width(), bottom};
        raster::Blit(&dest, &image, x, y, &part, 1.0f, raster::kModeAlphaCopy);
    }
    int Frames(int id) const { return frames_.count(id) ? frames_.at(id) : 1; }
    const raster::MemBitmap* Get(int id) const { return Has(id) ? images_.at(id).get() : nullptr; }

private:
    std::map<int, Image> images_;
    std::map<int, int> frames_;
};

void Text(raster::Bitmap& dest, raster::CachedFont& font, const char* text, const Rect& rect) {
    raster::PixelRect box{rect.L, rect.T, rect.R, rect.B};
    font.DrawText(&dest, text, -1, &box, raster::kTextCentre | raster::kTextNoClip);
}

void DrawPanel(const Sheet& sheet, raster::MemBitmap& panel) {
    sheet.Frame(panel, resources::kImageBackground, 1, 0, 0);
    sheet.Frame(panel, resources::kImageWriteAll, 2, 56, 64);
    sheet.Frame(panel, resources::kImageEffectBypass, 1, 514, 563);
    raster::CachedFont valueFont;
    raster::NativeFont native;
    native.face = "Verdana";
    native.height = 12;
    native.weight = 700;
    valueFont.BindNativeFont(native, raster::kFontOwnsNative | raster::kFontRenderNative);
    valueFont.SetTextColor(0xFFFF0000);
    Text(panel, valueFont, "Fat Bass 01", Rect{104, 22, 264, 38});
    valueFont.SetTextColor(0xFFFFFFFF);
    sheet.Frame(panel, resources::kImageSevenSegment, 13, 160, 42);
    for (int position = 0; position < 92; ++position) {
        const PositionPlace& place = *PositionPlaceAt(position);
        if (place.kind == kPlaceNone) continue;
        const int frames = sheet.Frames(place.imageId);
        // Spread the sample values so every control shows a different frame.
        const int frame = 1 + (position * 37 + 11) % frames;
        sheet.Frame(panel, place.imageId, frame, place.topLeft.x, place.topLeft.y);
        char value[16];
        std::snprintf(value, sizeof value, "%d", (frame - 1) * 127 / std::max(1, frames - 1));
        Text(panel, valueFont, value, place.valueText);
    }
    for (int i = 0; i < 5; ++i)
        sheet.Frame(panel, resources::kImageKeyboardBackground, 1, 264 + 98 * i, 728);
    sheet.Frame(panel, resources::kImageKeys, 5, 264 + 98 * 2, 728);
    sheet.Frame(panel, resources::kImageKeys, 8, 264 + 98 * 2, 728);
    sheet.Frame(panel, resources::kImageKeys, 2, 264 + 98 * 4, 728);
    sheet.Frame(panel, resources::kImageCopy, 1, 186, 730);
    sheet.Frame(panel, resources::kImageDefault, 1, 769, 730);
    sheet.Frame(panel, resources::kImageRandom, 2, 769, 749);
    sheet.Frame(panel, resources::kImageReset, 1, 769, 768);
    sheet.Frame(panel, resources::kImageSelectAll, 1, 958, 730);
    sheet.Frame(panel, resources::kImageClearAll, 2, 958, 758);
    const int rows[4] = {731, 744, 757, 770};
    const int columns[4] = {28, 132, 832, 880};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r)
            sheet.Frame(panel, resources::kImageCheckBox, (c + r) % 2 + 1, columns[c], rows[r]);
    }
    sheet.Frame(panel, resources::kImageInvisibleButton, 2, 238, 49);
    sheet.Frame(panel, resources::kImageFileOpen, 1, 56, 32);
}

}  // namespace

bool WritePreview(const std::string& folder, const std::string& path) {
    const Sheet sheet(folder);
    if (!sheet.Has(resources::kImageBackground)) return false;
    raster::MemBitmap panel(1024, 800);
    DrawPanel(sheet, panel);
    if (!WritePng(panel, path, true)) return false;

    // The other effect backgrounds, the equalizer's title and the about overlay.
    raster::MemBitmap others(1024, 640);
    raster::FillRect(&others, 0, 0, 1024, 640, 0xFF000000, 1.0f, raster::kModeCopy);
    const resources::ImageId effects[5] = {
        resources::kImageEffectBypass, resources::kImageEffectChorus, resources::kImageEffectDrive,
        resources::kImageEffectEqKnobs, resources::kImageEffectEqGraph};
    for (int i = 0; i < 5; ++i)
        sheet.Frame(others, effects[i], 1, (i % 2) * 512 + 8, (i / 2) * 164 + 4);
    sheet.Frame(others, resources::kImageBlendTitle, 1, 520 + 180, 2 * 164 + 60);
    if (const raster::MemBitmap* about = sheet.Get(resources::kImageAbout)) {
        raster::Blit(&others, about, 520, 2 * 164 + 80, nullptr, 1.0f, raster::kModeAlphaCopy);
    }
    std::string sheetPath = path;
    const size_t dot = sheetPath.rfind(".png");
    sheetPath.insert(dot == std::string::npos ? sheetPath.size() : dot, "-sheet");
    return WritePng(others, sheetPath, true);
}

}  // namespace artgen
