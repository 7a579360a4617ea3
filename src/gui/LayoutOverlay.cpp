#include "gui/LayoutOverlay.h"

#include <algorithm>
#include <cstdio>

#include "gui/Control.h"
#include "gui/Graphics.h"
#include "gui/GuiLayoutStore.h"
#include "gui/LayoutEditor.h"

namespace {

constexpr ColorARGB kEqualOutline{255, 255, 255, 255};
constexpr ColorARGB kDrawOutline{255, 50, 255, 50};
constexpr ColorARGB kTargetOutline{255, 255, 50, 50};
constexpr ColorARGB kGridColour{255, 255, 255, 255};
constexpr ColorARGB kLabelText{255, 255, 255, 255};
constexpr ColorARGB kLabelBackground{122, 0, 0, 0};
constexpr Blend kTint{kBlendNone, 0.11f};
constexpr Blend kGridLine{kBlendNone, 0.17f};
// Below this many pixels between grid lines the panel is tinted instead.
constexpr double kFinestGridStep = 2.0;
// The coordinates box keeps clear of the pointer.
constexpr int kPointerClearance = 16;

double Scale(const Graphics& graphics) {
    return graphics.GuiScale() > 0.0 ? graphics.GuiScale() : 1.0;
}

}  // namespace

LayoutOverlay::LayoutOverlay(Graphics& graphics) : graphics_(graphics) {
    labelStyle_.face = "Tahoma";
    labelStyle_.size = 12;
    labelStyle_.color = kLabelText;
    labelStyle_.align = kAlignNear;
}

void LayoutOverlay::Draw(const LayoutEditor& editor) {
    if (editor.GridShown()) DrawGrid();
    for (int i = 1; i <= graphics_.LastLayerIndex(); ++i) {
        const Control* control = graphics_.GetControl(i);
        if (editor.Editable(control)) DrawOutlines(*control, editor.ShownTarget());
    }
    DrawSelectionLabel(editor);
    if (editor.CoordinatesShown() && editor.MouseX() >= 0) DrawCoordinates(editor);
    if (!editor.Deleted().empty()) DrawDeletedLine(editor);
}

void LayoutOverlay::DrawGrid() {
    const int width = graphics_.Width(), height = graphics_.Height();
    const double step = graphics_.GridSize() * Scale(graphics_);
    if (step < kFinestGridStep) {
        graphics_.FillRect(kGridColour, {0, 0, width, height}, &kTint);
        return;
    }
    for (double x = step; x < width; x += step) {
        const int at = static_cast<int>(x);
        graphics_.FillRect(kGridColour, {at, 0, at + 1, height}, &kGridLine);
    }
    for (double y = step; y < height; y += step) {
        const int at = static_cast<int>(y);
        graphics_.FillRect(kGridColour, {0, at, width, at + 1}, &kGridLine);
    }
}

namespace {

void Outline(Graphics& graphics, const ColorARGB& colour, const Rect& rect) {
    if (rect.IsEmpty() || rect.Width() <= 0 || rect.Height() <= 0) return;
    graphics.FillRect(colour, {rect.L, rect.T, rect.R, rect.T + 1}, nullptr);
    graphics.FillRect(colour, {rect.L, rect.B - 1, rect.R, rect.B}, nullptr);
    graphics.FillRect(colour, {rect.L, rect.T, rect.L + 1, rect.B}, nullptr);
    graphics.FillRect(colour, {rect.R - 1, rect.T, rect.R, rect.B}, nullptr);
}

}  // namespace

void LayoutOverlay::DrawOutlines(const Control& control, int shown) {
    const Rect& draw = control.DrawRect();
    const Rect& target = control.TargetRect();
    const bool equal = draw == target;
    if (shown != LayoutEditor::kTargetHit)
        Outline(graphics_, equal ? kEqualOutline : kDrawOutline, draw);
    if (shown != LayoutEditor::kTargetDraw && !(equal && shown == LayoutEditor::kTargetBoth))
        Outline(graphics_, equal ? kEqualOutline : kTargetOutline, target);
}

// A line of text on the label background, above the rectangle near (below it when there is no
// room above), as wide as the text.
void LayoutOverlay::DrawLabel(const std::string& text, const Rect& near) {
    Rect extent{0, 0, graphics_.Width(), kLabelHeight};
    if (!graphics_.MeasureText(labelStyle_, text, extent)) return;
    int top = near.T - kLabelHeight;
    if (top < 0) top = near.B;
    const int left = std::max(0, std::min(near.L, graphics_.Width() - extent.Width()));
    const Rect box{left, top, left + extent.Width(), top + kLabelHeight};
    graphics_.FillRect(kLabelBackground, box, nullptr);
    graphics_.DrawText(labelStyle_, text, box);
}

void LayoutOverlay::DrawSelectionLabel(const LayoutEditor& editor) {
    const Control* selected = editor.Selected();
    const GuiLayoutStore::Placement* placement =
        selected != nullptr ? GuiLayoutStore::Process().Find(editor.ViewMode(), selected) : nullptr;
    if (placement == nullptr) return;
    const bool target = editor.EditedTarget() == LayoutEditor::kTargetHit;
    const Rect edited = ScaledRect(target ? placement->target : placement->draw, 1.0);
    char text[160];
    std::snprintf(text, sizeof text, "N:%i Rect(%i,%i,%i,%i)", editor.BuiltIndex(selected),
                  edited.L, edited.T, edited.R, edited.B);
    std::string label = text;
    if (selected->IsHidden()) label += " (HIDDEN)";
    DrawLabel(label, target ? selected->TargetRect() : selected->DrawRect());
}

void LayoutOverlay::DrawCoordinates(const LayoutEditor& editor) {
    const double scale = Scale(graphics_);
    char text[64];
    std::snprintf(text, sizeof text, "x: %i, y: %i", static_cast<int>(editor.MouseX() / scale),
                  static_cast<int>(editor.MouseY() / scale));
    // Just off the pointer's lower right, so the text never hides what the pointer is on.
    const int x = editor.MouseX() + kPointerClearance, y = editor.MouseY() + kPointerClearance;
    DrawLabel(text, {x, y + kLabelHeight, x + 1, y + kLabelHeight});
}

void LayoutOverlay::DrawDeletedLine(const LayoutEditor& editor) {
    std::string text = " Delete this controls: ";
    for (const Control* control : editor.Deleted()) {
        char item[192];
        std::snprintf(item, sizeof item, "%i (%s), ", editor.BuiltIndex(control),
                      LayoutEditor::ClassName(*control).c_str());
        text += item;
    }
    DrawLabel(text, {0, kLabelHeight, 1, kLabelHeight});
}
