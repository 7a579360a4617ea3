#include "platform/qt/QtTextRenderer.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "raster/Pixel.h"

namespace {

QString ToQString(std::u16string_view text) {
    return QString(reinterpret_cast<const QChar*>(text.data()),
                   static_cast<qsizetype>(text.size()));
}

constexpr int kDefaultCellHeight = 12;

// The largest pixel size (Qt's em) whose line is at most cellHeight tall. Every size asked for
// is searched once per face and style; text is measured and drawn many times a second.
int PixelSizeForCellHeight(const QFont& font, int cellHeight) {
    using Key = std::tuple<QString, int, bool, int>;
    static std::mutex lock;
    static std::map<Key, int> found;
    const Key key{font.family(), font.weight(), font.italic(), cellHeight};
    std::lock_guard<std::mutex> hold(lock);
    if (auto known = found.find(key); known != found.end()) return known->second;
    QFont probe = font;
    // A line is a little taller than the em in every face, so the search starts at the cell.
    int size = cellHeight;
    for (; size > 1; --size) {
        probe.setPixelSize(size);
        if (QFontMetrics(probe).height() <= cellHeight) break;
    }
    found.emplace(key, size);
    return size;
}

}  // namespace

QFont QtTextRenderer::MakeQFont(const raster::NativeFont& font) {
    QFont qfont(QString::fromStdString(font.face));
    qfont.setWeight(font.weight >= 600 ? QFont::Bold : QFont::Normal);
    qfont.setItalic(font.italic);
    // As with GDI, a positive height is the cell (ascent plus descent) and a negative one the
    // em; the panel's text styles give cells, so "Verdana 12" is a line 12 pixels tall.
    if (font.height < 0) {
        qfont.setPixelSize(-font.height);
    } else {
        const int cell = font.height > 0 ? font.height : kDefaultCellHeight;
        qfont.setPixelSize(PixelSizeForCellHeight(qfont, cell));
    }
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
    painter.setPen(
        QColor(raster::PixelRed(colour), raster::PixelGreen(colour), raster::PixelBlue(colour)));
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
