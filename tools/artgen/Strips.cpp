#include "Strips.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "Style.h"

namespace artgen {

namespace {

using namespace style;

constexpr float kPi = 3.14159265f;

// The shape of one image in design units, and the canvas scale that gives factor times the
// panel's size.
struct Design {
    int width;
    int height;
    int frames;
    float scale;
};

// Each frame is drawn on its own canvas and stacked under the previous ones.
template <typename DrawFrameFn>
std::unique_ptr<Canvas> Stack(const Design& image, DrawFrameFn draw) {
    const int frameHeight = image.height / image.frames;
    auto strip = std::make_unique<Canvas>(image.width, image.height, image.scale);
    for (int frame = 0; frame < image.frames; ++frame) {
        Canvas one(image.width, frameHeight, image.scale);
        draw(one, frame, image.frames);
        strip->Paste(one, 0, frame * frameHeight);
    }
    return strip;
}

float ValueOf(int frame, int frames) {
    return frames > 1 ? static_cast<float>(frame) / (frames - 1) : 0;
}

// A fader: slot, scale, value glow and cap, all within the top 88 pixels of the tall frame.
void DrawSlider(Canvas& c, int frame, int frames, Colour capColour) {
    const float v = ValueOf(frame, frames);
    const float slotTop = 8;
    const float slotBottom = 82;
    const float travelTop = 16;
    const float travelBottom = 74;
    const float capY = travelBottom - v * (travelBottom - travelTop);
    // Scale marks on both sides; longer at the ends and the middle.
    const int marks = frames <= 4 ? frames : 9;
    for (int i = 0; i < marks; ++i) {
        const float y = travelBottom - (travelBottom - travelTop) * i / (marks - 1);
        const bool major = frames <= 4 || i == 0 || i == marks - 1 || i == marks / 2;
        const float length = major ? 9 : 5;
        c.Fill(Segment(20 - length, y, 20, y, 0.7f), Solid(kDim));
        c.Fill(Segment(44, y, 44 + length, y, 0.7f), Solid(kDim));
    }
    c.Fill(RoundRect(27, slotTop, 37, slotBottom, 4), Solid(Colour::Hex(0x3a3d44)));
    c.Fill(RoundRect(28, slotTop + 1, 36, slotBottom - 1, 3.5f), Solid(Colour::Hex(0x060607)));
    if (v > 0) {
        c.Fill(RoundRect(29.5f, capY, 34.5f, slotBottom - 2.5f, 2.5f),
               VerticalGradient(capY, slotBottom, capColour.WithAlpha(0.85f),
                                capColour.WithAlpha(0.35f)));
    }
    // Cap with its shadow, a ribbed face and a coloured index line.
    c.FillSoft(RoundRect(11, capY - 7, 53, capY + 11, 4), Solid(Colour::Hex(0x000000, 0.7f)), 5);
    c.Fill(RoundRect(11, capY - 9, 53, capY + 9, 3.5f), Solid(Colour::Hex(0x0b0c0d)));
    c.Fill(RoundRect(12, capY - 8, 52, capY + 8, 3),
           VerticalGradient(capY - 8, capY + 8, Colour::Hex(0x6a6e76), Colour::Hex(0x2b2e34)));
    for (float dy : {-5.0f, -2.5f, 2.5f, 5.0f}) {
        c.Fill(Segment(16, capY + dy, 48, capY + dy, 0.45f), Solid(Colour::Hex(0x1c1e22, 0.8f)));
    }
    c.Fill(RoundRect(13, capY - 1.3f, 51, capY + 1.3f, 1.2f), Solid(capColour));
}

Colour KnobArcColour() {
    return kAccent;
}

// A knob turning its pointer from -135 to +135 degrees; stepped knobs show a dot per step.
void DrawKnob(Canvas& c, int frame, int frames, bool stepped) {
    const float cx = 32;
    const float cy = 32;
    const float v = ValueOf(frame, frames);
    const float start = -135 * kPi / 180;
    const float sweep = 270 * kPi / 180;
    const float angle = start + sweep * v;
    auto at = [&](float a, float r) {
        return std::pair{cx + r * std::sin(a), cy - r * std::cos(a)};
    };
    if (stepped) {
        for (int i = 0; i < frames; ++i) {
            const auto [x, y] = at(start + sweep * ValueOf(i, frames), 29);
            const bool lit = i == frame;
            if (lit) c.FillSoft(Circle(x, y, 2.5f), Solid(kAccent.WithAlpha(0.6f)), 4);
            c.Fill(Circle(x, y, lit ? 2.4f : 1.6f), Solid(lit ? kAccent : kDim));
        }
    } else {
        const int steps = 90;
        for (int i = 0; i < steps; ++i) {
            const float a0 = start + sweep * i / steps;
            const float a1 = start + sweep * (i + 1) / steps;
            const auto [x0, y0] = at(a0, 29);
            const auto [x1, y1] = at(a1, 29);
            const bool lit = (a0 + a1) / 2 <= angle && v > 0;
            c.Fill(Segment(x0, y0, x1, y1, 1.5f),
                   Solid(lit ? KnobArcColour() : Colour::Hex(0x30333a)));
        }
    }
    c.FillSoft(Circle(cx + 1, cy + 2.5f, 23), Solid(Colour::Hex(0x000000, 0.75f)), 5);
    c.Fill(Circle(cx, cy, 23.5f), Solid(Colour::Hex(0x0c0d0f)));
    c.Fill(Circle(cx, cy, 22.5f),
           RadialGradient(cx - 8, cy - 10, 36, Colour::Hex(0x5a5f67), Colour::Hex(0x1b1d21)));
    c.Fill(Circle(cx, cy, 17.5f), Solid(Colour::Hex(0x15171a)));
    c.Fill(Circle(cx, cy, 16.5f),
           VerticalGradient(cy - 17, cy + 17, Colour::Hex(0x43474f), Colour::Hex(0x24272c)));
    const auto [px0, py0] = at(angle, 6);
    const auto [px1, py1] = at(angle, 20);
    c.Fill(Segment(px0, py0, px1, py1, 1.9f), Solid(kWhite));
}

// A square push button with an LED window: dark when off, lit when on.
void DrawToggle(Canvas& c, int frame) {
    const bool on = frame == 1;
    c.FillSoft(RoundRect(5, 6, 35, 37, 4), Solid(Colour::Hex(0x000000, 0.7f)), 4);
    c.Fill(RoundRect(4, 3, 36, 35, 4), Solid(Colour::Hex(0x0b0c0e)));
    c.Fill(RoundRect(5, 4, 35, 34, 3.5f),
           VerticalGradient(4, 34, Colour::Hex(on ? 0x50545c : 0x4a4e56), Colour::Hex(0x25282d)));
    if (on) c.FillSoft(RoundRect(10, 9, 30, 15, 2), Solid(kRed.WithAlpha(0.8f)), 6);
    c.Fill(RoundRect(11, 10, 29, 14, 2), Solid(on ? Colour::Hex(0xff6a50) : Colour::Hex(0x3a1512)));
}

void DrawCheckbox(Canvas& c, int frame) {
    const bool on = frame == 1;
    c.Fill(RoundRect(2, 2, 22, 22, 4), Solid(Colour::Hex(0x4a4e56)));
    c.Fill(RoundRect(3, 3, 21, 21, 3.5f), Solid(on ? kAccent : Colour::Hex(0x0b0c0e)));
    if (on) {
        c.Fill(Segment(7, 12.5f, 10.5f, 16, 1.6f), Solid(Colour::Hex(0x1a1205)));
        c.Fill(Segment(10.5f, 16, 17, 8, 1.6f), Solid(Colour::Hex(0x1a1205)));
    }
}

// A labelled panel button; frame 2 is the pressed look.
void DrawTextButton(Canvas& c, int frame, const char* first, const char* second, float textSize) {
    const bool pressed = frame == 1;
    const float w = static_cast<float>(c.Width());
    const float h = static_cast<float>(c.Height());
    c.FillSoft(RoundRect(3, 4, w - 3, h - 1, 5), Solid(Colour::Hex(0x000000, 0.7f)), 3);
    c.Fill(RoundRect(2, 2, w - 2, h - 2, 5), Solid(Colour::Hex(0x0b0c0e)));
    if (pressed) {
        c.Fill(RoundRect(3, 3, w - 3, h - 3, 4.5f), VerticalGradient(3, h, kAccent, kAccentDeep));
    } else {
        c.Fill(RoundRect(3, 3, w - 3, h - 3, 4.5f),
               VerticalGradient(3, h, Colour::Hex(0x4b4f57), Colour::Hex(0x26292e)));
        c.Fill(RoundRect(4, 3.5f, w - 4, 5, 1), Solid(Colour::Hex(0x6a6e76, 0.6f)));
    }
    TextStyle text = LabelText(textSize);
    text.face = "DejaVu Sans";
    text.colour = pressed ? Colour::Hex(0x1a1205) : kWhite;
    text.spacing = 1;
    if (second == nullptr) {
        c.Text(first, w / 2, h / 2 - textSize * 0.62f, text);
    } else {
        c.Text(first, w / 2, h / 2 - textSize * 1.22f, text);
        c.Text(second, w / 2, h / 2 + textSize * 0.02f, text);
    }
}

void DrawCopyButton(Canvas& c, int frame) {
    DrawTextButton(c, frame, "COPY", nullptr, 22);
    const Colour ink = frame == 1 ? Colour::Hex(0x1a1205) : kAccent;
    // An arrow from the FROM column to the TO column under the word.
    c.Fill(Segment(30, 78, 84, 78, 2.2f), Solid(ink));
    c.Fill(Polygon({{84, 70}, {96, 78}, {84, 86}}), Solid(ink));
}

void DrawWriteAll(Canvas& c, int frame) {
    // The tab hangs under the WRITE button and ends two panel units above the VCO 1 frame, which
    // starts 10 units below the switch's corner (a panel zoomed out blends a row or two more);
    // the rest of the 16-unit cell stays clear.
    const bool on = frame == 1;
    const float bottom = 16;
    c.Fill(RoundRect(0, 0, 162, bottom, 4), Solid(Colour::Hex(0x0b0c0e)));
    c.Fill(RoundRect(1, 1, 161, bottom - 1, 3.5f),
           VerticalGradient(0, bottom, Colour::Hex(0x30333a), Colour::Hex(0x1d1f23)));
    if (on) c.FillSoft(Circle(13, bottom / 2, 4), Solid(kRed.WithAlpha(0.9f)), 5);
    c.Fill(Circle(13, bottom / 2, 3.5f), Solid(on ? Colour::Hex(0xff6a50) : Colour::Hex(0x3a1512)));
    TextStyle text = LabelText(12);
    text.align = Align::kLeft;
    text.colour = on ? kWhite : kLabel;
    text.spacing = 1;
    c.Text("WRITE ALL", 24, 1, text);
}

// Shown while a file dialog is open over its 40 x 16 unit chooser.
void DrawFileOpen(Canvas& c) {
    c.FillSoft(RoundRect(3, 3, 77, 29, 4), Solid(kAccent.WithAlpha(0.45f)), 5);
    c.Fill(Subtract(RoundRect(2, 2, 78, 30, 4), RoundRect(4, 4, 76, 28, 3)), Solid(kAccent));
}

void DrawInvisibleButton(Canvas& c, int frame) {
    if (frame == 1) c.FillSoft(Circle(24, 24, 14), Solid(kAccent.WithAlpha(0.45f)), 8);
}

// Seven segments a..g of one digit in a w x h cell at (x, y).
void DrawDigit(Canvas& c, int digit, float x, float y, float w, float h, Colour lit, Colour unlit) {
    static const int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const float t = 2.6f;  // half thickness
    const float slant = 3;
    const float mid = y + h / 2;
    auto sx = [&](float px, float py) { return px + slant * (1 - (py - y) / h); };
    struct Bar {
        float x1, y1, x2, y2;
    };
    const Bar bars[7] = {
        {x + t + 1, y + t, x + w - t - 1, y + t},          // a
        {x + w - t, y + t + 1, x + w - t, mid - 1},        // b
        {x + w - t, mid + 1, x + w - t, y + h - t - 1},    // c
        {x + t + 1, y + h - t, x + w - t - 1, y + h - t},  // d
        {x + t, mid + 1, x + t, y + h - t - 1},            // e
        {x + t, y + t + 1, x + t, mid - 1},                // f
        {x + t + 1, mid, x + w - t - 1, mid},              // g
    };
    for (int s = 0; s < 7; ++s) {
        const bool on = (kSegments[digit] >> s) & 1;
        const Bar& b = bars[s];
        const Shape bar = Segment(sx(b.x1, b.y1), b.y1, sx(b.x2, b.y2), b.y2, t - 0.4f);
        if (on) c.FillSoft(bar, Solid(lit.WithAlpha(0.35f)), 5);
        c.Fill(bar, Solid(on ? lit : unlit));
    }
}

void DrawSevenSegment(Canvas& c, int frame) {
    c.Fill(RoundRect(0, 0, 80, 60, 5), Solid(Colour::Hex(0x1a1b1e)));
    c.Fill(RoundRect(2, 2, 78, 58, 4), Solid(Colour::Hex(0x0d0504)));
    const Colour lit = Colour::Hex(0xff4232);
    const Colour unlit = Colour::Hex(0x2b0d0a);
    DrawDigit(c, frame / 10, 10, 9, 25, 42, lit, unlit);
    DrawDigit(c, frame % 10, 43, 9, 25, 42, lit, unlit);
}

// One octave: white keys 28 pixels wide, black keys 20 x 84 at the panel's key edges.
constexpr float kBlackLeft[5] = {18, 50, 102, 132, 162};
constexpr int kBlackSemitone[5] = {1, 3, 6, 8, 10};
constexpr int kWhiteSemitone[7] = {0, 2, 4, 5, 7, 9, 11};

Shape WhiteKey(int index) {
    const float left = 28.0f * index + 1;
    Shape key = RoundRect(left, -4, left + 26, 139, 3);
    for (float black : kBlackLeft)
        key = Subtract(key, RoundRect(black - 1, -4, black + 21, 86, 2));
    return key;
}

Shape BlackKey(int index) {
    return RoundRect(kBlackLeft[index], -4, kBlackLeft[index] + 20, 84, 2.5f);
}

void DrawOctave(Canvas& c) {
    c.Fill(RoundRect(0, 0, 196, 140, 0), Solid(Colour::Hex(0x050506)));
    for (int i = 0; i < 7; ++i) {
        c.Fill(WhiteKey(i), VerticalGradient(0, 140, Colour::Hex(0xd9d6ce), Colour::Hex(0xf1eee6)));
        c.Fill(RoundRect(28.0f * i + 2, 132, 28.0f * i + 26, 138, 2), Solid(Colour::Hex(0xc4c0b6)));
    }
    for (int i = 0; i < 5; ++i) {
        c.FillSoft(RoundRect(kBlackLeft[i] + 1, 0, kBlackLeft[i] + 23, 88, 3),
                   Solid(Colour::Hex(0x000000, 0.5f)), 4);
        c.Fill(BlackKey(i), VerticalGradient(0, 84, Colour::Hex(0x0c0c0d), Colour::Hex(0x2a2b2e)));
        c.Fill(RoundRect(kBlackLeft[i] + 3, 70, kBlackLeft[i] + 17, 81, 2),
               Solid(Colour::Hex(0x3a3b3f)));
    }
}

void DrawLitKey(Canvas& c, int semitone) {
    for (int i = 0; i < 7; ++i) {
        if (kWhiteSemitone[i] == semitone) {
            c.Fill(WhiteKey(i),
                   VerticalGradient(0, 140, Colour::Hex(0xf5b451), Colour::Hex(0xffd796)));
        }
    }
    for (int i = 0; i < 5; ++i) {
        if (kBlackSemitone[i] == semitone) {
            c.Fill(BlackKey(i),
                   VerticalGradient(0, 84, Colour::Hex(0x8a4e0c), Colour::Hex(0xe69a32)));
        }
    }
}

// The names of the effect's two blend controls, shown under their value texts whenever an
// effect is on (the controls are not there without one). The BASS column's centre lies 10 panel
// units (20 pixels) into the picture, the VCF column's 50 units.
void DrawBlendTitle(Canvas& c) {
    // Capitals nearly the size of the other names, raised a little to fit the 12-pixel strip.
    TextStyle text = LabelText(14);
    c.Text("BASS", 20, -1, text);
    c.Text("VCF", 100, -1, text);
}

void DrawLogo(Canvas& c) {
    c.Fill(Ring(32, 40, 22, 6), VerticalGradient(14, 66, kAccent, kAccentDeep));
    c.Fill(Segment(32, 22, 32, 58, 2.5f), Solid(kAccent));
    TextStyle text = TitleText(16);
    text.colour = kLabel;
    c.Text("ORVO", 32, 84, text);
}

}  // namespace

std::unique_ptr<Canvas> DrawImage(const resources::ImageResource& resource, int factor) {
    const Design image{static_cast<int>(Px(static_cast<float>(resource.width))),
                       static_cast<int>(Px(static_cast<float>(resource.height))), resource.frames,
                       static_cast<float>(factor) / kScale};
    switch (resource.id) {
        case resources::kImageBackground:
            return DrawBackground(image.width, image.height, image.scale);
        case resources::kImageAbout:
            return DrawAbout(image.width, image.height, image.scale);
        case resources::kImageKeys:
            return Stack(image, [](Canvas& c, int f, int) { DrawLitKey(c, f); });
        case resources::kImageKeyboardBackground:
            return Stack(image, [](Canvas& c, int, int) { DrawOctave(c); });
        case resources::kImageFaderYellow:
            return Stack(image, [](Canvas& c, int f, int n) { DrawSlider(c, f, n, kYellow); });
        case resources::kImageFaderRed:
        case resources::kImageFaderRed2:
        case resources::kImageFaderRed4:
            return Stack(image, [](Canvas& c, int f, int n) { DrawSlider(c, f, n, kRed); });
        case resources::kImageKnob:
            return Stack(image, [](Canvas& c, int f, int n) { DrawKnob(c, f, n, false); });
        case resources::kImageKnob4:
        case resources::kImageKnob5:
        case resources::kImageKnob13:
        case resources::kImageKnob17:
            return Stack(image, [](Canvas& c, int f, int n) { DrawKnob(c, f, n, true); });
        case resources::kImageFileOpen:
            return Stack(image, [](Canvas& c, int, int) { DrawFileOpen(c); });
        case resources::kImageInvisibleButton:
            return Stack(image, [](Canvas& c, int f, int) { DrawInvisibleButton(c, f); });
        case resources::kImageEffectBypass:
        case resources::kImageEffectChorus:
        case resources::kImageEffectDrive:
        case resources::kImageEffectEqKnobs:
        case resources::kImageEffectEqGraph:
            return DrawEffectArea(resource.id, image.width, image.height, image.scale);
        case resources::kImageBlendTitle:
            return Stack(image, [](Canvas& c, int, int) { DrawBlendTitle(c); });
        case resources::kImageWriteAll:
            return Stack(image, [](Canvas& c, int f, int) { DrawWriteAll(c, f); });
        case resources::kImageSevenSegment:
            return Stack(image, [](Canvas& c, int f, int) { DrawSevenSegment(c, f); });
        case resources::kImageLogo:
            return Stack(image, [](Canvas& c, int, int) { DrawLogo(c); });
        case resources::kImageCopy:
            return Stack(image, [](Canvas& c, int f, int) { DrawCopyButton(c, f); });
        case resources::kImageDefault:
            return Stack(
                image, [](Canvas& c, int f, int) { DrawTextButton(c, f, "DEFAULT", nullptr, 15); });
        case resources::kImageRandom:
            return Stack(
                image, [](Canvas& c, int f, int) { DrawTextButton(c, f, "RANDOM", nullptr, 15); });
        case resources::kImageReset:
            return Stack(image,
                         [](Canvas& c, int f, int) { DrawTextButton(c, f, "RESET", nullptr, 15); });
        case resources::kImageSelectAll:
            return Stack(image,
                         [](Canvas& c, int f, int) { DrawTextButton(c, f, "SELECT", "ALL", 14); });
        case resources::kImageClearAll:
            return Stack(image,
                         [](Canvas& c, int f, int) { DrawTextButton(c, f, "CLEAR", "ALL", 14); });
        case resources::kImageCheckBox:
            return Stack(image, [](Canvas& c, int f, int) { DrawCheckbox(c, f); });
        case resources::kImageButton:
            return Stack(image, [](Canvas& c, int f, int) { DrawToggle(c, f); });
        default:
            return nullptr;
    }
}

}  // namespace artgen
