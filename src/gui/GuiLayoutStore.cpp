#include "gui/GuiLayoutStore.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "gui/Control.h"
#include "gui/Graphics.h"

namespace {

constexpr double kScaleTolerance = 1e-10;
// Just under a half, so that a coordinate lands on the pixel a designer placed it on.
constexpr double kPlacementRounding = 0.4999;

void Store(const Rect& rect, double (&coordinates)[4]) {
    coordinates[0] = rect.L;
    coordinates[1] = rect.T;
    coordinates[2] = rect.R;
    coordinates[3] = rect.B;
}

}  // namespace

int ScaledCoordinate(double coordinate, double scale) {
    const double scaled = (coordinate + kPlacementRounding) * scale;
    if (std::isnan(scaled)) return 0;
    return static_cast<int>(std::clamp(scaled, -1e9, 1e9));
}

Rect ScaledRect(const double (&coordinates)[4], double scale) {
    if (coordinates[0] == 0 && coordinates[1] == 0 && coordinates[2] == 0 && coordinates[3] == 0) {
        return {};
    }
    return {ScaledCoordinate(coordinates[0], scale), ScaledCoordinate(coordinates[1], scale),
            ScaledCoordinate(coordinates[2], scale), ScaledCoordinate(coordinates[3], scale)};
}

GuiLayoutStore& GuiLayoutStore::Process() {
    static GuiLayoutStore store;
    return store;
}

void GuiLayoutStore::Fill(const Graphics& graphics, int modeCount,
                          const std::vector<const Control*>& skip) {
    ModeLayout layout;
    for (int i = 0; i < graphics.GetNControls(); ++i) {
        Control* control = graphics.GetControl(i);
        if (control == nullptr || std::find(skip.begin(), skip.end(), control) != skip.end())
            continue;
        Placement placement;
        placement.control = control;
        Store(control->DrawRect(), placement.draw);
        Store(control->TargetRect(), placement.target);
        placement.hidden = control->IsHidden();
        layout.placements.push_back(placement);
    }
    layout.Reindex();
    modes_.assign(static_cast<size_t>(std::max(1, modeCount)), layout);
}

const std::vector<GuiLayoutStore::Placement>& GuiLayoutStore::Mode(int mode) const {
    static const std::vector<Placement> kNone;
    if (mode < 0 || mode >= ModeCount()) return kNone;
    return modes_[static_cast<size_t>(mode)].placements;
}

const GuiLayoutStore::Placement* GuiLayoutStore::Find(int mode, const Control* control) const {
    if (mode < 0 || mode >= ModeCount()) return nullptr;
    const ModeLayout& layout = modes_[static_cast<size_t>(mode)];
    const auto found = layout.index.find(control);
    return found == layout.index.end() ? nullptr : &layout.placements[found->second];
}

GuiLayoutStore::Placement* GuiLayoutStore::FindForEdit(int mode, const Control* control) {
    return const_cast<Placement*>(Find(mode, control));
}

void GuiLayoutStore::ModeLayout::Reindex() {
    index.clear();
    for (size_t i = 0; i < placements.size(); ++i)
        index[placements[i].control] = i;
}

void GuiLayoutStore::SetMode(int mode, std::vector<Placement> placements) {
    if (mode < 0 || mode >= ModeCount()) return;
    ModeLayout& layout = modes_[static_cast<size_t>(mode)];
    layout.placements = std::move(placements);
    layout.Reindex();
}

bool GuiLayoutStore::Place(int mode, const Control* control, int layerPosition, const Rect& draw,
                           const Rect& target, bool hidden) {
    if (mode < 0 || mode >= ModeCount()) return false;
    ModeLayout& layout = modes_[static_cast<size_t>(mode)];
    const auto found = layout.index.find(control);
    if (found == layout.index.end()) return false;
    Placement placement = layout.placements[found->second];
    Store(draw, placement.draw);
    Store(target, placement.target);
    placement.hidden = hidden;
    layout.placements.erase(layout.placements.begin() + static_cast<std::ptrdiff_t>(found->second));
    const size_t at =
        std::min(static_cast<size_t>(std::max(layerPosition, 0)), layout.placements.size());
    layout.placements.insert(layout.placements.begin() + static_cast<std::ptrdiff_t>(at),
                             placement);
    layout.Reindex();
    return true;
}

bool GuiLayoutStore::RenderStrips(Graphics& graphics, double scale) {
    const std::optional<double> sized = graphics.Images().Scale();
    if (sized && std::fabs(*sized - scale) < kScaleTolerance) return false;
    graphics.RenderAllStrips(scale);
    ++renderCount_;
    return true;
}

void GuiLayoutStore::Clear() {
    *this = GuiLayoutStore();
}
