#include "gui/GuiResize.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

#include "gui/ClipCanvas.h"
#include "gui/Graphics.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiScaleSetting.h"
#include "gui/HorizontalResizing.h"
#include "gui/PanelKeys.h"
#include "gui/StripResampler.h"
#include "gui/VerticalResizing.h"
#include "plugin/PluginBase.h"
#include "raster/BlendMode.h"
#include "raster/Draw.h"
#include "util/DebugPrint.h"

namespace {

constexpr double kScaleTolerance = 1e-10;
constexpr ColorARGB kDragFill{255, 0x19, 0x19, 0x19};
constexpr ColorARGB kWhite{255, 255, 255, 255};
// The state parameters hold -1 until the host restores a value.
constexpr int kStateUnset = -1;
constexpr int kStateHighest = 1000000;
// A stored scale is taken as it stands, within what a panel bitmap can hold: the display
// is never wider than 8192 pixels.
constexpr double kSmallestStoredScale = 0.1;
constexpr double kLargestStoredScale = 8.0;
// Whatever the limits say, a zoom is positive and the panel fits a bitmap: 8192 pixels a side
// at most (the default scale limit of 10^9 would overflow the size).
constexpr double kSmallestScale = 0.01;
constexpr int kLargestPanelSide = 8192;
// The View menu's fixed zooms, from kCommandZoom70 to kCommandZoom200.
constexpr double kViewCommandScales[] = {0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3, 2.0};
static_assert(std::size(kViewCommandScales) == kCommandZoom200 - kCommandZoom70 + 1);
// The steps of Zoom In and Zoom Out: the View menu's zooms within the grip's limits.
constexpr double kZoomSteps[] = {0.5, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3, 1.5, 2.0};
constexpr int kFullPanelHeight = Graphics::kDefaultHeight;
constexpr int kHalfPanelHeight = Graphics::kDefaultHeight / 2;
constexpr int kPanelWidthForCommands = Graphics::kDefaultWidth;

bool Differs(double a, double b) {
    return std::fabs(a - b) >= kScaleTolerance;
}

}  // namespace

GuiResize::GuiResize(PluginBase* core, Graphics* graphics, std::string settingsPath)
    : Control(core, {}, -1),
      graphics_(graphics),
      baseWidth_(graphics != nullptr ? graphics->Width() : Graphics::kDefaultWidth),
      baseHeight_(graphics != nullptr ? graphics->Height() : Graphics::kDefaultHeight),
      settingsPath_(std::move(settingsPath)) {
    ViewMode first;
    first.baseWidth = baseWidth_;
    first.baseHeight = baseHeight_;
    modes_.push_back(first);
    for (Parameter& param : state_) {
        InitIntParam(param, "", kStateUnset, kStateUnset, kStateHighest);
        param.automatable = false;
    }
    if (graphics_ != nullptr) graphics_->SetHandleMouseOver(true);
    ReadStoredScale();
    ComputePanelSize();
    const Rect grip{panelWidth_ - kGripSize, panelHeight_ - kGripSize, panelWidth_, panelHeight_};
    SetDrawRECT(grip);
    SetTargetRECT(grip);
}

GuiResize::~GuiResize() {
    // The graphics core outlives the controls; it must not ask a deleted control about drags.
    if (graphics_ != nullptr && attached_) graphics_->SetGuiResize(nullptr);
}

void GuiResize::ReadStoredScale() {
    const double stored = GuiScaleSetting::Read(settingsPath_);
    if (stored > 0.0) {
        scale_ = std::clamp(stored, kSmallestStoredScale, kLargestStoredScale);
        return;
    }
    // Missing, unreadable or not a usable number: start at 100 % and say so in the file.
    scale_ = 1.0;
    StoreScale(scale_);
}

// The zoom is kept for the next start; a file that cannot be written costs only that, and the
// next change tries again.
void GuiResize::StoreScale(double scale) {
    if (settingsPath_.empty()) return;
    if (!GuiScaleSetting::Write(settingsPath_, scale)) {
        DebugPrint("could not keep the zoom in %s", settingsPath_.c_str());
    }
}

// The panel is as large as its background, which re-layout places like every control: a
// panel of trunc(scale x base) would cut the background's last column off at 70 %, 90 % and
// 120 %.
void GuiResize::ComputePanelSize() {
    const auto side = [this](double base) {
        if (!(scale_ * base > 0.0)) return 0;
        return std::min(ScaledCoordinate(base, scale_), kLargestPanelSide);
    };
    panelWidth_ = side(baseWidth_);
    panelHeight_ = side(baseHeight_);
}

