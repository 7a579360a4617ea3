#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "Strips.h"
#include "Style.h"
#include "editor/PanelLabels.h"
#include "editor/PanelPlaces.h"
#include "unit/UnitParameters.h"

namespace artgen {

using namespace style;

namespace {

// The captions over runs of an effect's controls that share a group: from the first to the last
// position's column. The chorus and the equalizer have them.
struct Group {
    int first;
    int last;
    const char* title;
};

std::vector<Group> EffectGroups(int first, int last) {
    std::vector<Group> groups;
    for (int position = first; position <= last; ++position) {
        const char* title = PanelLabelOf(position)->group;
        if (!groups.empty() && std::strcmp(groups.back().title, title) == 0) {
            groups.back().last = position;
        } else {
            groups.push_back({position, position, title});
        }
    }
    return groups;
}

// Section frames of the panel, in panel units.
struct Section {
    float left, top, right, bottom;
};

constexpr Section kOscillatorRows[4] = {
    {11, 74, 507, 178}, {11, 225, 507, 335}, {11, 382, 507, 492}, {11, 539, 507, 649}};

// A nameplate under columns: from the left edge of one column to the right of another.
struct Plate {
    float left, right, bottom;
    const char* title;
};

constexpr Plate kPlates[] = {
    {512, 714, 178, "VCF INPUT"}, {718, 1010, 178, "VCF MODULATION"},
    {512, 754, 335, "ENVELOPES"}, {758, 914, 335, "LFO"},
    {918, 1010, 335, "OUTPUT"},   {512, 846, 492, "HARMONICS  ·  DISTORTION"},
    {850, 1010, 492, "EFFECT"},
};

constexpr float kDividers[][3] = {  // x, top, bottom
    {716, 80, 176},
    {756, 231, 333},
    {916, 231, 333},
    {848, 388, 490}};

const PositionPlace& Place(int position) {
    return *PositionPlaceAt(position);
}

float ColumnCentre(int position) {
    const PositionPlace& place = Place(position);
    return (place.valueText.L + place.valueText.R) / 2.0f;
}

const char* PrintedLabel(int position) {
    const PanelLabel* label = PanelLabelOf(position);
    return label != nullptr && label->printedUnder ? label->text : nullptr;
}

// Where a label stands: under the value text for the fader rows, under the knob or switch for the
// performance row along the top.
float LabelTop(int position) {
    const PositionPlace& place = Place(position);
    if (place.valueText.T < place.topLeft.y) return 61;
    return place.valueText.B + 2.0f;
}

}  // namespace

void DrawFrame(Canvas& canvas, float left, float top, float right, float bottom) {
    const float l = Px(left), t = Px(top), r = Px(right), b = Px(bottom);
    canvas.FillSoft(RoundRect(l + 1, t + 3, r + 1, b + 4, 10), Solid(Colour::Hex(0x000000, 0.55f)),
                    8);
    canvas.Fill(RoundRect(l, t, r, b, 10), Solid(kFrameEdge));
    canvas.Fill(RoundRect(l + 2, t + 2, r - 2, b - 2, 8.5f), Solid(kFrameFill));
    canvas.Fill(RoundRect(l + 8, t + 2.5f, r - 8, t + 3.5f, 0.5f), Solid(kFrameHighlight));
}

void DrawNameplate(Canvas& canvas, float left, float right, float bottom, const char* title) {
    const float l = Px(left) + 6, r = Px(right) - 6, b = Px(bottom) - 6, t = b - 24;
    canvas.Fill(RoundRect(l, t, r, b, 5), Solid(kPlate));
    TextStyle text = TitleText(16);
    const float centre = (l + r) / 2;
    const float width = canvas.TextWidth(title, text);
    canvas.Text(title, centre, t + 3, text);
    const float y = (t + b) / 2;
    if (centre - width / 2 - 14 > l + 10) {
        canvas.Fill(Segment(l + 10, y, centre - width / 2 - 12, y, 0.8f),
                    Solid(kAccent.WithAlpha(0.45f)));
        canvas.Fill(Segment(centre + width / 2 + 12, y, r - 10, y, 0.8f),
                    Solid(kAccent.WithAlpha(0.45f)));
    }
}

void DrawLabel(Canvas& canvas, const char* text, float centreX, float top, Colour colour) {
    TextStyle style = LabelText(15);
    style.colour = colour;
    const char* newline = std::strchr(text, '\n');
    if (newline == nullptr) {
        canvas.Text(text, Px(centreX), Px(top), style);
        return;
    }
    canvas.Text(std::string(text, newline), Px(centreX), Px(top), style);
    canvas.Text(newline + 1, Px(centreX), Px(top) + 17, style);
}

namespace {

void DrawGroupCaption(Canvas& canvas, float left, float right, float top, const char* title) {
    TextStyle text = LabelText(13);
    text.colour = kAccent.WithAlpha(0.85f);
    text.spacing = 1.5f;
    const float l = Px(left), r = Px(right), y = Px(top);
    const float centre = (l + r) / 2;
    const float width = canvas.TextWidth(title, text);
    canvas.Text(title, centre, y, text);
    const float mid = y + 8;
    const Colour line = kAccent.WithAlpha(0.35f);
    canvas.Fill(Segment(l + 4, mid, centre - width / 2 - 8, mid, 0.7f), Solid(line));
    canvas.Fill(Segment(centre + width / 2 + 8, mid, r - 4, mid, 0.7f), Solid(line));
    canvas.Fill(Segment(l + 4, mid - 5, l + 4, mid, 0.7f), Solid(line));
    canvas.Fill(Segment(r - 4, mid - 5, r - 4, mid, 0.7f), Solid(line));
}

void DrawButtonBezel(Canvas& canvas, float left, float top, float right, float bottom,
                     const char* text) {
    const float l = Px(left), t = Px(top), r = Px(right), b = Px(bottom);
    canvas.Fill(RoundRect(l + 1, t + 1, r - 1, b - 1, 4), Solid(Colour::Hex(0x0b0c0e)));
    canvas.Fill(RoundRect(l + 2, t + 2, r - 2, b - 2, 3.5f),
                VerticalGradient(t, b, Colour::Hex(0x40444b), Colour::Hex(0x25282d)));
    TextStyle style = LabelText(15);
    style.face = "DejaVu Sans";
    style.colour = kWhite;
    style.spacing = 1;
    canvas.Text(text, (l + r) / 2, t + (b - t) / 2 - 10, style);
}

void DrawDisplayWell(Canvas& canvas, float left, float top, float right, float bottom) {
    const float l = Px(left), t = Px(top), r = Px(right), b = Px(bottom);
    canvas.Fill(RoundRect(l - 3, t - 3, r + 3, b + 3, 6), Solid(Colour::Hex(0x3a3d44)));
    canvas.Fill(RoundRect(l - 2, t - 2, r + 2, b + 2, 5), Solid(Colour::Hex(0x050506)));
    canvas.Fill(RoundRect(l, t, r, b, 4),
                VerticalGradient(t, b, Colour::Hex(0x0c0d0f), Colour::Hex(0x141518)));
}

void DrawArrow(Canvas& canvas, float cx, float cy, bool right) {
    const float x = Px(cx), y = Px(cy);
    canvas.Fill(Circle(x, y, 19), Solid(Colour::Hex(0x0b0c0e)));
    canvas.Fill(Circle(x, y, 18),
                VerticalGradient(y - 18, y + 18, Colour::Hex(0x40444b), Colour::Hex(0x23262b)));
    const float d = right ? 1 : -1;
    canvas.Fill(Polygon({{x - 6 * d, y - 9}, {x + 8 * d, y}, {x - 6 * d, y + 9}}), Solid(kLabel));
}

void DrawTopLeft(Canvas& canvas) {
    // The about overlay opens from the top-left corner.
    canvas.Fill(Circle(Px(10), Px(10), 12), Solid(Colour::Hex(0x3a3d44)));
    canvas.Fill(Circle(Px(10), Px(10), 10.5f), Solid(kPlate));
    TextStyle info = TitleText(16);
    info.face = "DejaVu Serif";
    info.spacing = 0;
    canvas.Text("i", Px(10), Px(10) - 10, info);

    DrawButtonBezel(canvas, 56, 16, 96, 32, "LOAD");
    DrawButtonBezel(canvas, 56, 32, 96, 48, "SAVE");
    DrawButtonBezel(canvas, 56, 48, 96, 64, "WRITE");
    TextStyle side = LabelText(14);
    side.align = Align::kRight;
    side.colour = kDim;
    canvas.Text("PROGRAM", Px(52), Px(27), side);
    canvas.Text("FILE", Px(52), Px(35), side);

    TextStyle caption = LabelText(13);
    caption.align = Align::kLeft;
    caption.colour = kDim;
    caption.spacing = 1.5f;
    canvas.Text("PROGRAM NAME  ·  STATUS", Px(105), Px(11), caption);
    DrawDisplayWell(canvas, 104, 22, 264, 38);
    // The program number's well ends above the VCO 1 frame.
    DrawDisplayWell(canvas, 160, 42, 200, 72);
    caption.align = Align::kRight;
    canvas.Text("PROGRAM", Px(155), Px(45), caption);
    DrawArrow(canvas, 228, 57, false);
    DrawArrow(canvas, 250, 57, true);
}

void DrawLogotype(Canvas& canvas) {
    TextStyle mark = TitleText(66);
    mark.colour = kWhite;
    mark.spacing = 14;
    canvas.Text("ORVO", Px(362), Px(4), mark);
    canvas.Fill(RoundRect(Px(290), Px(46), Px(434), Px(47), 1), Solid(kAccent));
    TextStyle sub = TitleText(13);
    sub.colour = kLabel;
    sub.spacing = 3;
    canvas.Text("ANALOG BASS SYNTHESIZER", Px(362), Px(51), sub);
    sub.colour = kDim;
    canvas.Text("EDITOR  ·  LIBRARIAN", Px(362), Px(60), sub);
}

void DrawBottomBand(Canvas& canvas) {
    DrawFrame(canvas, 11, 706, 258, 799);
    DrawNameplate(canvas, 11, 182, 799, "COPY VCO");
    TextStyle head = LabelText(13);
    head.colour = kAccent;
    head.spacing = 1.5f;
    canvas.Text("FROM", Px(34), Px(716), head);
    canvas.Text("TO", Px(138), Px(716), head);
    const float rows[4] = {731, 744, 757, 770};
    for (int i = 0; i < 4; ++i) {
        const std::string name = "VCO " + std::to_string(i + 1);
        DrawLabel(canvas, name.c_str(), 86, rows[i] - 1, kLabel);
        canvas.Fill(Segment(Px(44), Px(rows[i] + 6), Px(56), Px(rows[i] + 6), 0.6f), Solid(kDim));
        canvas.Fill(Segment(Px(116), Px(rows[i] + 6), Px(128), Px(rows[i] + 6), 0.6f), Solid(kDim));
    }

    // The keyboard's bezel; the keys themselves are images of their own.
    const float l = Px(260), t = Px(724), r = Px(758), b = Px(800);
    canvas.FillSoft(RoundRect(l, t + 2, r, b + 6, 8), Solid(Colour::Hex(0x000000, 0.6f)), 8);
    canvas.Fill(RoundRect(l, t, r, b + 10, 8), Solid(kFrameEdge));
    canvas.Fill(RoundRect(l + 2, t + 2, r - 2, b + 10, 7), Solid(Colour::Hex(0x0a0a0b)));
    canvas.Fill(RoundRect(Px(264), Px(727), Px(754), Px(728), 0), Solid(kAccent.WithAlpha(0.8f)));

    DrawFrame(canvas, 762, 724, 1012, 799);
    DrawNameplate(canvas, 828, 956, 799, "SECTIONS");
    const char* sectionNames[8] = {"VCO 1",  "VCO 2",   "VCO 3",     "VCO 4",
                                   "FILTER", "ENV/LFO", "HARM/DIST", "EFFECT"};
    TextStyle name = LabelText(14);
    name.align = Align::kLeft;
    for (int i = 0; i < 8; ++i) {
        const float x = i < 4 ? 846 : 894;
        canvas.Text(sectionNames[i], Px(x), Px(rows[i % 4]) - 1, name);
    }
}

void DrawPositionLabels(Canvas& canvas) {
    // The effect's blend controls (90, 91) are there only with an effect on; their names are
    // on the blend title picture, which is shown with them.
    for (int position = 0; position < kChorusFirstPosition; ++position) {
        const PositionPlace& place = Place(position);
        if (place.kind == kPlaceNone) continue;
        const char* text = PrintedLabel(position);
        if (text != nullptr)
            DrawLabel(canvas, text, ColumnCentre(position), LabelTop(position), kLabel);
    }
}

}  // namespace

std::unique_ptr<Canvas> DrawBackground(int width, int height, float scale) {
    auto canvas = std::make_unique<Canvas>(width, height, scale);
    canvas->Fill(RoundRect(-10, -10, width + 10.0f, height + 10.0f, 0),
                 VerticalGradient(0, static_cast<float>(height), kPanel, kPanelDeep));
    for (int row = 0; row < 4; ++row) {
        const Section& s = kOscillatorRows[row];
        DrawFrame(*canvas, s.left, s.top, s.right, s.bottom);
        const std::string title = "VCO " + std::to_string(row + 1);
        DrawNameplate(*canvas, s.left, s.right, s.bottom, title.c_str());
    }
    DrawFrame(*canvas, 510, 74, 1012, 178);
    DrawFrame(*canvas, 510, 225, 1012, 335);
    DrawFrame(*canvas, 510, 382, 1012, 492);
    DrawFrame(*canvas, 510, 539, 1012, 723);
    DrawFrame(*canvas, 470, 4, 858, 72);
    DrawFrame(*canvas, 862, 4, 1012, 72);
    for (const Plate& plate : kPlates)
        DrawNameplate(*canvas, plate.left, plate.right, plate.bottom, plate.title);
    for (const auto& divider : kDividers) {
        canvas->Fill(
            Segment(Px(divider[0]), Px(divider[1]), Px(divider[0]), Px(divider[2]) - 34, 1),
            Solid(kFrameEdge));
    }
    DrawTopLeft(*canvas);
    DrawLogotype(*canvas);
    DrawPositionLabels(*canvas);
    DrawBottomBand(*canvas);
    return canvas;
}

namespace {

constexpr float kEffectLeft = 514;
constexpr float kEffectTop = 563;

// Effect pictures are drawn in panel units relative to the effect area's corner. The names of
// the controls from first to last that are printed under them.
void DrawEffectLabels(Canvas& canvas, int first, int last) {
    for (int position = first; position <= last; ++position) {
        const char* text = PrintedLabel(position);
        if (text == nullptr) continue;
        DrawLabel(canvas, text, ColumnCentre(position) - kEffectLeft,
                  Place(position).valueText.B + 2.0f - kEffectTop, kLabel);
    }
}

void DrawEffectGroups(Canvas& canvas, int first, int last) {
    for (const Group& group : EffectGroups(first, last)) {
        const float left = Place(group.first).topLeft.x - 4.0f - kEffectLeft;
        const float right = Place(group.last).topLeft.x + 36.0f - kEffectLeft;
        DrawGroupCaption(canvas, left, right, 86, group.title);
    }
}

// A faint trace across the empty lower part, in the character of the effect.
void DrawTrace(Canvas& canvas, float top, float bottom, float (*wave)(float)) {
    const float mid = Px((top + bottom) / 2);
    const float amplitude = Px((bottom - top) / 2);
    float lastX = Px(16), lastY = mid - amplitude * wave(0);
    for (int i = 1; i <= 300; ++i) {
        const float t = i / 300.0f;
        const float x = Px(16 + t * 458);
        const float y = mid - amplitude * wave(t);
        canvas.Fill(Segment(lastX, lastY, x, y, 1.1f), Solid(kAccent.WithAlpha(0.22f)));
        lastX = x, lastY = y;
    }
}

float ChorusWave(float t) {
    return 0.5f * std::sin(t * 37.7f) + 0.35f * std::sin(t * 41.3f + 1);
}
float DriveWave(float t) {
    return std::tanh(3.2f * std::sin(t * 31.4f)) * 0.85f;
}

// The equalizer's view switches where the panel places them in this view, the one leading to
// the view shown lit.
void DrawTabs(Canvas& canvas, int view) {
    for (int to = 0; to < kEqViewCount; ++to) {
        const Rect& tab = kEqViewTabs[view][to];
        const float l = Px(tab.L - kEffectLeft), t = Px(tab.T - kEffectTop);
        const float r = Px(tab.R - kEffectLeft), b = Px(tab.B - kEffectTop);
        const bool lit = to == view;
        canvas.Fill(RoundRect(l, t, r, b, 4), Solid(Colour::Hex(lit ? 0x6a5a3a : 0x3a3d44)));
        canvas.Fill(RoundRect(l + 1.5f, t + 1.5f, r - 1.5f, b - 1.5f, 3),
                    Solid(lit ? kAccent.WithAlpha(0.28f) : kPlate));
        TextStyle text = LabelText(13);
        text.colour = lit ? kWhite : kAccent;
        canvas.Text(kEqViewTabTexts[to], (l + r) / 2, t + 7, text);
    }
}

}  // namespace

std::unique_ptr<Canvas> DrawEffectArea(int id, int width, int height, float scale) {
    auto canvas = std::make_unique<Canvas>(width, height, scale);
    canvas->Clear(kFrameFill);
    const float bottom = 156;
    switch (id) {
        case resources::kImageEffectBypass: {
            TextStyle big = TitleText(34);
            big.colour = kDim.WithAlpha(0.5f);
            big.spacing = 10;
            canvas->Text("NO EFFECT", Px(245), Px(52), big);
            TextStyle hint = LabelText(14);
            hint.colour = kDim;
            canvas->Text("choose CHORUS, OVERDRIVE or EQUALIZER with EFFECT TYPE", Px(245), Px(82),
                         hint);
            DrawNameplate(*canvas, 0, 490, bottom, "EFFECT");
            break;
        }
        case resources::kImageEffectChorus:
            // The first two positions, the blend controls, are named by the blend title.
            DrawEffectLabels(*canvas, kChorusFirstPosition + 2,
                             kChorusFirstPosition + kChorusCount - 1);
            DrawEffectGroups(*canvas, kChorusFirstPosition + 2,
                             kChorusFirstPosition + kChorusCount - 1);
            DrawTrace(*canvas, 104, 132, ChorusWave);
            DrawNameplate(*canvas, 0, 490, bottom, "CHORUS");
            break;
        case resources::kImageEffectDrive:
            DrawEffectLabels(*canvas, kOverdriveFirstPosition + 2,
                             kOverdriveFirstPosition + kOverdriveCount - 1);
            DrawTrace(*canvas, 100, 136, DriveWave);
            DrawNameplate(*canvas, 0, 490, bottom, "OVERDRIVE");
            break;
        case resources::kImageEffectEqKnobs:
            DrawEffectLabels(*canvas, kEqualizerFirstPosition + 2,
                             kEqualizerFirstPosition + kEqualizerCount - 1);
            DrawEffectGroups(*canvas, kEqualizerFirstPosition + 2,
                             kEqualizerFirstPosition + kEqualizerCount - 1);
            DrawTabs(*canvas, kEqFaderView);
            DrawNameplate(*canvas, 0, 490, bottom, "EQUALIZER");
            break;
        case resources::kImageEffectEqGraph: {
            DrawTabs(*canvas, kEqGraphView);
            TextStyle title = TitleText(15);
            title.align = Align::kRight;
            canvas->Text("GRAPHIC EQUALIZER", Px(474), Px(7), title);
            // The screen the equalizer curve is drawn on.
            const float l = Px(16), t = Px(30), r = Px(476), b = Px(145);
            canvas->Fill(RoundRect(l - 3, t - 3, r + 3, b + 3, 6), Solid(Colour::Hex(0x3a3d44)));
            canvas->Fill(RoundRect(l - 1.5f, t - 1.5f, r + 1.5f, b + 1.5f, 5),
                         Solid(Colour::Hex(0x040405)));
            canvas->Fill(RoundRect(l, t, r, b, 4),
                         VerticalGradient(t, b, Colour::Hex(0x0b0c0e), Colour::Hex(0x131417)));
            break;
        }
        default:
            break;
    }
    return canvas;
}

std::unique_ptr<Canvas> DrawAbout(int width, int height, float scale) {
    auto canvas = std::make_unique<Canvas>(width, height, scale);
    canvas->Clear(Colour::Hex(0x000000, 0.78f));
    const float cx = width / 2.0f;
    const float l = cx - 520, r = cx + 520, t = 420, b = 1180;
    canvas->FillSoft(RoundRect(l, t + 10, r, b + 16, 24), Solid(Colour::Hex(0x000000, 0.8f)), 30);
    canvas->Fill(RoundRect(l, t, r, b, 24), Solid(kFrameEdge));
    canvas->Fill(RoundRect(l + 3, t + 3, r - 3, b - 3, 21),
                 VerticalGradient(t, b, Colour::Hex(0x23262b), kFrameFill));
    TextStyle mark = TitleText(120);
    mark.colour = kWhite;
    mark.spacing = 26;
    canvas->Text("ORVO", cx, t + 60, mark);
    canvas->Fill(RoundRect(cx - 260, t + 215, cx + 260, t + 219, 2), Solid(kAccent));
    TextStyle line = TitleText(30);
    line.colour = kAccent;
    line.spacing = 6;
    canvas->Text("EDITOR & LIBRARIAN", cx, t + 245, line);
    TextStyle body = LabelText(28);
    body.face = "DejaVu Sans";
    body.bold = false;
    body.colour = kLabel;
    const char* lines[] = {
        "Version 1.2.2",
        "",
        "Live editing of every parameter of the Orvo bass synthesizer,",
        "a program library of 99 locations, and firmware updates.",
        "",
        // The maker and the licence as the package's metadata name them.
        "Made by Brindle-Audio. Proprietary licence: all rights reserved.",
        "The user guide is in the Help menu.",
    };
    float y = t + 340;
    for (const char* text : lines) {
        canvas->Text(text, cx, y, body);
        y += 44;
    }
    body.colour = kDim;
    body.size = 24;
    canvas->Text("Click anywhere or press Escape to close", cx, b - 70, body);
    return canvas;
}

}  // namespace artgen
