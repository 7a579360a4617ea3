#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "gui/GuiLayoutStore.h"
#include "gui/LayoutEntry.h"
#include "gui/LayoutOverlay.h"
#include "gui/MouseKeys.h"

class Control;
class Graphics;
class GuiResize;

// Layout editing on the running panel, for the panel's developer. With the graphics core's
// layout mode 1 the key E switches it on and off; while it is on, the mouse selects, moves and
// resizes controls instead of reaching them, a context menu offers layer, visibility and undo
// commands, and an overlay shows the grid and every control's rectangles. Each completed change
// goes into the layout store of the resize control (so zooming keeps it) and into a generated
// "PanelLayout.h" whose code reproduces the layout after a rebuild; that header is read back at
// the first activation. GUI thread only.
class LayoutEditor {
public:
    // Which of a control's rectangles the mouse edits (and the overlay shows).
    enum EditTarget : int { kTargetBoth = 0, kTargetDraw = 1, kTargetHit = 2 };
    // The corner zone that resizes, at 100 %.
    static constexpr int kCornerZone = 8;

    // Takes the panel as built (its control order names the controls in the header) and
    // registers itself with graphics. The graphics core and the resize control outlive it.
    LayoutEditor(Graphics& graphics, GuiResize* resize);
    ~LayoutEditor();
    LayoutEditor(const LayoutEditor&) = delete;
    LayoutEditor& operator=(const LayoutEditor&) = delete;

    // Where the generated header goes; the process's working folder unless set.
    void SetHeaderPath(const std::string& path) { headerPath_ = path; }
    const std::string& HeaderPath() const { return headerPath_; }

    // --- What the graphics core hands over ---
    // E toggles editing; B, D and T choose the edited rectangle (with Shift only the shown one).
    // True when the key was used.
    bool KeyDown(int key, const MouseKeys& keys);
    void MouseDown(int x, int y, const MouseKeys& keys);
    void MouseDrag(int x, int y, const MouseKeys& keys);
    void MouseUp(int x, int y, const MouseKeys& keys);
    void MouseMove(int x, int y, const MouseKeys& keys);
    void DrawOverlay();

    // --- State ---
    bool Editing() const;
    int EditedTarget() const { return editTarget_; }
    int ShownTarget() const { return shownTarget_; }
    // The control the commands apply to (the last one selected), or null.
    Control* Selected() const { return selection_.empty() ? nullptr : selection_.back(); }
    const std::vector<Control*>& Selection() const { return selection_; }
    const std::vector<Control*>& Deleted() const { return deleted_; }
    bool GridShown() const { return gridShown_; }
    bool CoordinatesShown() const { return coordinatesShown_; }
    // Where the pointer was last seen on the panel; -1 before.
    int MouseX() const { return mouseX_; }
    int MouseY() const { return mouseY_; }
    // The view mode whose layout is edited.
    int ViewMode() const;
    // A control that editing reaches: in the layers that may move, recorded, not deleted.
    bool Editable(const Control* control) const;
    // The control's place in the order the panel was built; -1 for a stranger.
    int BuiltIndex(const Control* control) const;
    bool CanUndo() const;
    bool CanRedo() const;
    void Undo();
    void Redo();
    // What the header holds for the layout as it stands.
    LayoutModes CurrentLayout() const;
    // The class of a control as the header names it ("class KnobMultiControl").
    static std::string ClassName(const Control& control);

private:
    using Placement = GuiLayoutStore::Placement;
    using Placements = std::vector<Placement>;
    struct History {
        std::vector<Placements> snapshots;
        size_t position = 0;
    };
    // A selected control's rectangles at 100 % when the drag began.
    struct Pressed {
        Control* control = nullptr;
        double draw[4] = {};
        double target[4] = {};
    };
    enum MenuCommand : int;

    void SetEditing(bool on);
    void Activate();
    void ReadBackHeader();
    double Scale() const;
    bool IsDeleted(const Control* control) const;
    bool IsSelected(const Control* control) const;
    Control* HitEditable(int x, int y) const;
    Control* HitBy(bool target, int x, int y, bool hidden) const;
    bool InCornerZone(const Rect& rect, int x, int y) const;
    bool OverCornerZone(int x, int y) const;
    void Select(Control* control);
    void ClearSelection();

    void BeginDrag(Control* hit, int x, int y);
    void MoveSelection(double dx, double dy, const MouseKeys& keys);
    void ResizeSelected(double dx, double dy, const MouseKeys& keys);
    void Settle(double& x, double& y, double width, double height, const MouseKeys& keys) const;
    double AlignShift(const std::vector<double>& edges, bool vertical) const;
    void Place(Control* control, const double (&draw)[4], const double (&target)[4]);

    void ShowContextMenu(int x, int y);
    void RunCommand(MenuCommand command);
    void ResetSelected(bool position);
    void MergeSelected();
    void ShowSelected(bool show);
    void MoveLayer(MenuCommand command);
    void ResetView();
    void DeleteSelected();

    Placements Snapshot() const;
    History& HistoryOfMode();
    void RecordChange();
    void Restore(const Placements& placements);
    void ApplyToPanel(const Placements& before);
    void TakeLayerOrder();
    void WriteHeader();
    bool DiffersFromDefault(const Control* control, bool position) const;
    const Placement* DefaultOf(const Control* control) const;

    Graphics& graphics_;
    GuiResize* resize_;
    std::vector<Control*> built_;
    std::unordered_map<const Control*, int> builtIndex_;
    std::vector<Placements> defaults_;
    std::vector<History> history_;
    std::vector<Control*> selection_;
    std::vector<Control*> deleted_;
    std::vector<Pressed> pressed_;
    std::string headerPath_;
    int editTarget_ = kTargetBoth;
    int shownTarget_ = kTargetBoth;
    bool activated_ = false;
    bool gridShown_ = true;
    bool coordinatesShown_ = true;
    bool dragging_ = false;
    bool resizing_ = false;
    bool byTarget_ = false;  // the drag follows the mouse area rather than the picture
    bool changed_ = false;
    int pressX_ = 0;
    int pressY_ = 0;
    int mouseX_ = -1;
    int mouseY_ = -1;
    LayoutOverlay overlay_;
};
