#include "gui/LayoutEditor.h"

#include <cxxabi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>
#include <typeinfo>

#include "gui/Control.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "gui/LayoutHeaderReader.h"
#include "gui/LayoutHeaderWriter.h"
#include "gui/LayoutOverlay.h"
#include "gui/PanelKeys.h"
#include "gui/PopupMenu.h"
#include "util/DebugPrint.h"

// The context menu's commands; a menu lists those that apply, in this order.
enum LayoutEditor::MenuCommand : int {
    kUndo,
    kRedo,
    kResetPosition,
    kResetSize,
    kMerge,
    kShowControl,
    kHideControl,
    kBringToFront,
    kSendToBack,
    kBringForward,
    kSendBackward,
    kDeselect,
    kToggleGrid,
    kToggleCoordinates,
    kResetView,
    kDelete,
};

namespace {

constexpr int kKeyB = kKeyLetterA + ('B' - 'A');
constexpr int kKeyD = kKeyLetterA + ('D' - 'A');
constexpr int kKeyT = kKeyLetterA + ('T' - 'A');

constexpr const char* kDeleteCaption = "Warning!!!";

Rect Stored(const double (&c)[4]) {
    return ScaledRect(c, 1.0);
}

void Copy(const double (&from)[4], double (&to)[4]) {
    std::copy(std::begin(from), std::end(from), std::begin(to));
}

bool Same(const double (&a)[4], const double (&b)[4]) {
    return std::equal(std::begin(a), std::end(a), std::begin(b));
}

// The remainder towards the grid line at or before v, also for negative v.
double GridRemainder(double v, double step) {
    return v - std::floor(v / step) * step;
}

void Translate(double (&c)[4], double dx, double dy) {
    c[0] += dx;
    c[1] += dy;
    c[2] += dx;
    c[3] += dy;
}

}  // namespace

LayoutEditor::LayoutEditor(Graphics& graphics, GuiResize* resize)
    : graphics_(graphics), resize_(resize), overlay_(graphics) {
    for (int i = 0; i < graphics_.GetNControls(); ++i) {
        built_.push_back(graphics_.GetControl(i));
        builtIndex_[built_.back()] = i;
    }
    const GuiLayoutStore& store = GuiLayoutStore::Process();
    for (int mode = 0; mode < store.ModeCount(); ++mode)
        defaults_.push_back(store.Mode(mode));
    history_.resize(defaults_.size());
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    if (!error) headerPath_ = (folder / LayoutHeaderWriter::kFileName).string();
    graphics_.SetLayoutEditor(this);
}

LayoutEditor::~LayoutEditor() {
    if (graphics_.GetLayoutEditor() != this) return;
    graphics_.SetLayoutEditor(nullptr);
    graphics_.SetLayoutEditing(graphics_.LayoutMode(), false);
}

std::string LayoutEditor::ClassName(const Control& control) {
    const char* mangled = typeid(control).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return std::string("class ") + (status == 0 && name ? name.get() : mangled);
}

// --- Switching on and off ---

bool LayoutEditor::Editing() const {
    return graphics_.LayoutEditing() && graphics_.GetLayoutEditor() == this;
}

bool LayoutEditor::KeyDown(int key, const MouseKeys& keys) {
    if (graphics_.LayoutMode() != 1) return false;
    if (key == kKeyLetterE) {
        SetEditing(!graphics_.LayoutEditing());
        return true;
    }
    if (!graphics_.LayoutEditing()) return false;
    int target = -1;
    if (key == kKeyB) target = kTargetBoth;
    if (key == kKeyD) target = kTargetDraw;
    if (key == kKeyT) target = kTargetHit;
    if (target < 0) return false;
    shownTarget_ = target;
    if (!keys.S) {
        editTarget_ = target;
        ClearSelection();
    }
    graphics_.MarkAllDirty();
    return true;
}

void LayoutEditor::SetEditing(bool on) {
    graphics_.SetLayoutEditing(graphics_.LayoutMode(), on);
    if (on && !activated_) Activate();
    if (!on) {
        dragging_ = false;
        pressed_.clear();
        graphics_.SetCursorShape(kCursorArrow);
    }
    graphics_.MarkAllDirty();
}