void GuiResize::SelectViewMode(int id) {
    modeIndex_ = 0;
    for (size_t i = 0; i < modes_.size(); ++i) {
        if (modes_[i].id != id) continue;
        modeIndex_ = static_cast<int>(i);
        break;
    }
    baseWidth_ = CurrentMode().baseWidth;
    baseHeight_ = CurrentMode().baseHeight;
    ComputePanelSize();
}

void GuiResize::SetScaleLimits(double lowPercent, double highPercent) {
    scaleLow_ = lowPercent / 100.0;
    scaleHigh_ = highPercent / 100.0;
    scale_ = std::max(std::min(std::max(scale_, scaleLow_), scaleHigh_), kSmallestScale);
    ComputePanelSize();
}

void GuiResize::SetBaseSizeLimits(double lowWidth, double lowHeight, double highWidth,
                                  double highHeight) {
    ViewMode& first = modes_.front();
    first.widthLow = lowWidth;
    first.heightLow = lowHeight;
    first.widthHigh = highWidth;
    first.heightHigh = highHeight;
    baseWidth_ = std::min(std::max(baseWidth_, lowWidth), highWidth);
    baseHeight_ = std::min(std::max(baseHeight_, lowHeight), highHeight);
    ComputePanelSize();
}

void GuiResize::SetEdgeHandles(bool enabled, int thickness) {
    edgeHandlesEnabled_ = enabled;
    edgeThickness_ = std::max(0, thickness);
}

void GuiResize::SetScreenRoom(int width, int height) {
    // A coordinate c is placed at trunc((c + 0.4999) x scale), the panel's far edges too: at
    // this scale the panel is as wide or as high as the room, and no larger.
    const auto fitting = [](int room, double base) { return (room + 0.5) / (base + 0.4999); };
    const double roomScale = std::min(fitting(width, baseWidth_), fitting(height, baseHeight_));
    screenHigh_ = roomScale > 0.0 ? roomScale : kSmallestScale;
}

double GuiResize::HighestScale() const {
    return std::max(std::min(scaleHigh_, screenHigh_), scaleLow_);
}

double GuiResize::HeldToScreen(double scale) const {
    return std::clamp(scale, scaleLow_, std::max(screenHigh_, scaleLow_));
}

void GuiResize::SetScale(double scale) {
    if (std::isnan(scale)) return;
    scale_ = std::max(std::min(std::max(scale, scaleLow_), HighestScale()), kSmallestScale);
    ComputePanelSize();
}

// --- Attaching and applying ---

void GuiResize::AttachTo(PluginGui& gui) {
    auto* graphics = dynamic_cast<Graphics*>(&gui);
    if (graphics == nullptr) return;
    graphics_ = graphics;
    if (!horizontal_) {
        vertical_ = std::make_unique<VerticalResizing>(core_, graphics_, this, edgeThickness_);
        horizontal_ = std::make_unique<HorizontalResizing>(core_, graphics_, this, edgeThickness_);
        graphics_->AddControl(vertical_.get());
        graphics_->AddControl(horizontal_.get());
    }
    vertical_->Hide(!edgeHandlesEnabled_);
    horizontal_->Hide(!edgeHandlesEnabled_);
    attachedOrder_.clear();
    for (int i = 0; i < graphics_->GetNControls(); ++i)
        attachedOrder_.push_back(graphics_->GetControl(i));
    GuiLayoutStore& store = GuiLayoutStore::Process();
    store.Fill(*graphics_, static_cast<int>(modes_.size()),
               {this, vertical_.get(), horizontal_.get()});
    if (rerenderOnScale_) justRendered_ = store.RenderStrips(*graphics_, scale_);
    // The controls read the zoom from here as they take it.
    graphics_->SetGuiResize(this);
    ApplyScaleToControls();
    if (graphics_->GetNControls() == 0 ||
        graphics_->GetControl(graphics_->GetNControls() - 1) != this) {
        graphics_->AddControl(this);
    }
    graphics_->SetGuiResize(this);
    attached_ = true;
}

void GuiResize::ApplyChange() {
    if (graphics_ == nullptr) return;
    if (Differs(GuiScaleSetting::Read(settingsPath_), scale_)) StoreScale(scale_);
    ComputePanelSize();
    StoreStateParams();
    Relayout();
    NotifyViewChanged();
    if (rerenderOnScale_) {
        // During a grip drag the images and the controls wait for the release.
        if (!deferRerender_ || !dragInProgress_) {
            RenderImages();
            ApplyScaleToControls();
        }
        graphics_->ResizePanel(panelWidth_, panelHeight_);
    } else {
        ApplyScaleToControls();
        graphics_->ResizePanel(panelWidth_, panelHeight_);
    }
    graphics_->MarkAllDirty();
}

