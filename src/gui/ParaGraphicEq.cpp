#include "gui/ParaGraphicEq.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gui/ClipCanvas.h"
#include "gui/Graphics.h"
#include "raster/BlendMode.h"

namespace {

constexpr ColorARGB kHandleRim{255, 0, 0, 0};
constexpr float kRimScale = 1.4f;
// The curve's two faint companions, one pixel above and below, darker and at a fifth weight.
constexpr int kShadeDarken = 50;
constexpr float kShadeWeight = 0.2f;
// The grid leaves room for its labels at the bottom and the right.
constexpr int kFrequencyLabelRoom = 9;
constexpr int kGainLabelRoom = 16;
// The curve stops this many columns short of the right edge, under the gain labels.
constexpr int kCurveRightMargin = 17;
constexpr int kValueLineHeight = 12;
// The labels' sizes at 100 %; the grid's are never drawn smaller than the smallest legible one.
constexpr int kGridLabelSize = 9;
constexpr int kValueLabelSize = 12;
constexpr int kSmallestGridLabelSize = 7;
// A grid label's box at 100 %: half its width and its height; the text reaches out of it.
constexpr int kLabelHalfWidth = 4;
constexpr int kLabelHeight = 8;
constexpr int kGainLabelWidth = 8;
constexpr double kLowestDragFrequency = 10.0;

uint32_t Shaded(const ColorARGB& colour) {
    ColorARGB shade = colour;
    shade.R = std::max(0, colour.R - kShadeDarken);
    shade.G = std::max(0, colour.G - kShadeDarken);
    shade.B = std::max(0, colour.B - kShadeDarken);
    return shade.Packed();
}

TextStyle LabelStyle(int size, const ColorARGB& colour, int align) {
    TextStyle style;
    style.face = "Verdana";
    style.size = size;
    style.style = kTextBold;
    style.color = colour;
    style.align = align;
    return style;
}

// Grid labels closer than this, side by side, read as one.
constexpr int kLabelGap = 2;

bool Touch(const Rect& a, const Rect& b) {
    return a.L < b.R + kLabelGap && b.L < a.R + kLabelGap && a.T < b.B && b.T < a.B;
}

// Keeps every stride-th label, counted from the middle one, with the smallest stride at which
// no two kept labels touch.
void ThinOut(std::vector<ParaGraphicEq::GridLabel>& labels) {
    const int count = static_cast<int>(labels.size());
    const int middle = count / 2;
    auto kept = [middle](int index, int stride) { return (index - middle) % stride == 0; };
    int stride = 1;
    for (; stride < count; ++stride) {
        bool clear = true;
        for (int a = 0; a < count && clear; ++a) {
            for (int b = a + 1; b < count && clear; ++b) {
                if (kept(a, stride) && kept(b, stride) &&
                    Touch(labels[static_cast<size_t>(a)].extent,
                          labels[static_cast<size_t>(b)].extent)) {
                    clear = false;
                }
            }
        }
        if (clear) break;
    }
    std::vector<ParaGraphicEq::GridLabel> shown;
    for (int i = 0; i < count; ++i) {
        if (kept(i, stride)) shown.push_back(std::move(labels[static_cast<size_t>(i)]));
    }
    labels = std::move(shown);
}

float LimitedTo(float value, float low, float high) {
    // Low first and high last, so a record with crossed limits still ends within range.
    return std::min(std::max(value, low), high);
}

}  // namespace

ParaGraphicEq::ParaGraphicEq(PluginBase* core, const Rect& rect, int paramIndex,
                             const EqSettings& settings)
    : Control(core, rect, paramIndex),
      settings_(settings.Validated()),
      scale_(settings_),
      bands_(static_cast<size_t>(settings_.bandCount)),
      frequencyGrid_(EqScale::ParseGridList(settings_.frequencyGrid)),
      gainGrid_(EqScale::ParseGridList(settings_.gainGrid)),
      frequencyLabelStyle_(LabelStyle(kGridLabelSize, settings_.gridColour, kAlignCentre)),
      gainLabelStyle_(LabelStyle(kGridLabelSize, settings_.gridColour, kAlignFar)),
      valueLabelStyle_(LabelStyle(kValueLabelSize, settings_.handleColour, kAlignFar)) {
    if (frequencyGrid_.size() > EqScale::kMaxFrequencyGridLines) {
        frequencyGrid_.resize(EqScale::kMaxFrequencyGridLines);
    }
    for (EqBand& band : bands_)
        band.Place(scale_);
    curve_.reserve(EqBand::kMaxColumns);
}

