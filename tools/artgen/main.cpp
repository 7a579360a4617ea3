// Draws the panel's images into resources/img/ (or the folder given as the first argument), each
// at the panel's size and at resources::kLargeImageFactor times it, strips of frames as the panel
// shows them at those zooms.
// With --preview FILE it also writes a screenshot-size picture of the panel with a sample of
// every strip set into it, to look at the artwork as a whole. With --icons DIR it writes the
// program's desktop icon at the theme's sizes (icon-N.png) and as icon.svg into DIR.

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Icon.h"
#include "PngWriter.h"
#include "Preview.h"
#include "Strips.h"
#include "gui/ImageStrip.h"
#include "gui/StripResampler.h"
#include "platform/qt/QtTextRenderer.h"
#include "resources/ResourceTable.h"

namespace {

// The image as the panel shows it at factor times its size: a strip of N frames N pixels
// taller, each frame fitted to its place by the panel's own resampler, so that the panel draws
// the file at that zoom as it is.
std::unique_ptr<raster::MemBitmap> Shown(const resources::ImageResource& image,
                                         std::unique_ptr<raster::MemBitmap> drawn) {
    if (drawn == nullptr || image.frames < 2) return drawn;
    auto shown = std::make_unique<raster::MemBitmap>(drawn->Width(),
                                                     ShownLength(drawn->Height(), image.frames));
    if (!shown->HasPixels()) return nullptr;
    ResampleStrip(*drawn, image.frames, false, *shown);
    return shown;
}

// Where the frames of a strip begin after the first: the file's data starts afresh there, so
// that the panel decodes only the frames it shows.
std::vector<int> FrameStarts(const resources::ImageResource& image, int height) {
    std::vector<int> starts;
    for (int frame = 1; frame < image.frames; ++frame)
        starts.push_back(FrameOffset(height, image.frames, frame));
    return starts;
}

// Draws image at factor times the panel's size into folder, under the file name of name.
bool DrawSet(const resources::ImageResource& image, int factor, const std::string& name,
             const std::string& folder) {
    std::unique_ptr<artgen::Canvas> canvas = artgen::DrawImage(image, factor);
    const std::string path = folder + "/" + name.substr(name.find_last_of('/') + 1);
    const std::unique_ptr<raster::MemBitmap> shown =
        canvas == nullptr ? nullptr : Shown(image, canvas->ToBitmap());
    if (shown == nullptr ||
        !artgen::WritePng(*shown, path, image.opaque, FrameStarts(image, shown->Height()))) {
        std::fprintf(stderr, "artgen: could not write %s\n", path.c_str());
        return false;
    }
    std::printf("%d %s\n", image.id, path.c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // Text needs a Qt application, though nothing is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QtTextRenderer renderer;
    artgen::Canvas::SetTextRenderer(&renderer);
    raster::SetTextRenderer(&renderer);

    std::string folder = "resources/img";
    std::string preview;
    std::string only;
    std::string icons;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
        } else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc) {
            icons = argv[++i];
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            folder = argv[i];
        }
    }
    int failures = 0;
    for (const resources::ImageResource& image : resources::kImageResources) {
        if (!only.empty() && std::to_string(image.id) != only) continue;
        failures += !DrawSet(image, 1, image.name, folder);
        failures += !DrawSet(image, resources::kLargeImageFactor, image.largeName, folder);
    }
    if (!icons.empty() && !artgen::WriteIcons(icons)) ++failures;
    if (!preview.empty() && !artgen::WritePreview(folder, preview)) {
        std::fprintf(stderr, "artgen: could not write the preview %s\n", preview.c_str());
        ++failures;
    }
    artgen::Canvas::SetTextRenderer(nullptr);
    raster::SetTextRenderer(nullptr);
    return failures == 0 ? 0 : 1;
}