void GuiResize::ApplyAtOpening() {
    if (graphics_ == nullptr) return;
    if (!stateApplied_) {
        stateApplied_ = true;
        const double mode = state_[kStateViewMode].value;
        if (mode > -0.5 && mode < static_cast<double>(modes_.size())) {
            modeIndex_ = static_cast<int>(mode);
            baseWidth_ = CurrentMode().baseWidth;
            baseHeight_ = CurrentMode().baseHeight;
        }
        if (state_[kStateBaseWidth].value > -0.5) baseWidth_ = state_[kStateBaseWidth].value;
        if (state_[kStateBaseHeight].value > -0.5) baseHeight_ = state_[kStateBaseHeight].value;
    }
    ReadStoredScale();
    // A zoom stored on a larger screen, or written by hand, is held within what is allowed.
    if (const double allowed = HeldToScreen(scale_); Differs(allowed, scale_)) {
        scale_ = allowed;
        StoreScale(scale_);
    }
    ComputePanelSize();
    Relayout();
    NotifyViewChanged();
    if (panelWidth_ == graphics_->Width() && panelHeight_ == graphics_->Height()) return;
    if (rerenderOnScale_ && !justRendered_) RenderImages();
    justRendered_ = false;
    ApplyScaleToControls();
    graphics_->ResizePanel(panelWidth_, panelHeight_);
}

bool GuiResize::DoViewCommand(int command) {
    const bool zoomStep = command == kCommandZoomIn || command == kCommandZoomOut;
    if (!zoomStep && (command < kCommandFullPanel || command > kCommandZoom200)) return false;
    if (graphics_ == nullptr) return true;
    if (zoomStep) {
        // The next step beyond the zoom in that direction, so that a zoom between two steps
        // (from the grip) goes to the nearer step first.
        double next = scale_;
        if (command == kCommandZoomIn) {
            for (auto step = std::rbegin(kZoomSteps); step != std::rend(kZoomSteps); ++step)
                if (*step > scale_ + kScaleTolerance) next = *step;
        } else {
            for (double step : kZoomSteps)
                if (step < scale_ - kScaleTolerance) next = step;
        }
        // Zoom In stops at the largest zoom the screen has room for, between two steps or not.
        next = std::min(next, HighestScale());
        if (!Differs(next, scale_)) return true;
        SetScale(next);
        ApplyChange();
        return true;
    }
    if (command == kCommandFullPanel || command == kCommandHalfPanel) {
        graphics_->ResizePanel(kPanelWidthForCommands,
                               command == kCommandFullPanel ? kFullPanelHeight : kHalfPanelHeight);
        return true;
    }
    // A zoom the screen has no room for is not offered; sent anyway, it changes nothing.
    if (!ViewCommandEnabled(command)) return true;
    SetScale(kViewCommandScales[command - kCommandZoom70]);
    ApplyChange();
    return true;
}

bool GuiResize::ViewCommandChecked(int command) const {
    if (command < kCommandZoom70 || command > kCommandZoom200) return false;
    return !Differs(scale_, kViewCommandScales[command - kCommandZoom70]);
}

bool GuiResize::ViewCommandEnabled(int command) const {
    if (command < kCommandZoom70 || command > kCommandZoom200) return true;
    return kViewCommandScales[command - kCommandZoom70] <= HighestScale() + kScaleTolerance;
}

double GuiResize::FitToScreen(int roomWidth, int roomHeight) {
    SetScreenRoom(roomWidth, roomHeight);
    const double stored = GuiScaleSetting::Read(settingsPath_);
    // Nothing stored yet: the opening stores 100 %, held like any other.
    const double wanted =
        stored > 0.0 ? std::clamp(stored, kSmallestStoredScale, kLargestStoredScale) : 1.0;
    const double scale = HeldToScreen(wanted);
    if (Differs(scale, wanted)) {
        StoreScale(scale);
        if (graphics_ != nullptr && rerenderOnScale_) {
            GuiLayoutStore::Process().RenderStrips(*graphics_, scale);
        }
    }
    return scale;
}

void GuiResize::StoreStateParams() {
    const double values[kStateParamCount] = {static_cast<double>(modeIndex_), baseWidth_,
                                             baseHeight_};
    for (int i = 0; i < kStateParamCount; ++i)
        state_[i].value = Clamp(state_[i], values[i]);
}

