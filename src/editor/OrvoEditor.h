#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/EditHistory.h"
#include "editor/EditorPanel.h"
#include "editor/MidiLearn.h"
#include "editor/ProgramOperations.h"
#include "editor/ReportQueue.h"
#include "plugin/EditorCommand.h"
#include "plugin/StandalonePlugin.h"
#include "unit/ProgramSlots.h"
#include "unit/UnitMessages.h"
#include "unit/UnitParameters.h"

// Panel-side parameter indices; the unit's own parameters are 3..124 (UnitParameters.h).
enum PanelParam : int {
    kParamProgramLoadFile = 131,
    kParamProgramSaveFile = 132,
    kParamProgramWriteFile = 133,
    kParamWriteAll = 134,
    kParamFirmwareFile = 135,
    kParamPreviousProgram = 136,
    kParamNextProgram = 137,
    kParamSevenSegment = 138,
    kParamSectionCopy = 139,
    kParamSectionDefault = 140,
    kParamSectionRandom = 141,
    kParamSectionReset = 142,
    kParamSelectAllSections = 143,
    kParamClearAllSections = 144,
    kParamCopyFromVco1 = 145,
    kParamCopyToVco1 = 149,
    kParamPgEq = 161,
    kParamParametricEqView = 162,
    kParamParagraphicEqView = 163,
    kParamMidiLearn = 164,
    kParamMidiForget = 165,
    kParamMidiForgetAll = 166,
};

// The Orvo editor: the unit's parameters, the change handler that turns every change into
// messages to the unit and panel updates, and the handlers of the unit's and the keyboard's
// messages.
class GuiResize;
class LayoutEditor;

class OrvoEditor : public StandalonePlugin {
public:
    OrvoEditor(MidiOutputPort* output, const uint16_t* outputChannel);
    ~OrvoEditor() override;

    void ParamChanged(int index) override;
    void HandleMidiMessage(const MidiMessage& message) override;
    void HandleSysEx(const SysExMessage& message) override;
    void HandleKeyboardMessage(const MidiMessage& message) override;
    void ViewChanged(int viewMode, int width, int height) override;
    bool DoCommand(int code) override;
    void UnitConnectionLost() override;
    bool CommandEnabled(int code) const override;
    bool CommandChecked(int code) const override;
    // A press on a bound control opens a step of the edit history, which its release closes.
    void BeginGesture(int index) override;
    void EndGesture(int index) override;
    // A change from the panel outside a press (the wheel, a typed value, a menu choice).
    void SetParameterFromGui(int index, double normalized) override;
    // A value typed for one of the unit's parameters is taken only as a whole number within its
    // range; anything else is refused with the range shown.
    bool AcceptEnteredValue(int index, const std::string& text, std::string& refusal) override;
    // Sends the dump request that is due, then shows what waits to be reported.
    void GuiIdle() override;

    // The parameter change for one position (0..122), with the address the unit still holds
    // left out.
    void SendParam(int position, int value);
    // Note on with the on-screen keyboard's velocity, or note off.
    void SendNote(int note, bool on);
    // Whether the note is held on the keyboard input, for the on-screen keyboard.
    bool KeyState(int note) const override;
    int HeldNoteCount() const override;

    // Builds the editor's front panel on a graphics core from the registered window layer; the
    // panel's zoom is kept in the settings file at settingsPath (empty: nowhere). The layout
    // editor answers the key E only with layoutEditing.
    void BuildPanel(const std::string& settingsPath = {}, bool layoutEditing = false);
    // Installs the panel the editor edits (the application's, or a test's) and runs the panel
    // build initialisation.
    void AttachPanel(std::unique_ptr<EditorPanel> panel);
    EditorPanel* Panel() const { return panel_.get(); }
    GuiResize* Resize() const { return resize_.get(); }
    // The panel's layout editor (key E on the running panel, when the panel was built with
    // layout editing); null before BuildPanel.
    LayoutEditor* Layout() const { return layout_.get(); }

