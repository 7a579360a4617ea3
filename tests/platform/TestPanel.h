#pragma once

#include <array>
#include <memory>
#include <vector>

#include "PanelArtwork.h"
#include "gui/Graphics.h"
#include "gui/KnobMultiControl.h"
#include "gui/TextControl.h"
#include "plugin/PluginBase.h"

// A core with the unit's 122 parameters (names and ranges as the unit has them) and the panel's
// own switches, that remembers what the panel pushed into it.
class TestPanelCore : public PluginBase {
public:
    struct Push {
        int index;
        double normalized;
    };

    TestPanelCore();
    void SetParameterFromGui(int index, double normalized) override;

    std::vector<Push> pushes;
};

// A graphics core of any kind that decodes the panel's images from PanelArtwork.
template <typename Base>
class ArtworkGraphics : public Base {
public:
    using Base::Base;
    std::unique_ptr<raster::MemBitmap> LoadResourceImage(int id, const std::string&) override {
        return PanelArtwork(id);
    }
};

// The editor's panel as far as the framework can build it alone: the background, the file
// choosers and buttons, the effect-area pictures, the status line, 122 value texts, every unit
// parameter's knob, slider or switch in its place, the check boxes, the keyboard and the about
// overlay. Scaling follows the panel's re-layout rule from the 100 % rectangles.
class TestPanel {
public:
    // Lays the panel out in graphics (which the core then owns) and attaches it.
    TestPanel(TestPanelCore& core, Graphics* graphics);

    // Re-layout, re-render and resize for a GUI scale.
    void ApplyScale(double scale);

    Graphics& GetGraphics() { return *graphics_; }
    // The knob or slider of a unit position; null where the position has none.
    KnobMultiControl* Knob(int position) const;
    TextControl* ValueText(int position) const {
        return valueTexts_[static_cast<size_t>(position)];
    }
    TextControl* Status() const { return status_; }
    int ControlCount() const { return static_cast<int>(owned_.size()); }

private:
    template <typename T, typename... Args>
    T* Add(Args&&... args);
    ImageStrip* Strip(int id);
    void BuildControls();

    TestPanelCore& core_;
    Graphics* graphics_;
    std::vector<std::unique_ptr<Control>> owned_;
    std::array<TextControl*, 122> valueTexts_{};
    std::array<KnobMultiControl*, 122> knobs_{};
    TextControl* status_ = nullptr;
    std::vector<Rect> baseDraw_;
    std::vector<Rect> baseTarget_;
};
