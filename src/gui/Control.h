#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/Blend.h"
#include "gui/MouseKeys.h"
#include "gui/Rect.h"
#include "gui/TextStyle.h"

class Graphics;
class PluginBase;
class TextControl;

// One element of the panel: a draw rectangle, a mouse target, an optional binding to one
// parameter of the core, a normalised value 0..1 and handlers for drawing and input. The editor
// creates and owns controls; the graphics core only holds pointers to them.
class Control {
public:
    // A further parameter that a control follows besides its own.
    struct AuxParam {
        double value = 0.0;
        int paramIndex = -1;
    };

    Control(PluginBase* core, const Rect& drawRect, int paramIndex, const Blend& blend = {});
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // Input handlers, called by the graphics core with panel coordinates.
    virtual void OnPress(int x, int y, const MouseKeys& keys);
    virtual void OnRelease(int x, int y, const MouseKeys& keys);
    virtual void OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys);
    virtual void OnDoubleClick(int x, int y, const MouseKeys& keys);
    virtual void OnWheel(int x, int y, const MouseKeys& keys, int steps);
    virtual bool OnKey(int x, int y, int key);
    virtual void OnHover(int x, int y, const MouseKeys& keys);
    virtual void OnLeave();
    virtual bool Draw(Graphics& graphics) = 0;
    // Hook for a change of GUI scale.
    virtual void ApplyScale(double factor);
    virtual void SetValueFromCore(double value);
    virtual void SetValueFromUser(double value);
    virtual void SetTextFromEntry(const std::string& text);
    virtual void Hide(bool hide);
    virtual void SetGrayed(bool gray);
    virtual bool HitTest(int x, int y) const;
    // Clamps the value and marks the control for redraw; with push the value also goes to the
    // core. Attached value and name displays are brought up to date either way.
    virtual void MarkDirty(bool push);
    virtual void MarkClean();
    virtual bool NeedsRedraw();
    virtual void OnIdle();
    virtual void SetAuxValueFromCore(int auxIndex, double value);

    // Right-click value entry: a menu for parameters with display texts, else a text entry.
    void StartValuePrompt();

    const Rect& DrawRect() const { return drawRect_; }
    const Rect& TargetRect() const { return targetRect_; }
    void SetDrawRECT(const Rect& rect) { drawRect_ = rect; }
    void SetTargetRECT(const Rect& rect) { targetRect_ = rect; }
    int ParamIndex() const { return paramIndex_; }
    bool IsBound() const { return paramIndex_ >= 0; }
    int ListIndex() const { return listIndex_; }
    void SetListIndex(int index) { listIndex_ = index; }
    double Value() const { return value_; }
    double DefaultValue() const { return defaultValue_; }
    void SetClamp(double low, double high) {
        clampLow_ = low;
        clampHigh_ = high;
    }
    bool IsHidden() const { return hidden_; }
    bool IsGrayed() const { return grayed_; }
    bool IsDirty() const { return dirty_; }
    bool RedrawAgain() const { return redrawAgain_; }
    void SetRedrawAgain() { redrawAgain_ = true; }
    void SetPromptDisabled(bool disabled) { promptDisabled_ = disabled; }
    bool PromptDisabled() const { return promptDisabled_; }
    void SetDoubleClickAsClick(bool on) { doubleClickAsClick_ = on; }
    bool DoubleClickAsClick() const { return doubleClickAsClick_; }
    void SetMouseOverWhenGrayed(bool on) { mouseOverWhenGrayed_ = on; }
    bool MouseOverWhenGrayed() const { return mouseOverWhenGrayed_; }
    const Blend& GetBlend() const { return blend_; }
    void SetBlend(const Blend& blend) { blend_ = blend; }
    TextStyle& GetTextStyle() { return textStyle_; }
    void SetTextStyle(const TextStyle& style) { textStyle_ = style; }
    int EntryLength() const { return entryLength_; }
    void SetEntryLength(int length) { entryLength_ = length; }
    void SetValueDisplay(TextControl* display) { valueDisplay_ = display; }
    void SetNameDisplay(TextControl* display) { nameDisplay_ = display; }
    const std::string& Tooltip() const { return tooltip_; }
    void SetTooltip(const std::string& text) { tooltip_ = text; }
    PluginBase* Core() const { return core_; }

    int AddAuxParam(int paramIndex);
    int AuxCount() const { return static_cast<int>(aux_.size()); }
    const AuxParam& Aux(int i) const { return aux_[static_cast<size_t>(i)]; }

    // Bits the resize system sets to have the value sent to the core again on the next tick.
    uint32_t PendingPush() const { return pendingPush_; }
    void SetPendingPush(uint32_t bits) { pendingPush_ = bits; }

protected:
    // The graphics core attached to the core, or null before the panel is attached.
    Graphics* GraphicsCore() const;

    int entryLength_ = 7;
    TextStyle textStyle_;
    PluginBase* core_;
    Rect drawRect_;
    Rect targetRect_;
    int paramIndex_;
    int listIndex_ = -1;
    std::vector<AuxParam> aux_;
    // The value and the two redraw flags are also set from the MIDI input thread (the editor
    // refreshes controls and marks the keyboard from there) while the GUI thread draws.
    std::atomic<double> value_{0.0};
    double defaultValue_ = -1.0;  // below 0 until the core first pushes a value
    double clampLow_ = 0.0;
    double clampHigh_ = 1.0;
    std::atomic<bool> dirty_{true};
    bool hidden_ = false;
    bool grayed_ = false;
    std::atomic<bool> redrawAgain_{false};
    bool promptDisabled_ = true;
    bool reserved_ = false;
    bool doubleClickAsClick_ = false;
    bool mouseOverWhenGrayed_ = false;
    Blend blend_;
    TextControl* valueDisplay_ = nullptr;
    TextControl* nameDisplay_ = nullptr;
    std::string tooltip_;
    uint32_t pendingPush_ = 0;

private:
    void UpdateDisplays();
};
