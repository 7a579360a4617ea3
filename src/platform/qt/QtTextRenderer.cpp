#include "platform/qt/QtTextRenderer.h"

#include <algorithm>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "raster/Pixel.h"

namespace {

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

}  // namespace

QFont QtTextRenderer::MakeQFont(const raster::NativeFont& font) {
    QFont qfont(QString::fromStdString(font.face));
    // The panel's sizes are cell heights in pixels, as on the unit's own editor.
    qfont.setPixelSize(font.height > 0 ? font.height : 12);
    qfont.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
    qfont.setItalic(font.italic);
    switch (font.quality) {
        case raster::kQualityNonAntialiased:
            qfont.setStyleStrategy(QFont::NoAntialias);
            break;
        case raster::kQualityClearType:
            qfont.setStyleStrategy(QFont::PreferAntialias);
            break;
        default:
            // Grey antialiasing: the text lands in the panel's bitmap, which is scaled and
            // blended before it reaches the screen, so coloured subpixel edges would fringe.
            qfont.setStyleStrategy(
                QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
            break;
    }
    return qfont;
}

raster::TextExtent QtTextRenderer::MeasureText(const raster::NativeFont& font,
                                               std::u16string_view text) {
    const QFontMetrics metrics(MakeQFont(font));
    return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

void QtTextRenderer::RenderText(const raster::NativeFont& font, std::u16string_view text,
                                uint32_t colour, raster::Bitmap& target, int x, int y) {
    if (!target.HasPixels()) return;
    QImage image(reinterpret_cast<uchar*>(target.Pixels()), target.Width(), target.Height(),
                 static_cast<qsizetype>(target.Span()) * 4, QImage::Format_ARGB32);
    QPainter painter(&image);
    const QFont qfont = MakeQFont(font);
    painter.setFont(qfont);
    painter.setPen(QColor(raster::PixelRed(colour), raster::PixelGreen(colour),
                          raster::PixelBlue(colour)));
    const QFontMetrics metrics(qfont);
    painter.drawText(x, y + metrics.ascent(), ToQString(text));
}

bool QtTextRenderer::RasterizeGlyph(const raster::NativeFont& font, char32_t character,
                                    raster::GlyphMask& mask) {
    const QFont qfont = MakeQFont(font);
    const QFontMetrics metrics(qfont);
    const QString glyph = QString::fromUcs4(&character, 1);
    const int advance = metrics.horizontalAdvance(glyph);
    const QRect bounds = metrics.boundingRect(glyph);
    // The cell spans the whole line height so glyphs line up; it is widened to hold overhangs.
    const int left = std::min(0, bounds.left());
    const int right = std::max(advance, bounds.right() + 1);
    const int width = right - left;
    const int height = metrics.height();
    if (width <= 0 || height <= 0) {
        mask = raster::GlyphMask{0, 0, 0, advance, {}};
        return true;
    }
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(qfont);
        painter.setPen(Qt::white);
        painter.drawText(-left, metrics.ascent(), glyph);
    }
    mask.width = width;
    mask.height = height;
    mask.left = left;
    mask.advance = advance;
    mask.coverage.resize(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(row));
        for (int col = 0; col < width; ++col) {
            mask.coverage[static_cast<size_t>(row) * width + col] =
                static_cast<uint8_t>(raster::PixelAlpha(line[col]));
        }
    }
    return true;
}
