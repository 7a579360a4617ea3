#pragma once

#include <array>

#include "gui/Control.h"
#include "gui/ImageStrip.h"

// Five octaves of keys (notes 24..83) that play the unit directly. Each of the key strip's 12
// frames pictures one whole octave with one key down; the octave strip is the keys at rest.
// Key geometry follows the GUI scale; velocity grows from the top edge of a key (1) to its
// bottom (127). Notes held on the keyboard input show as well.
class KeyboardControl : public Control {
public:
    static constexpr int kOctaves = 5;
    static constexpr int kKeys = kOctaves * 12;
    static constexpr int kLowestNote = 24;
    static constexpr int kBlackKeyWidth = 10;
    static constexpr int kBlackKeyHeight = 42;
    static constexpr int kPanelX = 264;
    static constexpr int kPanelY = 728;

    KeyboardControl(PluginBase* core, ImageStrip* keyStrip, ImageStrip* octaveStrip,
                    const std::array<int, 12>& keyLeft, int x = kPanelX, int y = kPanelY);

    void OnPress(int x, int y, const MouseKeys& keys) override;
    void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) override;
    void OnRelease(int x, int y, const MouseKeys& keys) override;
    bool Draw(Graphics& graphics) override;

    // Key index 0..59 under the point (-1 for none) and the velocity fraction 0..1 there.
    int KeyAt(int x, int y, double* fraction) const;
    int HeldKey() const { return heldKey_; }
    int LastKey() const { return lastKey_; }
    // The fraction of the last press, which the core's note sender may read.
    double Velocity() const { return velocity_; }

private:
    double Scale() const;
    int OctaveWidth() const;
    void SendNote(int key, bool on, int velocity);
    bool CoreKeyState(int note) const;

    ImageStrip* keyStrip_;
    ImageStrip* octaveStrip_;
    std::array<int, 12> keyLeft_;
    int heldKey_ = -1;
    int lastKey_ = -1;
    double velocity_ = 0.0;
};
