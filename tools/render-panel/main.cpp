// Draws the editor's front panel, as the program builds it, to a PNG for a person to look at:
//   render-panel [out.png] [effect type 0..3] [equalizer view: knobs | graph]
// or the pictures of the user guide, each a named PNG in the folder, at a zoom for print (the
// panel's pixels per panel unit, 1 to 2):
//   render-panel --guide FOLDER [ZOOM]
#include <QApplication>
#include <QImage>
#include <QProcess>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "editor/OrvoEditor.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
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
constexpr Rect kWholePanel{0, 0, Graphics::kDefaultWidth, Graphics::kDefaultHeight};
constexpr Rect kEffectArea{508, 534, 1014, 722};
constexpr GuidePicture kGuidePictures[] = {
    {"panel.png", 1, false, kWholePanel},
    {"effect-chorus.png", 1, false, kEffectArea},
    {"effect-overdrive.png", 2, false, kEffectArea},
    {"effect-equalizer-graph.png", 3, false, kEffectArea},
    {"effect-equalizer-faders.png", 3, true, kEffectArea},
    {"program.png", 1, false, {0, 0, 272, 73}},  // above the VCO 1 frame
    {"copy.png", 1, false, {8, 704, 262, 800}},
    {"sections.png", 1, false, {760, 720, 1016, 800}},
};

// The panel as a new editor shows it with this effect, drawn whole at the zoom.
QImage RenderPanel(int effectType, bool knobs, double zoom = 1.0) {
    uint16_t channel = 1;
    std::unique_ptr<OrvoEditor> editor(MakePlugin(nullptr, &channel));
    if (!editor) return {};
    // Zoomed first: the effect's controls are then shown and hidden at the zoom they are drawn at.
    if (zoom != 1.0 && editor->Resize() != nullptr) {
        editor->Resize()->SetScale(zoom);
        editor->Resize()->ApplyChange();
    }
    editor->SetParameterValue(kParamPgEq, 0);
    if (knobs) editor->SetParameterValue(kParamParametricEqView, 1);
    editor->SetParameterValue(ParamIndexOfPosition(kEffectTypePosition), effectType);
    editor->RedrawParamControls();

    auto* graphics = static_cast<Graphics*>(editor->Gui());
    graphics->RenderAllStrips(zoom);
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

// One picture of the guide. The panels' layout store is the process's, so each picture is drawn
// by a process of its own.
int RenderGuidePicture(const std::string& folder, double zoom, size_t index) {
    if (index >= std::size(kGuidePictures)) return 2;
    const GuidePicture& picture = kGuidePictures[index];
    const QImage panel = RenderPanel(picture.effectType, picture.knobs, zoom);
    const Rect& area = picture.area;
    const QImage cut =
        panel.copy(static_cast<int>(area.L * zoom), static_cast<int>(area.T * zoom),
                   static_cast<int>(area.Width() * zoom), static_cast<int>(area.Height() * zoom));
    return Save(cut, folder + "/" + picture.file) ? 0 : 1;
}

int RenderGuide(const std::string& folder, const char* zoom) {
    for (size_t index = 0; index < std::size(kGuidePictures); ++index) {
        const int code = QProcess::execute(
            QCoreApplication::applicationFilePath(),
            {"--guide-picture", QString::fromStdString(folder), zoom, QString::number(index)});
        if (code != 0) return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform platform;
    if ((argc == 3 || argc == 4) && std::strcmp(argv[1], "--guide") == 0) {
        const double zoom = argc == 4 ? std::atof(argv[3]) : 1.0;
        if (zoom < 1.0 || zoom > 2.0) {
            std::fprintf(stderr, "render-panel: the guide's zoom is 1 to 2\n");
            return 2;
        }
        return RenderGuide(argv[2], argc == 4 ? argv[3] : "1");
    }
    if (argc == 5 && std::strcmp(argv[1], "--guide-picture") == 0) {
        return RenderGuidePicture(argv[2], std::atof(argv[3]), std::strtoul(argv[4], nullptr, 10));
    }

    const char* out = argc > 1 ? argv[1] : "panel.png";
    const int effectType = argc > 2 ? std::atoi(argv[2]) : 0;
    const bool knobs = argc > 3 && std::strcmp(argv[3], "knobs") == 0;
    return Save(RenderPanel(effectType, knobs), out) ? 0 : 1;
}