void LayoutEditor::Activate() {
    activated_ = true;
    ReadBackHeader();
    // The first undo step of the current view is the layout as editing found it.
    HistoryOfMode();
}

void LayoutEditor::ReadBackHeader() {
    const std::optional<LayoutModes> modes = LayoutHeaderReader::Read(headerPath_);
    if (!modes) return;  // no header yet: the layout stays as built
    GuiLayoutStore& store = GuiLayoutStore::Process();
    const Placements before = store.Mode(ViewMode());
    const size_t count = std::min(modes->size(), static_cast<size_t>(store.ModeCount()));
    for (size_t mode = 0; mode < count; ++mode) {
        std::vector<LayoutEntry> entries = (*modes)[mode];
        std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
            return a.layerPosition < b.layerPosition;
        });
        for (const LayoutEntry& entry : entries) {
            // The background stays under everything, whatever a header says.
            if (entry.controlIndex < 1 || entry.layerPosition < 1 ||
                entry.controlIndex >= static_cast<int>(built_.size()))
                continue;
            const Control* control = built_[static_cast<size_t>(entry.controlIndex)];
            // A header of another build of the panel names other classes; those lines are left.
            if (ClassName(*control) != entry.className) continue;
            store.Place(static_cast<int>(mode), control, entry.layerPosition, entry.draw,
                        entry.target, entry.hidden);
        }
    }
    ApplyToPanel(before);
}

// --- Where things are ---

int LayoutEditor::ViewMode() const {
    return resize_ != nullptr ? resize_->ViewModeIndex() : 0;
}

double LayoutEditor::Scale() const {
    const double scale = graphics_.GuiScale();
    return scale > 0.0 ? scale : 1.0;
}

int LayoutEditor::BuiltIndex(const Control* control) const {
    const auto found = builtIndex_.find(control);
    return found == builtIndex_.end() ? -1 : found->second;
}

bool LayoutEditor::IsDeleted(const Control* control) const {
    return std::find(deleted_.begin(), deleted_.end(), control) != deleted_.end();
}

bool LayoutEditor::IsSelected(const Control* control) const {
    return std::find(selection_.begin(), selection_.end(), control) != selection_.end();
}

bool LayoutEditor::Editable(const Control* control) const {
    if (control == nullptr || IsDeleted(control)) return false;
    const int index = control->ListIndex();
    return index >= 1 && index <= graphics_.LastLayerIndex() &&
           GuiLayoutStore::Process().Find(ViewMode(), control) != nullptr;
}

// The control under the point: the topmost one whose mouse area holds it, else the one with the
// smallest picture that holds it (pictures overlap a lot: a fader's frame reaches into the next
// row, an overlay covers the whole panel). A hidden control only where no shown one is (the
// panel keeps alternatives, such as the effect sections, in the same place).
Control* LayoutEditor::HitEditable(int x, int y) const {
    for (const bool hidden : {false, true}) {
        if (editTarget_ != kTargetDraw) {
            if (Control* control = HitBy(true, x, y, hidden)) return control;
        }
        if (editTarget_ != kTargetHit) {
            if (Control* control = HitBy(false, x, y, hidden)) return control;
        }
    }
    return nullptr;
}

Control* LayoutEditor::HitBy(bool target, int x, int y, bool hidden) const {
    Control* found = nullptr;
    int64_t foundArea = 0;
    for (int i = graphics_.LastLayerIndex(); i >= 1; --i) {
        Control* control = graphics_.GetControl(i);
        if (!Editable(control) || control->IsHidden() != hidden) continue;
        const Rect& rect = target ? control->TargetRect() : control->DrawRect();
        if (!rect.Contains(x, y)) continue;
        if (target) return control;
        const int64_t area = static_cast<int64_t>(rect.Width()) * rect.Height();
        if (found == nullptr || area < foundArea) {
            found = control;
            foundArea = area;
        }
    }
    return found;
}

bool LayoutEditor::InCornerZone(const Rect& rect, int x, int y) const {
    if (rect.IsEmpty()) return false;
    const int side = std::max(1, static_cast<int>(kCornerZone * Scale()));
    return Rect{rect.R - side, rect.B - side, rect.R, rect.B}.Contains(x, y);
}