    // Hands the editor the operations on whole programs, and restores the last program.
    void AttachPrograms(std::unique_ptr<ProgramOperations> programs);
    ProgramOperations* Programs() const { return programs_.get(); }
    // Loads a program file named from outside the panel, under the plug-in lock, as the Load
    // button does; false when there are no program operations or the file could not be read.
    bool OpenProgramFile(const std::string& path);

    // The current program: slots 0..89 from the unit's parameters, the effect slots from the
    // overlay the effect type selects; slots that carry nothing keep what program held. While
    // compare plays the original, it is the edited program all the same.
    ProgramValues SnapshotProgram(ProgramValues program) const;
    // Sends a whole program to the unit as live edits inside the update bracket, and shows it.
    void ApplyProgram(const ProgramValues& program);
    // The same for the four oscillators (slots 0..47) alone.
    void ApplyOscillators(const ProgramValues& program);
    // Whether the section check box of a section is ticked.
    bool SectionOn(int section) const { return IsOn(kParamFirstSectionSwitch + section); }
    int EffectType() const { return IntParam(ParamIndexOfPosition(kEffectTypePosition)); }

    // The modal steps waiting to be shown; post to it with the plug-in lock held.
    ReportQueue& Reports() { return reports_; }
    // Shows the waiting modal steps in their order, each with the plug-in lock released, and
    // hands their answers back under it. Call it only from the GUI thread without holding the
    // lock: the commands and the GUI idle hook do so when they are done.
    void ShowReports();

    // Takes the last step of the edit history back, or does the last undone one again; false
    // when there is none. Either sends the unit exactly the positions it changes.
    bool Undo();
    bool Redo();
    // Switches the panel and the unit between the edited program and the original, the program
    // as it was last loaded, saved or received; false when they do not differ.
    bool ToggleCompare();
    bool CanUndo() const;
    bool CanRedo() const;
    bool CanCompare() const;
    bool Comparing() const;
    // Whether a transfer with the unit runs (Stop Transfer has something to stop).
    bool TransferRunning() const;
    // The program now on the panel becomes the original that compare plays: it was loaded,
    // saved, or received from the unit.
    void KeepAsOriginal();
    // The edits from here on are the first of the history: the program was restored at start.
    void ResetHistory();
    const EditHistory& History() const { return history_; }
    // The name of the program on the panel: the file it was last loaded from or saved to,
    // without its extension; empty while it came from no file. Either thread may ask.
    void SetProgramName(const std::string& name);
    std::string ProgramName() const;
    // Counts the changes of the name, so a reader that polls takes it only when it changed.
    unsigned ProgramNameChanges() const { return programNameChanges_.load(); }
    // The values of the unit's positions on the panel, and the edited ones (the same unless
    // compare plays the original).
    UnitValues CurrentValues() const;
    UnitValues EditedValues() const;
    // Where the history reads the time that separates runs of edits; steady milliseconds unless
    // a test sets its own.
    void SetEditClock(std::function<int64_t()> clock) { clock_ = std::move(clock); }

    const MidiLearn& Learn() const { return learn_; }
    // MIDI learn from the menus and the panel. Arms learn for the next control moved and the
    // next controller, in either order; with a position, for that position's control, which
    // then waits for a controller only. The status line says what to do next.
    void ArmLearn(int position = -1);
    // Ends a learn that still waits; false when none was armed.
    bool CancelLearn();
    bool LearnArmed() const;
    // Every learned controller, in position order, and their removal.
    std::vector<MidiLearn::Assignment> ControllerAssignments() const;
    void ForgetController(int position);
    void ForgetAllControllers();
    // A unit parameter's control offers "Learn MIDI controller" and "Forget MIDI controller"
    // (greyed while it has none) in its context menu.
    enum ControlMenuItem : int { kMenuLearnController = 0, kMenuForgetController = 1 };
    std::vector<ControlMenuEntry> ControlMenuEntries(int index) const override;
    void ControlMenuChosen(int index, int entry) override;
    int SelectedSections() const { return selectedSections_; }
    bool GraphicEqView() const { return graphicView_; }
    const std::array<uint8_t, kStatusReplySize>& LastReply() const { return replyBuffer_; }
    const std::array<uint8_t, kProgramMessageSize>& LastDump() const { return dumpBuffer_; }

private:
    static constexpr int kNoKey = 123;
    static constexpr int kKeyCount = 167;
    static constexpr int kNeverSent = 128;

