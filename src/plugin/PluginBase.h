#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "plugin/ControlMenuEntry.h"
#include "plugin/ParamSnapshot.h"
#include "plugin/Parameter.h"
#include "plugin/PluginGui.h"
#include "util/HeapBuffer.h"
#include "util/MidiMessage.h"
#include "util/PointerList.h"

// The object in the middle of the program: it owns the parameter table, the lock that guards
// every parameter and all editor state, the attached panel and the state snapshot. The shell and
// the panel reach the editor only through the virtual operations below.
class PluginBase {
public:
    static constexpr int kParamCount = 167;
    static constexpr int kHostStandalone = 5;
    static constexpr int kSerializedSize = kParamCount * 8;
    // The plug-in's name, which also names the settings folder and the single-instance socket.
    static constexpr const char* kPluginName = "OrvodyneEditor";

    PluginBase();
    virtual ~PluginBase();
    PluginBase(const PluginBase&) = delete;
    PluginBase& operator=(const PluginBase&) = delete;

    // Hooks, in the order the shell and the panel know them.
    virtual void ParamChanged(int index);
    virtual void GuiOpened() {}
    virtual void GuiIdle() {}
    virtual void HandleMidiMessage(const MidiMessage& message);
    virtual void HandleSysEx(const SysExMessage& message) { (void)message; }
    virtual void HandleKeyboardMessage(const MidiMessage& message);
    virtual bool SaveState(HeapBuffer& chunk) { return SerializeParams(chunk); }
    virtual int LoadState(const HeapBuffer& chunk, int start) {
        return UnserializeParams(chunk, start);
    }
    virtual void WindowResized(int width, int height) {
        (void)width;
        (void)height;
    }
    virtual void ViewChanged(int viewMode, int width, int height) {
        (void)viewMode;
        (void)width;
        (void)height;
    }
    virtual bool DoCommand(int code) {
        (void)code;
        return false;
    }
    // The unit's input or output port went away while it was open (the cable out, the unit
    // switched off); the shell tells after its once-a-second look at the ports. A core that
    // waits for nothing from the unit has nothing to end.
    virtual void UnitConnectionLost() {}
    // Whether a command can act now, and whether it stands switched on, for the menu entry that
    // issues it. A core without such commands leaves every entry enabled and unchecked.
    virtual bool CommandEnabled(int code) const {
        (void)code;
        return true;
    }
    virtual bool CommandChecked(int code) const {
        (void)code;
        return false;
    }
    // What was typed into the value entry of a control bound to index, before anything is set:
    // false refuses it, with refusal saying why in words for the person typing (shown beside
    // the entry), and the parameter keeps its value. The base takes every entry, which the
    // value entry then holds to the parameter's range.
    virtual bool AcceptEnteredValue(int index, const std::string& text, std::string& refusal) {
        (void)index;
        (void)text;
        (void)refusal;
        return true;
    }
    // What the context menu of a control bound to index offers beside its value (nothing for a
    // core without such entries), and the entry chosen there, by its place in that list.
    virtual std::vector<ControlMenuEntry> ControlMenuEntries(int index) const {
        (void)index;
        return {};
    }
    virtual void ControlMenuChosen(int index, int entry) {
        (void)index;
        (void)entry;
    }
    virtual void SetParameterFromGui(int index, double normalized);
    virtual void SetParameterValue(int index, double value);
    virtual void BeginGesture(int index) { (void)index; }
    virtual void NotifyHostValue(int index, double normalized) {
        (void)index;
        (void)normalized;
    }
    virtual void EndGesture(int index) { (void)index; }
    virtual int HostKind() const { return kHostStandalone; }
    // The on-screen keyboard asks which notes the keyboard input holds, to show them.
    virtual bool KeyState(int note) const {
        (void)note;
        return false;
    }
    virtual int HeldNoteCount() const { return 0; }
    virtual void PanelResized(int width, int height);
    virtual void AttachGraphics(PluginGui* gui);
    [[nodiscard]] virtual bool SendMidiMsg(const MidiMessage& message);
    [[nodiscard]] virtual bool SendSysEx(const SysExMessage& message);
    virtual void RedrawParamControls();

    // The record at index, or null outside 0..166.
    Parameter* GetParam(int index) const;
    double ParamValue(int index) const;

    bool SerializeParams(HeapBuffer& chunk);
    int UnserializeParams(const HeapBuffer& chunk, int start);
    void CaptureDefaultSnapshot();
    const ParamSnapshot* Snapshot(int slot) const { return snapshots_.At(slot); }

    // The recursive lock over all parameter values and editor state.
    std::recursive_mutex& PluginLock() const { return lock_; }
    const char* PluginName() const { return kPluginName; }
    PluginGui* Gui() const { return gui_; }
    void SetGuiResize(PluginGuiResize* resize) { guiResize_ = resize; }
    bool HandlesMidi() const { return handlesMidi_; }

protected:
    using Lock = std::lock_guard<std::recursive_mutex>;

private:
    mutable std::recursive_mutex lock_;
    PointerList<Parameter> params_;
    PointerList<ParamSnapshot> snapshots_;
    bool handlesMidi_ = true;
    PluginGui* gui_ = nullptr;
    PluginGuiResize* guiResize_ = nullptr;
};