bool LayoutEditor::OverCornerZone(int x, int y) const {
    for (int i = graphics_.LastLayerIndex(); i >= 1; --i) {
        const Control* control = graphics_.GetControl(i);
        if (!Editable(control)) continue;
        if (editTarget_ != kTargetHit && InCornerZone(control->DrawRect(), x, y)) return true;
        if (editTarget_ != kTargetDraw && InCornerZone(control->TargetRect(), x, y)) return true;
    }
    return false;
}

void LayoutEditor::Select(Control* control) {
    selection_.erase(std::remove(selection_.begin(), selection_.end(), control), selection_.end());
    selection_.push_back(control);
}

void LayoutEditor::ClearSelection() {
    selection_.clear();
    pressed_.clear();
    dragging_ = false;
}

// --- The mouse ---

void LayoutEditor::MouseDown(int x, int y, const MouseKeys& keys) {
    mouseX_ = x;
    mouseY_ = y;
    Control* hit = HitEditable(x, y);
    if (keys.R) {
        if (hit != nullptr && !IsSelected(hit)) selection_.assign(1, hit);
        graphics_.MarkAllDirty();
        ShowContextMenu(x, y);
        return;
    }
    if (!keys.L) return;
    if (keys.C) {
        // Ctrl adds a control to the selection or takes it out again; nothing moves.
        if (hit != nullptr && IsSelected(hit)) {
            selection_.erase(std::remove(selection_.begin(), selection_.end(), hit),
                             selection_.end());
        } else if (hit != nullptr) {
            Select(hit);
        }
        graphics_.MarkAllDirty();
        return;
    }
    if (hit == nullptr) {
        ClearSelection();
    } else {
        if (!IsSelected(hit)) selection_.clear();
        Select(hit);
        BeginDrag(hit, x, y);
    }
    graphics_.MarkAllDirty();
}

void LayoutEditor::BeginDrag(Control* hit, int x, int y) {
    pressed_.clear();
    const GuiLayoutStore& store = GuiLayoutStore::Process();
    for (Control* control : selection_) {
        const Placement* placement = store.Find(ViewMode(), control);
        if (placement == nullptr) continue;
        Pressed pressed;
        pressed.control = control;
        Copy(placement->draw, pressed.draw);
        Copy(placement->target, pressed.target);
        pressed_.push_back(pressed);
    }
    // With both rectangles edited, the one pressed leads and the other follows.
    byTarget_ = editTarget_ == kTargetHit ||
                (editTarget_ == kTargetBoth && hit->TargetRect().Contains(x, y));
    resizing_ = InCornerZone(byTarget_ ? hit->TargetRect() : hit->DrawRect(), x, y);
    if (!resizing_ && editTarget_ == kTargetBoth &&
        InCornerZone(byTarget_ ? hit->DrawRect() : hit->TargetRect(), x, y)) {
        resizing_ = true;
        byTarget_ = !byTarget_;
    }
    dragging_ = !pressed_.empty();
    changed_ = false;
    pressX_ = x;
    pressY_ = y;
}

void LayoutEditor::MouseDrag(int x, int y, const MouseKeys& keys) {
    mouseX_ = x;
    mouseY_ = y;
    if (!dragging_ || !keys.L || keys.C) return;
    const double dx = (x - pressX_) / Scale(), dy = (y - pressY_) / Scale();
    if (resizing_) {
        graphics_.SetCursorShape(kCursorResizeDiagonal);
        ResizeSelected(dx, dy, keys);
    } else {
        MoveSelection(dx, dy, keys);
    }
    graphics_.MarkAllDirty();
}

void LayoutEditor::MouseUp(int x, int y, const MouseKeys& keys) {
    (void)keys;
    mouseX_ = x;
    mouseY_ = y;
    const bool completed = dragging_ && changed_;
    dragging_ = false;
    pressed_.clear();
    if (completed) RecordChange();
    graphics_.MarkAllDirty();
}

void LayoutEditor::MouseMove(int x, int y, const MouseKeys& keys) {
    (void)keys;
    mouseX_ = x;
    mouseY_ = y;
    graphics_.SetCursorShape(OverCornerZone(x, y) ? kCursorResizeDiagonal : kCursorArrow);
    if (coordinatesShown_) graphics_.MarkAllDirty();
}