void GuiResize::RenderImages() {
    if (graphics_ != nullptr) GuiLayoutStore::Process().RenderStrips(*graphics_, scale_);
}

void GuiResize::ApplyScaleToControls() {
    for (int i = 0; i < graphics_->GetNControls(); ++i)
        graphics_->GetControl(i)->ApplyScale(scale_);
    graphics_->MarkAllDirty();
}

void GuiResize::NotifyViewChanged() {
    if (core_ == nullptr) return;
    core_->ViewChanged(modeIndex_, static_cast<int>(baseWidth_), static_cast<int>(baseHeight_));
}

// --- Layout ---

void GuiResize::Relayout() {
    if (graphics_ == nullptr) return;
    const GuiLayoutStore& store = GuiLayoutStore::Process();
    if (modes_.size() > 1) ReorderLayers();
    const int count = graphics_->GetNControls();
    if (count > 0) {
        const Rect panel{0, 0, ScaledCoordinate(baseWidth_, scale_),
                         ScaledCoordinate(baseHeight_, scale_)};
        graphics_->GetControl(0)->SetDrawRECT(panel);
        graphics_->GetControl(0)->SetTargetRECT(panel);
    }
    for (int i = 1; i < count; ++i) {
        Control* control = graphics_->GetControl(i);
        const GuiLayoutStore::Placement* placement = store.Find(modeIndex_, control);
        if (placement == nullptr) continue;
        control->SetDrawRECT(ScaledRect(placement->draw, scale_));
        control->SetTargetRECT(ScaledRect(placement->target, scale_));
        control->Hide(placement->hidden);
    }
    PlaceEdgeHandles();
    PlaceGrip();
}

void GuiResize::SetEditedLayout(int viewMode, int controlIndex, int layerPosition, const Rect& draw,
                                const Rect& target, bool hidden) {
    if (controlIndex < 0 || controlIndex >= static_cast<int>(attachedOrder_.size())) return;
    const Control* control = attachedOrder_[static_cast<size_t>(controlIndex)];
    GuiLayoutStore::Process().Place(viewMode, control, layerPosition, draw, target, hidden);
}

void GuiResize::ReorderLayers() {
    const std::vector<GuiLayoutStore::Placement>& order =
        GuiLayoutStore::Process().Mode(modeIndex_);
    int place = 1;
    for (const GuiLayoutStore::Placement& placement : order) {
        if (placement.control == graphics_->GetControl(0)) continue;
        const int at = placement.control->ListIndex();
        if (at < 0 || at >= graphics_->GetNControls() ||
            graphics_->GetControl(at) != placement.control) {
            continue;
        }
        if (at != place) graphics_->MoveControl(at, place);
        ++place;
    }
}

void GuiResize::PlaceEdgeHandles() {
    if (!horizontal_ || !vertical_) return;
    const double width = panelWidth_ / scale_, height = panelHeight_ / scale_;
    const double right[4] = {width - horizontal_->Thickness(), 0.0, width, height};
    const double bottom[4] = {0.0, height - vertical_->Thickness(), width, height};
    horizontal_->SetDrawRECT(ScaledRect(right, scale_));
    horizontal_->SetTargetRECT(horizontal_->DrawRect());
    vertical_->SetDrawRECT(ScaledRect(bottom, scale_));
    vertical_->SetTargetRECT(vertical_->DrawRect());
    horizontal_->Hide(!edgeHandlesEnabled_);
    vertical_->Hide(!edgeHandlesEnabled_);
}

void GuiResize::PlaceGrip() {
    if (dragInProgress_ && DeferredDrag()) {
        CoverPanel();
        return;
    }
    const double width = panelWidth_ / scale_, height = panelHeight_ / scale_;
    const double corner[4] = {width - kGripSize, height - kGripSize, width, height};
    const Rect scaled = ScaledRect(corner, scale_);
    const int side = std::max(kGripSize, std::min(scaled.Width(), scaled.Height()));
    const Rect grip{scaled.R - side, scaled.B - side, scaled.R, scaled.B};
    SetDrawRECT(grip);
    SetTargetRECT(grip);
}

void GuiResize::CoverPanel() {
    const Rect panel{0, 0, std::max(panelWidth_, 1), std::max(panelHeight_, 1)};
    SetDrawRECT(panel);
    SetTargetRECT(panel);
}

// --- The grip ---

void GuiResize::SetPointer(int shape) {
    if (graphics_ != nullptr) graphics_->SetCursorShape(shape);
}

