#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gui/Blend.h"
#include "gui/ColorARGB.h"
#include "gui/Control.h"
#include "gui/ImageStore.h"
#include "gui/ImageStrip.h"
#include "gui/MouseKeys.h"
#include "gui/PanelKeys.h"
#include "gui/PopupMenu.h"
#include "gui/Rect.h"
#include "gui/TextStyle.h"
#include "plugin/ControlMenuEntry.h"
#include "plugin/PluginGui.h"
#include "raster/MemBitmap.h"
#include "raster/SysBitmap.h"

class GuiResizeHooks;
class LayoutEditor;
class PluginBase;
struct Parameter;

// The panel's model and drawing engine: the ordered control list (drawn first to last, hit last
// to first), the off-screen draw bitmap, parameter binding, dirty collection and the dispatch of
// mouse and keys. Everything that needs the window system is a pure virtual operation that each
// window layer provides (GraphicsQt on screen, HeadlessGraphics for tests and benchmarks).
class Graphics : public PluginGui {
public:
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 800;
    static constexpr int kDefaultRefreshRate = 120;

    explicit Graphics(PluginBase* core);
    ~Graphics() override;
    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // --- Operations of the window layer ---
    // Each window layer (the Qt window, the headless window of tests and benchmarks) provides
    // all of those without a body here; those with a body behave so in every layer.
    virtual bool PresentToScreen(const Rect& rect) = 0;
    // Rewrites rect to the extent of the text as the style would align it in rect.
    virtual bool MeasureText(TextStyle& style, const std::string& text, Rect& rect);
    virtual void CancelTextEntry() = 0;
    virtual void ResizePanel(int width, int height);
    virtual bool HasWindow() const { return NativeWindow() != nullptr; }
    virtual std::string BackendName() const { return ""; }
    // Returns the MessageAnswer of the button that closed the box.
    virtual int ShowMessage(const std::string& text, const std::string& caption, int type) = 0;
    // Returns the (sub)menu whose item was chosen, its chosen index set; null for none.
    virtual PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) = 0;
    virtual void OpenTextEntry(Control* control, const TextStyle& style, const Rect& rect,
                               const std::string& text, Parameter* param) = 0;
    virtual std::string HostFolder() const = 0;
    virtual std::string ModuleFolder() const = 0;
    virtual std::string DesktopFolder() const = 0;
    virtual std::string DocumentsFolder() const = 0;
    // The per-user folder is the one the shell found and handed down (SetAppDataFolder); this
    // layer does not know how it is found. The machine-wide one is the platform's to name.
    virtual std::string AppDataFolder(bool shared) const;
    void SetAppDataFolder(std::string folder) { appDataFolder_ = std::move(folder); }
    // The chooser without a starting folder.
    virtual bool PromptForFile(std::string& name, int action, const std::string& extensions);
    // name in: the proposed file; out: the chosen path, or "" on cancel. folder in: where to
    // start (empty: the desktop); out: the folder of the chosen path. True when one was chosen.
    virtual bool PromptForFileName(std::string& name, int action, std::string& folder,
                                   const std::string& extensions) = 0;
    // The folder chooser, showing folders only. folder in: where to start; out: the chosen
    // folder, without a trailing "/". False (folder unchanged) on cancel.
    virtual bool PromptForFolder(std::string& folder, const std::string& title) = 0;
    virtual bool ChooseColor(ColorARGB& colour, const std::string& prompt) = 0;
    virtual bool OpenLink(const std::string& url, const std::string& caption,
                          const std::string& confirmText, const std::string& errorText) = 0;
    // The desktop could not open address (a file's path or a web address): tells the user
    // where it is and offers to take it further by hand.
    virtual void ShowUnopenedAddress(const std::string& address) = 0;
    virtual void* CreatePanelWindow(void* parent) = 0;
    virtual void DestroyPanelWindow() = 0;
    virtual void* NativeWindow() const = 0;
    virtual bool ReadClipboardText(std::string& text) = 0;
    virtual void HideCursor() = 0;
    virtual void RestoreCursor() = 0;
    virtual void SetCursorShape(int shape) = 0;
    // Decodes rows of one image resource of the set drawn at factor times the panel's size into
    // a bitmap, as raster::DecodePngResourceRows does; only names ending in ".png" (any case)
    // are images.
    virtual std::optional<raster::RowSpan> LoadResourceImage(int id, const std::string& name,
                                                             int factor, raster::RowSpan rows,
                                                             raster::MemBitmap& into);
    // The size an image resource is drawn at the panel's size, for a strip of frameCount
    // frames, read without decoding it.
    virtual std::optional<ImageStore::Size> MeasureResourceImage(int id, const std::string& name,
                                                                 int frameCount);

    // --- What the plug-in core calls ---
    void SetParamFromCore(int index, double value, bool alreadyNormalized) override;
    void PrepareDrawing() override;
    void WindowResized(int width, int height) override { ResizePanel(width, height); }

    // --- The control list ---
    int AddControl(Control* control);
    // Puts a plain colour panel over the whole panel under every other control.
    void AddBackgroundPanel(const ColorARGB& colour);
    int GetNControls() const { return static_cast<int>(controls_.size()); }
    Control* GetControl(int i) const;
    // Layer edits; the background and, with a resize control, the last three controls stay put.
    // The controls from 1 to LastLayerIndex() may be moved.
    int LastLayerIndex() const { return GetNControls() - (guiResize_ != nullptr ? 4 : 1); }
    void MoveControl(int from, int to);
    void SwapControls(int a, int b);
    void ReplaceControl(int index, Control* control);
    void MarkAllDirty();
    void SetHandleMouseOver(bool on) { handleMouseOver_ = on; }
    void SetShowTooltips(bool on) { showTooltips_ = on; }
    bool ShowTooltips() const { return showTooltips_; }
    void SetStrictDrawing(bool on) { strictDrawing_ = on; }
    void SetKeyCatcher(Control* control) { keyCatcher_ = control; }
    void SetGuiResize(GuiResizeHooks* resize) { guiResize_ = resize; }

    // The entry of a control's context menu that opens the text entry.
    static constexpr const char* kEnterValueText = "Enter value...";
    // Value entry for a control's parameter: a menu of its display texts, else a text entry.
    // Where the core offers entries of its own for the parameter, they follow in the menu, and
    // a parameter without display texts has "Enter value..." there instead.
    void PromptForValue(Control* control, Parameter* param, const Rect& rect);
    // Applies what was typed into a value entry: through the parameter when there is one, else
    // as the control's text. False when the core refused the value: refusal then says why, and
    // nothing was set.
    bool CommitEntryText(Control* control, Parameter* param, const std::string& text,
                         std::string* refusal = nullptr);
    // Why the core refuses a text that no value reads as (a letter typed into a number) for the
    // control's parameter; empty when it cannot say.
    std::string EntryRefusal(const Control* control, const std::string& text) const;

    // --- Images ---
    ImageStrip* LoadImageStrip(int id, const std::string& name, int frameCount);
    // Sizes every strip handed out so far for the GUI scale; each is rendered when it is next
    // drawn.
    void RenderAllStrips(double scale);
    const ImageStore& Images() const { return images_; }
    // Decodes the images of these one-frame strips for the panel's zoom on a thread of its own
    // while the window around the panel is built, so that the first drawing finds them ready
    // (ImageStore::DecodeAhead).
    void DecodeAhead(const std::vector<const ImageStrip*>& strips);
    // The panel's zoom, as its resize control holds it; 1 without one.
    double GuiScale() const;
    // Frees every cached font of the process; for shutdown and tests.
    static void ReleaseCaches();

    // --- Drawing, for controls during a redraw ---
    bool BlitImage(const ImageStrip* strip, const Rect& dest, int srcX, int srcY,
                   const Blend* blend);
    // Frames count from 1.
    bool DrawFrame(const ImageStrip* strip, const Rect& dest, int frame, const Blend* blend);
    bool FillRect(const ColorARGB& colour, const Rect& rect, const Blend* blend);
    bool OutlineRect(const ColorARGB& colour, const Rect& rect);
    bool DrawText(TextStyle& style, const std::string& text, const Rect& rect);
    const Rect& DrawRect() const { return drawRect_; }
    raster::SysBitmap* DrawBitmap() { return drawBitmap_.get(); }
    raster::MemBitmap* TempBitmap() { return tempBitmap_.get(); }

    // --- The redraw pair of the window layer's timer ---
    // Unites the rectangles of dirty controls into rect; false (and the idle hook every second
    // clean tick) when nothing is dirty.
    bool CollectDirty(Rect& rect);
    bool DrawDirty(const Rect& rect);

    // --- Input, in panel coordinates ---
    void MouseDown(int x, int y, const MouseKeys& keys);
    void MouseUp(int x, int y, const MouseKeys& keys);
    void MouseDrag(int x, int y, const MouseKeys& keys);
    // True when the control took the double-click as a press (the window then captures).
    bool MouseDoubleClick(int x, int y, const MouseKeys& keys);
    void MouseWheel(int x, int y, const MouseKeys& keys, int steps);
    bool MouseMove(int x, int y, const MouseKeys& keys);
    void MouseLeave();
    // True when a control (or the layout editor) used the key; keys carries the modifiers.
    bool KeyDown(int x, int y, int key, const MouseKeys& keys = {});

    // The topmost control that is shown, not grayed and hit by the point; -1 for none.
    int HitControl(int x, int y) const;

    PluginBase* Core() const { return core_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    int RefreshRate() const { return refreshRate_; }
    int CaptureIndex() const { return captureIndex_; }
    int MouseOverIndex() const { return mouseOverIndex_; }
    int LastKey() const { return lastKey_; }
    const MouseKeys& LastKeys() const { return lastKeys_; }
    void ClearCapture() {
        captureIndex_ = -1;
        lastX_ = -1;
        lastY_ = -1;
    }
    // Layout editing: mode 1 with editing on takes over presses, releases and drags.
    void SetLayoutEditing(int mode, bool on) {
        layoutMode_ = mode;
        layoutEditing_ = on;
    }
    bool LayoutEditing() const { return layoutMode_ != 0 && layoutEditing_; }
    // Mode 1 lets the key E switch editing on and off; gridSize is the snap step at 100 %.
    // The second grid setting is kept for the editor that sets it and not used yet.
    void SetLayoutMode(int mode, int gridSize, int secondGrid) {
        layoutMode_ = mode;
        gridSize_ = gridSize > 0 ? gridSize : 1;
        secondGrid_ = secondGrid;
    }
    int LayoutMode() const { return layoutMode_; }
    int GridSize() const { return gridSize_; }
    int SecondGrid() const { return secondGrid_; }
    // The layout editor that takes keys and the mouse while editing; null for none. Not owned.
    void SetLayoutEditor(LayoutEditor* editor) { layoutEditor_ = editor; }
    LayoutEditor* GetLayoutEditor() const { return layoutEditor_; }

protected:
    // Draws the layout editor's marks over the panel.
    virtual void DrawLayoutOverlay();
    // What decodes images ahead, off the GUI thread: the program's own images, as
    // LoadResourceImage reads them; none where images come from elsewhere.
    virtual ImageStore::WholeDecode AheadDecoder() const;

private:
    bool IsProtectedIndex(int index) const;
    void Renumber();
    bool DrawStrict(const Rect& rect);
    bool DrawNonStrict();
    // Hover and leave for the controls under the pointer; false without mouse-over handling.
    bool HoverControls(int x, int y, const MouseKeys& keys);
    // The plug-in lock while parameter records are read; nothing without a core.
    std::unique_lock<std::recursive_mutex> LockCore() const;
    void PromptWithMenu(Control* control, Parameter* param, const Rect& rect,
                        const std::vector<ControlMenuEntry>& extras, bool listed);
    void OpenValueEntry(Control* control, Parameter* param, const Rect& rect);
    // The display texts of param as menu items, the current one checked; under the core's lock.
    static void AddValueWords(PopupMenu& menu, const Parameter& param);
    void NotifyGestureBegin(const Control* control);
    void NotifyGestureEnd(const Control* control);
    raster::Font* FontFor(TextStyle& style);

    std::vector<Control*> controls_;
    PluginBase* core_;
    Rect drawRect_;
    std::unique_ptr<raster::SysBitmap> drawBitmap_;
    std::unique_ptr<raster::MemBitmap> tempBitmap_;
    int width_ = kDefaultWidth;
    int height_ = kDefaultHeight;
    int refreshRate_ = kDefaultRefreshRate;
    int idleTicks_ = 0;
    int captureIndex_ = -1;
    int mouseOverIndex_ = -1;
    int lastX_ = -1;
    int lastY_ = -1;
    int lastParamClicked_ = -1;
    MouseKeys lastKeys_;
    int lastKey_ = -1;
    bool handleMouseOver_ = false;
    bool strictDrawing_ = true;
    bool showTooltips_ = false;
    Control* keyCatcher_ = nullptr;
    ImageStore images_;
    GuiResizeHooks* guiResize_ = nullptr;
    std::unique_ptr<Control> background_;  // the colour panel made by AddBackgroundPanel
    int layoutMode_ = 0;
    bool layoutEditing_ = false;
    int gridSize_ = 1;
    int secondGrid_ = 0;
    LayoutEditor* layoutEditor_ = nullptr;
    std::string appDataFolder_;
};