// The controls keep the spacing they had; the edited rectangle of the control under the press
// decides the snap, and the other rectangle follows when both are edited.
void LayoutEditor::MoveSelection(double dx, double dy, const MouseKeys& keys) {
    const Pressed& lead = pressed_.back();
    const double(&edited)[4] = byTarget_ ? lead.target : lead.draw;
    double left = edited[0] + dx, top = edited[1] + dy;
    Settle(left, top, edited[2] - edited[0], edited[3] - edited[1], keys);
    const double moveX = left - edited[0], moveY = top - edited[1];
    for (const Pressed& pressed : pressed_) {
        double draw[4], target[4];
        Copy(pressed.draw, draw);
        Copy(pressed.target, target);
        if (editTarget_ != kTargetHit) Translate(draw, moveX, moveY);
        if (editTarget_ != kTargetDraw) Translate(target, moveX, moveY);
        Place(pressed.control, draw, target);
    }
}

void LayoutEditor::ResizeSelected(double dx, double dy, const MouseKeys& keys) {
    const Pressed& lead = pressed_.back();
    const double(&edited)[4] = byTarget_ ? lead.target : lead.draw;
    double right = edited[2] + dx, bottom = edited[3] + dy;
    Settle(right, bottom, 0.0, 0.0, keys);
    // A control keeps at least one unit each way, so it can still be found and grown again.
    right = std::max(right, edited[0] + 1.0);
    bottom = std::max(bottom, edited[1] + 1.0);
    const double growX = right - edited[2], growY = bottom - edited[3];
    double draw[4], target[4];
    Copy(lead.draw, draw);
    Copy(lead.target, target);
    if (editTarget_ != kTargetHit) {
        draw[2] += growX;
        draw[3] += growY;
    }
    if (editTarget_ != kTargetDraw) {
        target[2] += growX;
        target[3] += growY;
    }
    Place(lead.control, draw, target);
}

// Brings the edge at x and the one at y onto the grid line before them unless Alt is held;
// with Shift, then onto the nearest edge of another control, counting the far edges width and
// height away too (none when 0).
void LayoutEditor::Settle(double& x, double& y, double width, double height,
                          const MouseKeys& keys) const {
    const double grid = graphics_.GridSize();
    if (!keys.A) {
        x -= GridRemainder(x, grid);
        y -= GridRemainder(y, grid);
    }
    if (!keys.S) return;
    const auto edges = [](double near, double extent) {
        return extent > 0.0 ? std::vector<double>{near, near + extent} : std::vector<double>{near};
    };
    x += AlignShift(edges(x, width), false);
    y += AlignShift(edges(y, height), true);
}

// The shift that brings the nearest of the given edges onto an edge of another control, when
// one is within a grid step; 0 otherwise.
double LayoutEditor::AlignShift(const std::vector<double>& edges, bool vertical) const {
    const double reach = graphics_.GridSize();
    double best = 0.0;
    bool found = false;
    for (const Placement& other : GuiLayoutStore::Process().Mode(ViewMode())) {
        const Control* control = other.control;
        if (IsSelected(control) || !Editable(control) || control->IsHidden()) continue;
        const double(&rect)[4] = byTarget_ ? other.target : other.draw;
        for (const double theirs : {vertical ? rect[1] : rect[0], vertical ? rect[3] : rect[2]}) {
            for (const double ours : edges) {
                const double shift = theirs - ours;
                if (std::fabs(shift) > reach || (found && std::fabs(shift) >= std::fabs(best)))
                    continue;
                best = shift;
                found = true;
            }
        }
    }
    return best;
}

void LayoutEditor::Place(Control* control, const double (&draw)[4], const double (&target)[4]) {
    Placement* placement = GuiLayoutStore::Process().FindForEdit(ViewMode(), control);
    if (placement == nullptr) return;
    if (!Same(placement->draw, draw) || !Same(placement->target, target)) changed_ = true;
    Copy(draw, placement->draw);
    Copy(target, placement->target);
    control->SetDrawRECT(ScaledRect(draw, Scale()));
    control->SetTargetRECT(ScaledRect(target, Scale()));
}

// --- The context menu ---

