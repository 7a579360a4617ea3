#include "gui/KeyboardControl.h"

#include <cmath>

#include "gui/Graphics.h"
#include "plugin/PluginBase.h"

namespace {

bool IsBlack(int semitone) {
    return semitone == 1 || semitone == 3 || semitone == 6 || semitone == 8 || semitone == 10;
}

}  // namespace

KeyboardControl::KeyboardControl(PluginBase* core, ImageStrip* keyStrip, ImageStrip* octaveStrip,
                                 const std::array<int, 12>& keyLeft, int x, int y)
    : Control(core,
              {x, y, x + kOctaves * (keyStrip ? keyStrip->width : 0),
               y + (keyStrip ? keyStrip->FrameHeight() : 0)},
              -1),
      keyStrip_(keyStrip),
      octaveStrip_(octaveStrip),
      keyLeft_(keyLeft) {
    // Fast repeated clicks keep playing instead of restoring a default.
    doubleClickAsClick_ = true;
}

double KeyboardControl::Scale() const {
    const Graphics* graphics = GraphicsCore();
    return graphics != nullptr ? graphics->GuiScale() : 1.0;
}

int KeyboardControl::OctaveWidth() const {
    return keyStrip_ != nullptr ? keyStrip_->width : 0;
}

int KeyboardControl::KeyAt(int x, int y, double* fraction) const {
    const int octaveWidth = OctaveWidth();
    if (!drawRect_.Contains(x, y) || octaveWidth <= 0) return -1;
    // Positions are taken from the keyboard's own corner.
    const int px = (x - drawRect_.L) % octaveWidth;
    const int octave = (x - drawRect_.L) / octaveWidth;
    const int py = y - drawRect_.T;
    const double scale = Scale();
    const double blackHeight = kBlackKeyHeight * scale;
    if (py < blackHeight) {
        for (int semitone = 0; semitone < 12; ++semitone) {
            if (!IsBlack(semitone)) continue;
            const double left = keyLeft_[static_cast<size_t>(semitone)] * scale;
            if (px >= left && px < left + kBlackKeyWidth * scale) {
                if (fraction != nullptr) *fraction = py / blackHeight;
                return octave * 12 + semitone;
            }
        }
    }
    const int white = static_cast<int>(px / (octaveWidth / 7.0));
    const int semitone = white >= 3 ? 2 * white - 1 : 2 * white;
    if (fraction != nullptr) *fraction = static_cast<double>(py) / drawRect_.Height();
    return octave * 12 + semitone;
}

bool KeyboardControl::CoreKeyState(int note) const {
    return core_ != nullptr && core_->KeyState(note);
}

void KeyboardControl::SendNote(int key, bool on, int velocity) {
    if (core_ == nullptr || key < 0) return;
    MidiMessage message;
    message.status = on ? 0x90 : 0x80;
    message.data1 = static_cast<uint8_t>(key + kLowestNote);
    message.data2 = static_cast<uint8_t>(on ? velocity : 0);
    // A note played without an output port is heard by nobody; the keyboard shows it anyway.
    (void)core_->SendMidiMsg(message);
}

void KeyboardControl::OnPress(int x, int y, const MouseKeys& keys) {
    if (keys.R) return;
    double fraction = 0.0;
    const int key = KeyAt(x, y, &fraction);
    if (key < 0 || key >= kKeys || key == heldKey_) return;
    if (key != lastKey_) {
        if (lastKey_ >= 0) SendNote(lastKey_, false, 0);
        velocity_ = fraction;
        SendNote(key, true, static_cast<int>(std::floor(fraction * 126.0 + 0.5)) + 1);
        lastKey_ = key;
    }
    if (CoreKeyState(key + kLowestNote)) return;
    heldKey_ = key;
    MarkDirty(false);
}

void KeyboardControl::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    (void)dx;
    (void)dy;
    OnPress(x, y, keys);
}

void KeyboardControl::OnRelease(int x, int y, const MouseKeys& keys) {
    (void)keys;
    if (heldKey_ < 0) return;
    const int under = KeyAt(x, y, nullptr);
    SendNote(under >= 0 && under < kKeys ? under : lastKey_, false, 0);
    heldKey_ = -1;
    lastKey_ = -1;
    MarkDirty(false);
}

bool KeyboardControl::Draw(Graphics& graphics) {
    const int octaveWidth = OctaveWidth();
    const int left = drawRect_.L, top = drawRect_.T, bottom = drawRect_.B;
    for (int i = 0; i < kOctaves; ++i) {
        const Rect octave{left + i * octaveWidth, top, left + (i + 1) * octaveWidth, bottom};
        graphics.DrawFrame(octaveStrip_, octave, 1, &blend_);
    }
    const bool anySounding = core_ != nullptr && core_->HeldNoteCount() > 0;
    if (!anySounding && heldKey_ < 0) return true;
    for (int i = 0; i < kKeys; ++i) {
        if (i != heldKey_ && !CoreKeyState(i + kLowestNote)) continue;
        const int x = left + (i / 12) * octaveWidth;
        graphics.DrawFrame(keyStrip_, {x, top, x + octaveWidth, bottom}, i % 12 + 1, &blend_);
    }
    return true;
}
