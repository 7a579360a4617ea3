#pragma once

#include <unordered_map>
#include <vector>

#include "gui/Rect.h"

class Control;
class Graphics;

// Every control's place at 100 % for each view mode: it outlives the panel's window, so a reopened
// panel finds its layout. GUI thread only.
class GuiLayoutStore {
public:
    // A control's rectangles at 100 %, as doubles so that edits keep fractions.
    struct Placement {
        Control* control = nullptr;
        double draw[4] = {};
        double target[4] = {};
        bool hidden = false;
    };

    static GuiLayoutStore& Process();

    // Records the controls of the panel as they are now, in their layer order, for modeCount
    // view modes. The controls listed in skip (the resize controls) are left out.
    void Fill(const Graphics& graphics, int modeCount, const std::vector<const Control*>& skip);
    int ModeCount() const { return static_cast<int>(modes_.size()); }
    const std::vector<Placement>& Mode(int mode) const;
    // The control's placement in a view mode, or null when it was not recorded.
    const Placement* Find(int mode, const Control* control) const;
    // For the layout editor: change a control's stored placement.
    Placement* FindForEdit(int mode, const Control* control);
    // Replaces a view mode's placements and their layer order at once (an undo step).
    void SetMode(int mode, std::vector<Placement> placements);
    // Gives a recorded control of a view mode new rectangles at 100 % and the hidden flag, and
    // moves it to layerPosition in the mode's layer order. False when the mode or the control
    // is not recorded.
    bool Place(int mode, const Control* control, int layerPosition, const Rect& draw,
               const Rect& target, bool hidden);

    // Renders the image strips of graphics for the scale unless they already are at it; true
    // when it did.
    bool RenderStrips(Graphics& graphics, double scale);
    int RenderCount() const { return renderCount_; }

    // Forgets everything, for a process that builds a new panel from scratch (and for tests).
    void Clear();

private:
    struct ModeLayout {
        std::vector<Placement> placements;
        std::unordered_map<const Control*, size_t> index;

        void Reindex();
    };

    std::vector<ModeLayout> modes_;
    int renderCount_ = 0;
};

// Scales a stored 100 % coordinate: trunc((c + 0.4999) x scale).
int ScaledCoordinate(double coordinate, double scale);
// The rectangle for stored coordinates; an empty rectangle stays empty.
Rect ScaledRect(const double (&coordinates)[4], double scale);