void ParaGraphicEq::SetBand(const EqBandRecord& record) {
    if (record.band < 0 || record.band >= BandCount()) return;
    {
        std::lock_guard<std::mutex> hold(bandsLock_);
        bands_[static_cast<size_t>(record.band)].Set(record, scale_);
    }
    MarkDirty(false);
}

EqBandRecord ParaGraphicEq::BandRecord(int index) const {
    if (index < 0 || index >= BandCount()) return {};
    std::lock_guard<std::mutex> hold(bandsLock_);
    EqBandRecord record = Band(index).Record();
    record.band = index;
    return record;
}

int ParaGraphicEq::HandleX(int band) const {
    return TruncateColumn(drawRect_.Width() * Band(band).Position());
}

int ParaGraphicEq::HandleY(int band) const {
    return TruncateColumn(scale_.GainY(Band(band).Gain(), drawRect_.Height()));
}

double ParaGraphicEq::BandValue(int band) const {
    return BandCount() > 1 ? static_cast<double>(band) / (BandCount() - 1) : 0.0;
}

void ParaGraphicEq::UpdateCurve() {
    std::lock_guard<std::mutex> hold(bandsLock_);
    SumResponses();
}

std::vector<float> ParaGraphicEq::CurveNow() {
    std::lock_guard<std::mutex> hold(bandsLock_);
    SumResponses();
    return curve_;
}

void ParaGraphicEq::SumResponses() {
    const int width = drawRect_.Width();
    const int height = drawRect_.Height();
    if (width != drawnWidth_ || height != drawnHeight_) {
        for (EqBand& band : bands_)
            band.MarkCurveDirty();
        drawnWidth_ = width;
        drawnHeight_ = height;
    }
    const int columns = std::clamp(width, 0, EqBand::kMaxColumns);
    curve_.assign(static_cast<size_t>(columns), 0.0f);
    for (EqBand& band : bands_) {
        if (band.CurveDirty()) band.ComputeResponse(scale_, width, height);
        const float* response = band.Response();
        for (int i = 0; i < columns; ++i)
            curve_[static_cast<size_t>(i)] += response[i];
    }
}

bool ParaGraphicEq::Draw(Graphics& graphics) {
    if (drawRect_.Width() <= 0 || drawRect_.Height() <= 0) return true;
    std::lock_guard<std::mutex> hold(bandsLock_);
    SumResponses();
    ClipCanvas canvas(graphics.DrawBitmap(), graphics.DrawRect());
    if (!settings_.hideGrid) DrawGrid(graphics, canvas);
    DrawCurve(canvas);
    if (!settings_.hideHandles) {
        DrawHandles(canvas);
        if (!settings_.hideValueLabels) DrawValueLabels(graphics);
    }
    return true;
}

void ParaGraphicEq::DrawGrid(Graphics& graphics, ClipCanvas& canvas) {
    const int left = drawRect_.L, top = drawRect_.T;
    const int width = drawRect_.Width(), height = drawRect_.Height();
    const uint32_t colour = settings_.gridColour.Packed();
    for (int frequency : frequencyGrid_) {
        const int x = left + TruncateColumn(scale_.Position(frequency) * width);
        canvas.Line(static_cast<float>(x), static_cast<float>(top), static_cast<float>(x),
                    static_cast<float>(top + height - Zoomed(kFrequencyLabelRoom)), colour, 1.0f,
                    raster::kModeAlphaCopy, false);
    }
    for (int gain : gainGrid_) {
        const int y = top + TruncateColumn(scale_.GainY(gain, height));
        canvas.Line(static_cast<float>(left), static_cast<float>(y),
                    static_cast<float>(left + width - Zoomed(kGainLabelRoom)),
                    static_cast<float>(y), colour, 1.0f, raster::kModeAlphaCopy, false);
    }
    for (const GridLabel& label : GridLabels(graphics)) {
        TextStyle& style = label.gain ? gainLabelStyle_ : frequencyLabelStyle_;
        graphics.DrawText(style, label.text, label.place);
    }
}

