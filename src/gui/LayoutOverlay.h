#pragma once

#include <string>

#include "gui/Rect.h"
#include "gui/TextStyle.h"

class Control;
class Graphics;
class LayoutEditor;

// What the layout editor draws over the panel after every control: the grid (or a tint when its
// lines would crowd), each control's outlines (white where picture and mouse area coincide,
// green for the picture, red for the mouse area), the selected control's label, the pointer's
// coordinates and the list of controls marked deleted.
class LayoutOverlay {
public:
    static constexpr int kLabelHeight = 15;

    explicit LayoutOverlay(Graphics& graphics);

    void Draw(const LayoutEditor& editor);

private:
    void DrawGrid();
    void DrawOutlines(const Control& control, int shown);
    // A line of text on the label background near a rectangle.
    void DrawLabel(const std::string& text, const Rect& near);
    void DrawSelectionLabel(const LayoutEditor& editor);
    void DrawCoordinates(const LayoutEditor& editor);
    void DrawDeletedLine(const LayoutEditor& editor);

    Graphics& graphics_;
    TextStyle labelStyle_;
};