    void RegisterParameters();
    void InitialisePanelState();
    int IntParam(int index) const { return IntValue(*GetParam(index)); }
    bool IsOn(int index) const { return GetParam(index)->value > 0.5; }

    void ShowValueText(int key, int value);
    void ChangeEffectType(int effectType);
    void ShowEffectPanels();
    void ShowGraphicEqualizer();
    void HandEqualizerBands();
    void ConvertEqualizerBand(int band);
    void ApplyLearnOutcome(const MidiLearn::Outcome& outcome);
    // What learn waits for, or what it just assigned, in the status line.
    void ShowLearnStatus();
    // Shows the learned controllers on the panel once they changed, and keeps them in the
    // settings file; on the GUI thread.
    void FollowControllerMap();
    void StoreControllerMap();
    void ControllerFromKeyboard(const MidiMessage& message);
    void SetCopySource(int index);
    void SetAllSections(double value);
    void CommunicationTick();
    void OnStatusReply(uint8_t code);
    void OnFirmwareReply(uint8_t code);
    void OnProgramDump(const SysExMessage& message);
    // Shows one modal step with the lock released; returns what is to run under the lock
    // afterwards (the answer handed back), or nothing.
    std::function<void()> ShowStep(const ModalStep& step);
    void BeginBulkChange(int positionCount);
    // A live message to the unit: an edit, a note, a controller passed on.
    void SendLive(const MidiMessage& message);
    void EndBulkChange();
    // Sets positions to the after values of changes as edits by hand set them: one alone as it
    // is, several inside the update bracket; the overlay a new effect type brings is sent whole,
    // and positions of an effect the unit does not play are only shown.
    void ApplyPositions(const std::vector<PositionChange>& changes);
    // Several positions the unit plays, inside the update bracket.
    void SendInBracket(const std::vector<PositionChange>& pending, int oldType, int newType);
    void SetPositionQuietly(int position, int value);
    void FollowEqualizer(bool equalizerChanged);
    // The changes that bring the positions the unit plays for target's effect (or all
    // positions) from the current values to target's.
    std::vector<PositionChange> ChangesTo(const UnitValues& target, bool playedOnly) const;
    using HistoryStep =
        std::optional<std::vector<PositionChange>> (EditHistory::*)(const UnitValues&);
    bool TakeHistoryStep(HistoryStep take);
    void LeaveCompare();
    // The compare caption follows the state; on the GUI thread only.
    void ShowCompareState();
    int64_t NowMs() const;

    ReportQueue reports_;
    std::unique_ptr<ProgramOperations> programs_;
    std::unique_ptr<GuiResize> resize_;
    std::unique_ptr<EditorPanel> panel_;
    std::unique_ptr<LayoutEditor> layout_;
    MidiLearn learn_;
    // Where the learned controllers are kept (empty: nowhere), what was last kept there, and
    // the state of the map the panel shows.
    std::string settingsPath_;
    std::vector<MidiLearn::Assignment> storedAssignments_;
    unsigned shownLearnChanges_ = 0;
    std::array<int, kKeyCount> lastValue_{};
    int lastKey_ = kNoKey;
    int tickCount_ = 0;
    std::array<uint8_t, 128> keyState_{};
    int heldNotes_ = 0;
    int selectedSections_ = 0;
    bool bulkChange_ = false;
    bool parametricView_ = false;
    bool graphicView_ = true;
    EditHistory history_;
    UnitValues original_{};
    UnitValues edited_{};
    bool comparing_ = false;
    std::string programName_;
    std::atomic<unsigned> programNameChanges_{0};
    std::function<int64_t()> clock_;
    std::array<uint8_t, kStatusReplySize> replyBuffer_{};
    std::array<uint8_t, kProgramMessageSize> dumpBuffer_{};
};
