// Draws the editor's front panel, as the program builds it, to a PNG for a person to look at:
//   render-panel [out.png] [effect type 0..3] [equalizer view: knobs | graph]
#include <QApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "editor/OrvoEditor.h"
#include "gui/Graphics.h"
#include "library/MakePlugin.h"
#include "platform/qt/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const char* out = argc > 1 ? argv[1] : "panel.png";
    const int effectType = argc > 2 ? std::atoi(argv[2]) : 0;
    const bool knobs = argc > 3 && std::strcmp(argv[3], "knobs") == 0;

    QtPlatform platform;
    uint16_t channel = 1;
    std::unique_ptr<OrvoEditor> editor(MakePlugin(nullptr, &channel));
    if (!editor) return 1;
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
    if (!image.convertToFormat(QImage::Format_RGB32).save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("%s: %d x %d\n", out, image.width(), image.height());
    return 0;
}