const std::vector<ParaGraphicEq::GridLabel>& ParaGraphicEq::GridLabels(Graphics& graphics) {
    if (!gridLabels_.empty() && gridLabelsRect_ == drawRect_ &&
        gridLabelsSize_ == frequencyLabelStyle_.size)
        return gridLabels_;
    const int left = drawRect_.L, top = drawRect_.T;
    const int width = drawRect_.Width(), height = drawRect_.Height();
    auto labelled = [&](bool gain, std::string text, const Rect& place) {
        Rect extent = place;
        TextStyle& style = gain ? gainLabelStyle_ : frequencyLabelStyle_;
        if (!graphics.MeasureText(style, text, extent)) extent = place;
        return GridLabel{std::move(text), place, extent, gain};
    };
    const int halfWidth = Zoomed(kLabelHalfWidth);
    const int labelHeight = std::max(Zoomed(kLabelHeight), frequencyLabelStyle_.size - 1);
    const int gainWidth = Zoomed(kGainLabelWidth);
    std::vector<GridLabel> frequencies;
    for (int frequency : frequencyGrid_) {
        const int x = left + TruncateColumn(scale_.Position(frequency) * width);
        frequencies.push_back(
            labelled(false, EqScale::FrequencyGridLabel(frequency),
                     {x - halfWidth, top + height - labelHeight, x + halfWidth, top + height}));
    }
    std::vector<GridLabel> gains;
    for (int gain : gainGrid_) {
        const int y = top + TruncateColumn(scale_.GainY(gain, height));
        gains.push_back(labelled(true, EqScale::GainGridLabel(gain),
                                 {left + width - gainWidth, y - labelHeight / 2, left + width,
                                  y + labelHeight - labelHeight / 2}));
    }
    ThinOut(frequencies);
    ThinOut(gains);
    frequencies.insert(frequencies.end(), std::make_move_iterator(gains.begin()),
                       std::make_move_iterator(gains.end()));
    gridLabels_ = std::move(frequencies);
    gridLabelsRect_ = drawRect_;
    gridLabelsSize_ = frequencyLabelStyle_.size;
    return gridLabels_;
}

void ParaGraphicEq::DrawCurve(ClipCanvas& canvas) {
    const int columns = static_cast<int>(curve_.size());
    const int last = std::min(drawRect_.Width() - kCurveRightMargin, columns - 3);
    // 0 dB lies on a whole pixel row, the lower one of the two middle rows of an even height.
    const int centreRow = (drawRect_.T + drawRect_.B) / 2;
    const auto centre = static_cast<float>(centreRow);
    const auto top = static_cast<float>(drawRect_.T), bottom = static_cast<float>(drawRect_.B);
    const uint32_t main = settings_.curveColour.Packed();
    const uint32_t shade = Shaded(settings_.curveColour);
    // The companions stand a pixel off at 100 %, further at a larger zoom.
    const auto shadeOffset = static_cast<float>(std::max(1.0, zoom_));
    for (int i = 0; i <= last; ++i) {
        const float c = centre + curve_[static_cast<size_t>(i)];
        if (!(c > top && c < bottom)) continue;
        const auto x = static_cast<float>(drawRect_.L + i);
        const raster::PointF start{x, c};
        const raster::PointF control{x + 1.0f, centre + curve_[static_cast<size_t>(i) + 1]};
        const raster::PointF end{x + 2.0f, centre + curve_[static_cast<size_t>(i) + 2]};
        for (const float shift : {-shadeOffset, shadeOffset}) {
            canvas.QuadBezier({start.x, start.y + shift}, {control.x, control.y + shift},
                              {end.x, end.y + shift}, shade, kShadeWeight, raster::kModeAlphaCopy,
                              true);
        }
        canvas.QuadBezier(start, control, end, main, 1.0f, raster::kModeAlphaCopy, true);
    }
}

void ParaGraphicEq::DrawHandles(ClipCanvas& canvas) {
    const auto radius = static_cast<float>(settings_.handleRadius * zoom_);
    for (int b = 0; b < BandCount(); ++b) {
        const auto x = static_cast<float>(drawRect_.L + HandleX(b));
        const auto y = static_cast<float>(drawRect_.T + HandleY(b));
        canvas.Disc(x, y, kRimScale * radius, kHandleRim.Packed(), 1.0f, raster::kModeAlphaCopy);
        canvas.Disc(x, y, radius, settings_.handleColour.Packed(), 1.0f, raster::kModeAlphaCopy);
    }
}