void LayoutEditor::ShowContextMenu(int x, int y) {
    struct Entry {
        MenuCommand command;
        const char* text;
        bool shown;
    };
    const Control* selected = Selected();
    const Placement* placement =
        selected != nullptr ? GuiLayoutStore::Process().Find(ViewMode(), selected) : nullptr;
    const bool one = placement != nullptr;
    const int layer = one ? selected->ListIndex() : -1;
    const int last = graphics_.LastLayerIndex();
    const bool hidden = one && selected->IsHidden();
    const bool merged = one && Same(placement->draw, placement->target);
    const Entry entries[] = {
        {kUndo, "Undo", CanUndo()},
        {kRedo, "Redo", CanRedo()},
        {kResetPosition, "Reset Control Position", one && DiffersFromDefault(selected, true)},
        {kResetSize, "Reset Control Size", one && DiffersFromDefault(selected, false)},
        {kMerge, "Merge Draw and Target Rect", one && !merged},
        {kShowControl, "Show Control", one && hidden},
        {kHideControl, "Hide Control", one && !hidden},
        {kBringToFront, "Bring to Front", one && layer < last},
        {kSendToBack, "Send to Back", one && layer > 1},
        {kBringForward, "Bring Forward", one && layer < last},
        {kSendBackward, "Send Backward", one && layer > 1},
        {kDeselect, "Deselect", !selection_.empty()},
        {kToggleGrid, gridShown_ ? "Hide Grid" : "Show Grid", true},
        {kToggleCoordinates,
         coordinatesShown_ ? "Hide Mouse Coordinates" : "Show Mouse Coordinates", true},
        {kResetView, "Reset View to Default", ViewMode() < static_cast<int>(defaults_.size())},
        {kDelete, "Delete Control !!!", one},
    };
    PopupMenu menu;
    std::vector<MenuCommand> commands;
    for (const Entry& entry : entries) {
        if (!entry.shown) continue;
        menu.AddItem(entry.text);
        commands.push_back(entry.command);
    }
    const PopupMenu* chosen = graphics_.ShowPopupMenu(menu, {x, y, x + 1, y});
    if (chosen != &menu || chosen->ChosenIndex() < 0 ||
        chosen->ChosenIndex() >= static_cast<int>(commands.size()))
        return;
    RunCommand(commands[static_cast<size_t>(chosen->ChosenIndex())]);
    graphics_.MarkAllDirty();
}

void LayoutEditor::RunCommand(MenuCommand command) {
    switch (command) {
        case kUndo:
            Undo();
            break;
        case kRedo:
            Redo();
            break;
        case kResetPosition:
        case kResetSize:
            ResetSelected(command == kResetPosition);
            break;
        case kMerge:
            MergeSelected();
            break;
        case kShowControl:
        case kHideControl:
            ShowSelected(command == kShowControl);
            break;
        case kBringToFront:
        case kSendToBack:
        case kBringForward:
        case kSendBackward:
            MoveLayer(command);
            break;
        case kDeselect:
            ClearSelection();
            break;
        case kToggleGrid:
            gridShown_ = !gridShown_;
            break;
        case kToggleCoordinates:
            coordinatesShown_ = !coordinatesShown_;
            break;
        case kResetView:
            ResetView();
            break;
        case kDelete:
            DeleteSelected();
            break;
    }
}

const GuiLayoutStore::Placement* LayoutEditor::DefaultOf(const Control* control) const {
    const int mode = ViewMode();
    if (mode < 0 || mode >= static_cast<int>(defaults_.size())) return nullptr;
    for (const Placement& placement : defaults_[static_cast<size_t>(mode)]) {
        if (placement.control == control) return &placement;
    }
    return nullptr;
}

bool LayoutEditor::DiffersFromDefault(const Control* control, bool position) const {
    const Placement* built = DefaultOf(control);
    const Placement* now = GuiLayoutStore::Process().Find(ViewMode(), control);
    if (built == nullptr || now == nullptr) return false;
    for (auto member : {&Placement::draw, &Placement::target}) {
        const double(&a)[4] = built->*member;
        const double(&b)[4] = now->*member;
        if (position && (a[0] != b[0] || a[1] != b[1])) return true;
        if (!position && (a[2] - a[0] != b[2] - b[0] || a[3] - a[1] != b[3] - b[1])) return true;
    }
    return false;
}

