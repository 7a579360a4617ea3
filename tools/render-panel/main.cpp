// Draws the editor's front panel, as the program builds it, to a PNG for a person to look at:
//   render-panel [out.png] [effect type 0..3] [equalizer view: knobs | graph]
// or the pictures of the user guide, each a named PNG in the folder:
//   render-panel --guide FOLDER
#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "editor/OrvoEditor.h"
#include "gui/Graphics.h"
#include "library/MakePlugin.h"
#include "platform/qt/QtPlatform.h"

namespace {

// The user guide's pictures: the panel with an effect, cut to an area of the 1024 x 800 panel.
struct GuidePicture {
    const char* file;
    int effectType;
    bool knobs;
    Rect area;
};
constexpr Rect kWholePanel{0, 0, 1024, 800};
constexpr Rect kEffectArea{508, 534, 1014, 722};
constexpr GuidePicture kGuidePictures[] = {
    {"panel.png", 1, false, kWholePanel},
    {"effect-chorus.png", 1, false, kEffectArea},
    {"effect-overdrive.png", 2, false, kEffectArea},
    {"effect-equalizer-graph.png", 3, false, kEffectArea},
    {"effect-equalizer-faders.png", 3, true, kEffectArea},
    {"program.png", 1, false, {0, 0, 272, 84}},
    {"copy.png", 1, false, {8, 704, 262, 800}},
    {"sections.png", 1, false, {760, 720, 1016, 800}},
};

// The panel as a new editor shows it with this effect, drawn whole.
QImage RenderPanel(int effectType, bool knobs) {
    uint16_t channel = 1;
    std::unique_ptr<OrvoEditor> editor(MakePlugin(nullptr, &channel));
    if (!editor) return {};
    editor->SetParameterValue(kParamPgEq, 0);
    if (knobs) editor->SetParameterValue(kParamParametricEqView, 1);
    editor->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), effectType);
    editor->RedrawParamControls();

    auto* graphics = static_cast<Graphics*>(editor->Gui());
    graphics->RenderAllStrips(1.0);
    graphics->MarkAllDirty();
    Rect dirty;
    if (graphics->CollectDirty(dirty)) graphics->DrawDirty(dirty);
    raster::SysBitmap* bitmap = graphics->DrawBitmap();
    const QImage image(reinterpret_cast<const uchar*>(bitmap->Pixels()), bitmap->Width(),
                       bitmap->Height(), bitmap->Span() * 4, QImage::Format_ARGB32);
    // The panel is opaque on screen whatever alpha its pixels hold.
    return image.convertToFormat(QImage::Format_RGB32);
}

bool Save(const QImage& image, const std::string& path) {
    if (image.isNull() || !image.save(QString::fromStdString(path), "PNG")) {
        std::fprintf(stderr, "render-panel: cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s: %d x %d\n", path.c_str(), image.width(), image.height());
    return true;
}

int RenderGuide(const std::string& folder) {
    for (const GuidePicture& picture : kGuidePictures) {
        const QImage panel = RenderPanel(picture.effectType, picture.knobs);
        const QImage cut =
            panel.copy(picture.area.L, picture.area.T, picture.area.Width(), picture.area.Height());
        if (!Save(cut, folder + "/" + picture.file)) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform platform;
    if (argc == 3 && std::strcmp(argv[1], "--guide") == 0) return RenderGuide(argv[2]);

    const char* out = argc > 1 ? argv[1] : "panel.png";
    const int effectType = argc > 2 ? std::atoi(argv[2]) : 0;
    const bool knobs = argc > 3 && std::strcmp(argv[3], "knobs") == 0;
    return Save(RenderPanel(effectType, knobs), out) ? 0 : 1;
}
