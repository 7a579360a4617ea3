// Renders the test panel, after a few mouse gestures, to a PNG for a person to look at:
//   render_test_panel [out.png] [scale]
#include <QApplication>
#include <QImage>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "QtPanelDriver.h"

int main(int argc, char** argv) {
    const char* out = argc > 1 ? argv[1] : "test-panel.png";
    const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
    if (scale < 0.5 || scale > 2.0) {
        std::fprintf(stderr, "scale must lie between 0.5 and 2.0\n");
        return 2;
    }
    auto test = QtTestPanel::Make<ArtworkGraphics<GraphicsQt>>();
    if (scale != 1.0) {
        test->panel->ApplyScale(scale);
        test->window->resize(test->graphics->Width(), test->graphics->Height());
        test->Settle();
    }
    QWidget* panel = test->Panel();
    auto at = [scale](int x, int y) {
        return QPoint(static_cast<int>(x * scale), static_cast<int>(y * scale));
    };
    // Raise a few oscillator sliders by different amounts, turn the portamento knob, switch
    // the portamento mode, hold a key.
    for (int i = 0; i < 6; ++i) {
        synth::Drag(panel, at(40 + 40 * i, 250), at(40 + 40 * i, 250 - 25 * (i + 1)));
    }
    synth::Drag(panel, at(640, 40), at(640, 8));
    synth::Press(panel, at(940, 40), Qt::LeftButton);
    synth::Release(panel, at(940, 40), Qt::LeftButton);
    synth::Press(panel, at(264 + 98 * 2 + 20, 728 + 60), Qt::LeftButton);
    test->Settle(6);

    raster::SysBitmap* bitmap = test->graphics->DrawBitmap();
    const QImage image(reinterpret_cast<const uchar*>(bitmap->Pixels()), bitmap->Width(),
                       bitmap->Height(), bitmap->Span() * 4, QImage::Format_ARGB32);
    if (!image.convertToFormat(QImage::Format_RGB32).save(out, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", out);
        return 1;
    }
    std::printf("%s: %d x %d, %s artwork\n", out, image.width(), image.height(),
                ArtworkBuiltIn() ? "built-in" : "stand-in");
    synth::Release(panel, at(264 + 98 * 2 + 20, 728 + 60), Qt::LeftButton);
    return 0;
}