void ParaGraphicEq::DrawValueLabels(Graphics& graphics) {
    for (int b = 0; b < BandCount(); ++b) {
        const EqBand& band = Band(b);
        if (!band.Selected()) continue;
        // The box as it stands at 100 %, zoomed with the display.
        auto at100 = [this](int length) { return static_cast<int>(length / zoom_); };
        auto zoomed = [this](int length) { return static_cast<int>(length * zoom_); };
        const Rect place =
            EqScale::LabelBox(at100(HandleX(b)), at100(HandleY(b)), at100(drawRect_.Width()));
        const Rect box{drawRect_.L + zoomed(place.L), drawRect_.T + zoomed(place.T),
                       drawRect_.L + zoomed(place.R), drawRect_.T + zoomed(place.B)};
        const int lineHeight = Zoomed(kValueLineHeight);
        const EqBandRecord& limits = band.Record();
        const std::string lines[] = {
            EqScale::FrequencyText(band.Frequency()),
            EqScale::GainText(band.Gain()),
            EqScale::WidthText(band.Type(), band.Width(), limits.widthLow, limits.widthHigh),
        };
        // " 2.00kHz" is wider than the box in the panel's font; the right-aligned lines reach
        // out to the left, and the background goes with them so that every digit stands on it.
        Rect background = box;
        for (const std::string& line : lines) {
            Rect extent = box;
            if (graphics.MeasureText(valueLabelStyle_, line, extent)) {
                background.L = std::min(background.L, extent.L);
            }
        }
        graphics.FillRect(settings_.labelBackground, background, nullptr);
        int lineTop = box.T;
        for (const std::string& line : lines) {
            graphics.DrawText(valueLabelStyle_, line,
                              {box.L, lineTop, box.R, lineTop + lineHeight});
            lineTop += lineHeight;
        }
    }
}

void ParaGraphicEq::ApplyScale(double factor) {
    if (!(factor > 0.0)) return;
    zoom_ = factor;
    frequencyLabelStyle_.size = std::max(kSmallestGridLabelSize, Zoomed(kGridLabelSize));
    gainLabelStyle_.size = frequencyLabelStyle_.size;
    valueLabelStyle_.size = Zoomed(kValueLabelSize);
    // Styles cache their font for the size they had.
    frequencyLabelStyle_.font = nullptr;
    gainLabelStyle_.font = nullptr;
    valueLabelStyle_.font = nullptr;
}

int ParaGraphicEq::Zoomed(double length) const {
    return std::max(1, static_cast<int>(length * zoom_));
}

void ParaGraphicEq::OnPress(int x, int y, const MouseKeys& keys) {
    (void)keys;
    const int localX = x - drawRect_.L;
    const int localY = y - drawRect_.T;
    {
        std::lock_guard<std::mutex> hold(bandsLock_);
        for (int b = 0; b < BandCount(); ++b) {
            if (std::abs(HandleX(b) - localX) >= kHandleCatch) continue;
            if (std::abs(HandleY(b) - localY) >= kHandleCatch) continue;
            bands_[static_cast<size_t>(b)].SetSelected(true);
            currentBand_ = b;
            value_ = BandValue(b);
            break;
        }
    }
    MarkDirty(false);
}

void ParaGraphicEq::DragWidth(EqBand& band, int dx, int dy) {
    const EqBandRecord& limits = band.Record();
    if (dx > 0 || dy < 0) {
        band.SetWidth(std::min(band.Width() + kWidthStep, limits.widthHigh));
    } else if (dx < 0 || dy > 0) {
        band.SetWidth(std::max(band.Width() - kWidthStep, limits.widthLow));
    }
}

void ParaGraphicEq::DragFrequencyAndGain(EqBand& band, int x, int y) {
    const EqBandRecord& limits = band.Record();
    const int width = drawRect_.Width(), height = drawRect_.Height();
    auto frequency = static_cast<float>(scale_.FrequencyAt(x - drawRect_.L, width));
    frequency = LimitedTo(frequency, limits.frequencyLow, limits.frequencyHigh);
    band.SetFrequency(std::max(frequency, static_cast<float>(kLowestDragFrequency)));
    band.Place(scale_);
    const auto gain = static_cast<float>(scale_.GainAt(y - drawRect_.T, height));
    band.SetGain(LimitedTo(gain, limits.gainLow, limits.gainHigh));
}

void ParaGraphicEq::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    bool changed = false;
    std::unique_lock<std::mutex> hold(bandsLock_);
    for (int b = 0; b < BandCount(); ++b) {
        EqBand& band = bands_[static_cast<size_t>(b)];
        if (!band.Selected()) continue;
        if (keys.R) DragWidth(band, dx, dy);
        if (keys.L) DragFrequencyAndGain(band, x, y);
        // The editor sets the band again from what it sends; until then the curve follows here.
        band.MarkCurveDirty();
        value_ = BandValue(b);
        changed = true;
    }
    // The push reaches the editor, which sets the band again: not under the bands' lock.
    hold.unlock();
    if (changed) MarkDirty(true);
}

void ParaGraphicEq::OnRelease(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    for (EqBand& band : bands_)
        band.SetSelected(false);
    MarkDirty(false);
}