void GuiResize::OnPress(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    SetPointer(kCursorResizeDiagonal);
    if (keys.L && DeferredDrag()) {
        dragInProgress_ = true;
        KeepDragPicture();
        CoverPanel();
    }
}

void GuiResize::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    (void)dx;
    (void)dy;
    (void)keys;
    SetPointer(kCursorResizeDiagonal);
    if (cornerDragScales_) {
        const double baseMean = (baseWidth_ + baseHeight_) / 2.0;
        if (baseMean > 0.0) SetScale(((x + y) / 2.0) / baseMean);
    } else {
        const ViewMode& mode = CurrentMode();
        baseWidth_ = std::min(std::max(x / scale_, mode.widthLow), mode.widthHigh);
        baseHeight_ = std::min(std::max(y / scale_, mode.heightLow), mode.heightHigh);
        ComputePanelSize();
    }
    if (!(DeferredDrag() && dragInProgress_)) {
        const int side = std::max(static_cast<int>(kGripSize * scale_), kGripSize);
        SetDrawRECT({x - side, y - side, x, y});
        SetTargetRECT(DrawRect());
    }
    ApplyChange();
    MarkDirty(false);
}

void GuiResize::OnRelease(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    SetPointer(kCursorArrow);
    if (rerenderOnScale_ && deferRerender_ && graphics_ != nullptr) {
        RenderImages();
        dragInProgress_ = false;
        Relayout();
        ApplyScaleToControls();
        graphics_->MarkAllDirty();
    }
    dragInProgress_ = false;
    dragPicture_.reset();
    NotifyViewChanged();
}

void GuiResize::OnHover(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    SetPointer(kCursorResizeDiagonal);
}

void GuiResize::OnLeave() {
    SetPointer(kCursorArrow);
}

void GuiResize::DragBaseWidth(int x) {
    const ViewMode& mode = CurrentMode();
    baseWidth_ = std::min(std::max(x / scale_, mode.widthLow), mode.widthHigh);
    ApplyChange();
}

void GuiResize::DragBaseHeight(int y) {
    const ViewMode& mode = CurrentMode();
    baseHeight_ = std::min(std::max(y / scale_, mode.heightLow), mode.heightHigh);
    ApplyChange();
}

bool GuiResize::NeedsRedraw() {
    return dirty_;
}

// --- Drawing ---

bool GuiResize::Draw(Graphics& graphics) {
    DrawGrip(graphics);
    return true;
}

void GuiResize::KeepDragPicture() {
    dragPicture_.reset();
    raster::SysBitmap* shown = graphics_ != nullptr ? graphics_->DrawBitmap() : nullptr;
    if (shown == nullptr || !shown->HasPixels()) return;
    dragPicture_ = std::make_unique<raster::MemBitmap>(shown->Width(), shown->Height());
    raster::Blit(dragPicture_.get(), shown, 0, 0, nullptr, 1.0f, raster::kModeCopy);
}

void GuiResize::DrawDuringResize(Graphics& graphics, const Rect& panel) {
    raster::SysBitmap* bitmap = graphics.DrawBitmap();
    if (!dragPicture_ || !dragPicture_->HasPixels() || bitmap == nullptr || !bitmap->HasPixels()) {
        graphics.FillRect(kDragFill, panel, nullptr);
        return;
    }
    // The panel as it was, zoomed to the size the grip gives; the images are drawn anew for
    // that size once the grip is let go.
    ResampleArea(*dragPicture_, 0, 0, dragPicture_->Width(), dragPicture_->Height(), *bitmap,
                 panel.L, panel.T, std::min(panel.Width(), bitmap->Width()),
                 std::min(panel.Height(), bitmap->Height()));
}

void GuiResize::DrawGrip(Graphics& graphics) {
    const int n = drawRect_.Width();
    if (n < 1) return;
    ClipCanvas canvas(graphics.DrawBitmap(), graphics.DrawRect());
    const auto right = static_cast<float>(drawRect_.R), bottom = static_cast<float>(drawRect_.B);
    // Lines from the bottom edge to the right edge, fading out towards the long side.
    for (int i = 0; i < n; ++i) {
        const double x = static_cast<double>(n - i) / n;
        const auto opacity = static_cast<float>(1.0 - x * x * x);
        canvas.Line(static_cast<float>(drawRect_.L + i), bottom, right,
                    bottom - static_cast<float>(n - i), kWhite.Packed(), opacity,
                    raster::kModeAlphaCopy, true);
    }
}