void LayoutEditor::ResetSelected(bool position) {
    for (Control* control : selection_) {
        const Placement* built = DefaultOf(control);
        const Placement* now = GuiLayoutStore::Process().Find(ViewMode(), control);
        if (built == nullptr || now == nullptr) continue;
        double draw[4], target[4];
        Copy(now->draw, draw);
        Copy(now->target, target);
        for (auto [rect, original] :
             {std::pair{&draw, &built->draw}, std::pair{&target, &built->target}}) {
            double(&c)[4] = *rect;
            const double(&o)[4] = *original;
            if (position) {
                Translate(c, o[0] - c[0], o[1] - c[1]);
            } else {
                c[2] = c[0] + (o[2] - o[0]);
                c[3] = c[1] + (o[3] - o[1]);
            }
        }
        Place(control, draw, target);
    }
    RecordChange();
}

void LayoutEditor::MergeSelected() {
    for (Control* control : selection_) {
        const Placement* now = GuiLayoutStore::Process().Find(ViewMode(), control);
        if (now == nullptr) continue;
        double draw[4];
        Copy(now->draw, draw);
        Place(control, draw, draw);
    }
    RecordChange();
}

void LayoutEditor::ShowSelected(bool show) {
    for (Control* control : selection_) {
        Placement* placement = GuiLayoutStore::Process().FindForEdit(ViewMode(), control);
        if (placement == nullptr) continue;
        placement->hidden = !show;
        control->Hide(!show);
    }
    RecordChange();
}

void LayoutEditor::MoveLayer(MenuCommand command) {
    const Control* selected = Selected();
    if (selected == nullptr) return;
    const int at = selected->ListIndex();
    switch (command) {
        case kBringToFront:
            graphics_.MoveControl(at, graphics_.LastLayerIndex());
            break;
        case kSendToBack:
            graphics_.MoveControl(at, 1);
            break;
        case kBringForward:
            graphics_.SwapControls(at, at + 1);
            break;
        default:
            graphics_.SwapControls(at, at - 1);
            break;
    }
    TakeLayerOrder();
    RecordChange();
}

void LayoutEditor::ResetView() {
    const int mode = ViewMode();
    if (mode < 0 || mode >= static_cast<int>(defaults_.size())) return;
    Restore(defaults_[static_cast<size_t>(mode)]);
    RecordChange();
}

void LayoutEditor::DeleteSelected() {
    Control* selected = Selected();
    const int index = BuiltIndex(selected);
    if (selected == nullptr || index < 0) return;
    char number[32];
    std::snprintf(number, sizeof number, "%i!", index);
    const std::string text =
        std::string("If you confirm this dialog, you need to delete control number ") + number +
        "\n\n"
        "Delete control from plugin constructor immediately, otherwise your GUI layout will be "
        "messed up after next recompile...\n\n"
        "If you want to add new control, just place it after last attached control in plugin "
        "constructor.";
    if (graphics_.ShowMessage(text, kDeleteCaption, kMessageWarning) != kAnswerOk) return;
    deleted_.push_back(selected);
    selection_.erase(std::remove(selection_.begin(), selection_.end(), selected), selection_.end());
    const Placements current = GuiLayoutStore::Process().Mode(ViewMode());
    ApplyToPanel(current);
    WriteHeader();
}

// --- Undo and the header ---

// The hidden flags of a step are the layout's (as built, or as "Hide Control" set them), not
// what the panel's own logic shows at the moment (the effect sections come and go with the
// effect type): restoring a step must not bring back a section the panel has put away.
LayoutEditor::Placements LayoutEditor::Snapshot() const {
    return GuiLayoutStore::Process().Mode(ViewMode());
}

LayoutEditor::History& LayoutEditor::HistoryOfMode() {
    const size_t mode = static_cast<size_t>(std::max(0, ViewMode()));
    if (history_.size() <= mode) history_.resize(mode + 1);
    History& history = history_[mode];
    if (history.snapshots.empty()) {
        history.snapshots.push_back(Snapshot());
        history.position = 0;
    }
    return history;
}

bool LayoutEditor::CanUndo() const {
    const size_t mode = static_cast<size_t>(std::max(0, ViewMode()));
    return mode < history_.size() && history_[mode].position > 0;
}

