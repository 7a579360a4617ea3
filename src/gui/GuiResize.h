#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/GuiResizeHooks.h"
#include "plugin/EditorCommand.h"
#include "plugin/Parameter.h"
#include "plugin/PluginGui.h"
#include "raster/MemBitmap.h"

class Graphics;
class HorizontalResizing;
class VerticalResizing;

// One way of showing the panel: its size at 100 % and how far that size may be changed.
struct ViewMode {
    int id = 0;
    double baseWidth = 0.0;
    double baseHeight = 0.0;
    double widthLow = 0.0;
    double widthHigh = 999999999999.0;
    double heightLow = 0.0;
    double heightHigh = 999999999999.0;
};

// The panel's zoom. The panel is designed at 100 % and shown at the GUI scale: this control
// remembers every control's rectangles at 100 % (in the process's layout store) and, whenever
// the scale or the panel size changes, places every control anew, has the images rendered at
// the new scale, resizes the panel and keeps the scale in the settings file. It draws a grip
// in the bottom-right corner that zooms the panel when dragged; while dragging, the panel as it
// was at the press is drawn zoomed (grey where there is no picture of it), and the images are
// rendered once on release.
//
// Set-up: create it after the graphics core and before the panel's controls, configure it,
// register it with the core (PluginBase::SetGuiResize); the core's AttachGraphics then calls
// AttachTo, which adds the edge handles and this control as the last three controls.
class GuiResize : public Control, public GuiResizeHooks, public PluginGuiResize {
public:
    static constexpr int kGripSize = 16;
    // The three state parameters: view mode, base width, base height.
    enum StateParam : int { kStateViewMode = 0, kStateBaseWidth = 1, kStateBaseHeight = 2 };
    static constexpr int kStateParamCount = 3;

    // settingsPath: the settings file that keeps "guiscale", as the shell found it; empty keeps
    // nothing.
    GuiResize(PluginBase* core, Graphics* graphics, std::string settingsPath = {});
    ~GuiResize() override;

    // --- Configuration ---
    // The mode with this id becomes current (the first mode when none has it), with its size.
    void SelectViewMode(int id);
    void AddViewMode(const ViewMode& mode) { modes_.push_back(mode); }
    const std::vector<ViewMode>& ViewModes() const { return modes_; }
    // Limits in percent; the current scale is brought within them.
    void SetScaleLimits(double lowPercent, double highPercent);
    // Limits of the first mode's size; the current size is brought within them.
    void SetBaseSizeLimits(double lowWidth, double lowHeight, double highWidth, double highHeight);
    void SetCornerDragScales(bool on) { cornerDragScales_ = on; }
    void SetRerenderOnScale(bool on) { rerenderOnScale_ = on; }
    void SetDeferRerender(bool on) { deferRerender_ = on; }
    // The edge handles are made at attach time; hidden unless enabled.
    void SetEdgeHandles(bool enabled, int thickness);
    // Where "guiscale" is kept. An empty path keeps nothing.
    void SetSettingsPath(const std::string& path) { settingsPath_ = path; }
    const std::string& SettingsPath() const { return settingsPath_; }

    // --- Entry points ---
    // Clamps the scale into the limits and makes it the process's; the panel size follows.
    // Nothing is shown until ApplyChange.
    void SetScale(double scale);
    // After a change of scale or size: store the scale, lay the panel out anew, render the
    // images, resize the panel, redraw everything.
    void ApplyChange();
    // When the main window opens the panel: take the stored scale and show the panel at it.
    void ApplyAtOpening();
    // The View menu's commands 10..19 as the editor's DoCommand receives them: 10 and 11 set the
    // panel to 1024 x 800 and 1024 x 400, 12..19 zoom to 70, 80, 90, 100, 110, 120, 130 and
    // 200 %. False for any other command.
    bool DoViewCommand(int command);
    // Whether the panel stands at the fixed zoom of a View command (its menu entry's check mark).
    bool ViewCommandChecked(int command) const;
    // A fixed zoom of the View menu is offered only where the panel fits the screen at it.
    bool ViewCommandEnabled(int command) const;
    // The largest panel the screen has room for (the screen's free area less the window's menu
    // bar, status bar and frame): no zoom goes beyond the one at which the panel fits it, but
    // none below the low limit either. Takes effect at the next SetScale.
    void SetScreenRoom(int width, int height);
    // The scale held within the screen's room and never below the low limit. A scale beyond
    // the high limit (a stored one, written by hand) stays where the screen has room for it.
    double HeldToScreen(double scale) const;
    // The highest zoom allowed now: the high limit, or less where the screen has no room for it.
    double HighestScale() const;
    // The main window's screen fit, before ApplyAtOpening: holds the zoom to the screen's room
    // (SetScreenRoom); when the stored scale lies beyond what is allowed, the allowed one is
    // stored instead and the images are rendered at it. Returns the scale to open at.
    double FitToScreen(int roomWidth, int roomHeight);
    // Called by the core when it attaches the graphics.
    void AttachTo(PluginGui& gui) override;