bool LayoutEditor::CanRedo() const {
    const size_t mode = static_cast<size_t>(std::max(0, ViewMode()));
    return mode < history_.size() && history_[mode].position + 1 < history_[mode].snapshots.size();
}

void LayoutEditor::RecordChange() {
    History& history = HistoryOfMode();
    history.snapshots.resize(history.position + 1);
    history.snapshots.push_back(Snapshot());
    history.position = history.snapshots.size() - 1;
    WriteHeader();
    graphics_.MarkAllDirty();
}

void LayoutEditor::Undo() {
    if (!CanUndo()) return;
    History& history = HistoryOfMode();
    --history.position;
    Restore(history.snapshots[history.position]);
    WriteHeader();
}

void LayoutEditor::Redo() {
    if (!CanRedo()) return;
    History& history = HistoryOfMode();
    ++history.position;
    Restore(history.snapshots[history.position]);
    WriteHeader();
}

void LayoutEditor::Restore(const Placements& placements) {
    GuiLayoutStore& store = GuiLayoutStore::Process();
    const Placements before = store.Mode(ViewMode());
    store.SetMode(ViewMode(), placements);
    ApplyToPanel(before);
}

// Puts the controls into the store's layer order and at its rectangles. Only a control whose
// hidden flag the change itself turned is shown or hidden: the rest is the panel's business.
void LayoutEditor::ApplyToPanel(const Placements& before) {
    const Placements& placements = GuiLayoutStore::Process().Mode(ViewMode());
    const int last = std::min(graphics_.LastLayerIndex(), static_cast<int>(placements.size()) - 1);
    for (int i = 1; i <= last; ++i) {
        Control* control = placements[static_cast<size_t>(i)].control;
        if (graphics_.GetControl(i) != control) graphics_.ReplaceControl(i, control);
    }
    const double scale = Scale();
    for (size_t i = 1; i < placements.size(); ++i) {
        const Placement& placement = placements[i];
        Control* control = placement.control;
        control->SetDrawRECT(ScaledRect(placement.draw, scale));
        control->SetTargetRECT(ScaledRect(placement.target, scale));
        const auto earlier = std::find_if(before.begin(), before.end(), [control](const auto& p) {
            return p.control == control;
        });
        if (earlier != before.end() && earlier->hidden != placement.hidden)
            control->Hide(placement.hidden);
    }
    graphics_.MarkAllDirty();
}

// The store follows a layer change made on the panel.
void LayoutEditor::TakeLayerOrder() {
    GuiLayoutStore& store = GuiLayoutStore::Process();
    const Placements& current = store.Mode(ViewMode());
    Placements ordered;
    ordered.reserve(current.size());
    for (int i = 0; i < graphics_.GetNControls(); ++i) {
        if (const Placement* placement = store.Find(ViewMode(), graphics_.GetControl(i)))
            ordered.push_back(*placement);
    }
    if (ordered.size() == current.size()) store.SetMode(ViewMode(), std::move(ordered));
}

LayoutModes LayoutEditor::CurrentLayout() const {
    const GuiLayoutStore& store = GuiLayoutStore::Process();
    LayoutModes modes(static_cast<size_t>(store.ModeCount()));
    for (int mode = 0; mode < store.ModeCount(); ++mode) {
        const Placements& placements = store.Mode(mode);
        for (size_t layer = 1; layer < placements.size(); ++layer) {
            const Placement& placement = placements[layer];
            const int index = BuiltIndex(placement.control);
            if (index < 1 || IsDeleted(placement.control)) continue;
            LayoutEntry entry;
            entry.className = ClassName(*placement.control);
            entry.controlIndex = index;
            entry.layerPosition = static_cast<int>(layer);
            entry.draw = Stored(placement.draw);
            entry.target = Stored(placement.target);
            entry.hidden = placement.hidden;
            modes[static_cast<size_t>(mode)].push_back(entry);
        }
    }
    return modes;
}

void LayoutEditor::WriteHeader() {
    // A header that cannot be written is left: the layout on the panel stays as edited.
    if (!LayoutHeaderWriter::Write(headerPath_, CurrentLayout()))
        DebugPrint("Layout header not written: %s", headerPath_.c_str());
}

void LayoutEditor::DrawOverlay() {
    overlay_.Draw(*this);
}