    // --- State ---
    double Scale() const override { return scale_; }
    double ScaleLow() const { return scaleLow_; }
    double ScaleHigh() const { return scaleHigh_; }
    int PanelWidth() const { return panelWidth_; }
    int PanelHeight() const { return panelHeight_; }
    double BaseWidth() const { return baseWidth_; }
    double BaseHeight() const { return baseHeight_; }
    int ViewModeIndex() const { return modeIndex_; }
    bool DragInProgress() const { return dragInProgress_; }
    Parameter& StateParameter(int which) { return state_[which]; }
    HorizontalResizing* HorizontalHandle() const { return horizontal_.get(); }
    VerticalResizing* VerticalHandle() const { return vertical_.get(); }
    // For the edge handles: a new base width or height from a drag, then ApplyChange.
    void DragBaseWidth(int x);
    void DragBaseHeight(int y);

    // --- Control ---
    void OnPress(int x, int y, const MouseKeys& keys) override;
    void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) override;
    void OnRelease(int x, int y, const MouseKeys& keys) override;
    void OnHover(int x, int y, const MouseKeys& keys) override;
    void OnLeave() override;
    bool Draw(Graphics& graphics) override;
    bool NeedsRedraw() override;

    // --- What the graphics core asks while the grip is dragged ---
    bool ResizeDragInProgress() const override { return dragInProgress_; }
    void DrawDuringResize(Graphics& graphics, const Rect& panel) override;

    void DrawGrip(Graphics& graphics);

    // Every control placed anew from the layout store for the current mode and scale.
    void Relayout();
    // What a generated PanelLayout.h calls: the control at controlIndex of the panel as it was
    // attached (whatever the layer order is now) gets its rectangles at 100 %, hidden flag and
    // layer position in the view mode's layout.
    void SetEditedLayout(int viewMode, int controlIndex, int layerPosition, const Rect& draw,
                         const Rect& target, bool hidden);

private:
    void KeepDragPicture();
    void ReadStoredScale();
    void StoreScale(double scale);
    void ComputePanelSize();
    void StoreStateParams();
    void ReorderLayers();
    void PlaceEdgeHandles();
    void PlaceGrip();
    void CoverPanel();
    void ApplyScaleToControls();
    void RenderImages();
    void NotifyViewChanged();
    void SetPointer(int shape);
    bool DeferredDrag() const { return cornerDragScales_ && rerenderOnScale_ && deferRerender_; }
    const ViewMode& CurrentMode() const { return modes_[static_cast<size_t>(modeIndex_)]; }

    Graphics* graphics_;
    std::vector<ViewMode> modes_;
    int modeIndex_ = 0;
    double baseWidth_;
    double baseHeight_;
    double scale_ = 1.0;
    double scaleLow_ = 0.0;
    double scaleHigh_ = 1000000000.0;
    // The zoom at which the panel fills the screen's room; no limit until the room is known.
    double screenHigh_ = 1000000000.0;
    int panelWidth_ = 0;
    int panelHeight_ = 0;
    bool edgeHandlesEnabled_ = false;
    int edgeThickness_ = 0;
    bool cornerDragScales_ = true;
    bool rerenderOnScale_ = true;
    bool deferRerender_ = true;
    bool dragInProgress_ = false;
    bool justRendered_ = false;
    bool stateApplied_ = false;
    bool attached_ = false;
    std::string settingsPath_;
    Parameter state_[kStateParamCount];
    // The panel as it looked when the grip was pressed, drawn zoomed while the grip is dragged.
    std::unique_ptr<raster::MemBitmap> dragPicture_;
    std::unique_ptr<HorizontalResizing> horizontal_;
    std::unique_ptr<VerticalResizing> vertical_;
    std::vector<Control*> attachedOrder_;  // the controls in the order the panel was built
};
