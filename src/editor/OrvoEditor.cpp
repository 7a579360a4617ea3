#include "editor/OrvoEditor.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "editor/ControllerMapSetting.h"
#include "editor/OrvoPanel.h"
#include "editor/PanelLabels.h"
#include "gui/Graphics.h"
#include "gui/GraphicsFactory.h"
#include "gui/GuiResize.h"
#include "gui/LayoutEditor.h"
#include "unit/ParamChange.h"
#include "util/DebugPrint.h"
#include "util/NumberText.h"

namespace {

constexpr uint8_t kNoteOff = 0x80;
constexpr uint8_t kNoteOn = 0x90;
constexpr int kLayoutGrid = 16;
constexpr int kLayoutSecondGrid = 4;

std::string Number(int value) {
    return std::to_string(value);
}

// A position's control as the panel labels it, or the parameter's name where it has no label.
std::string ControlName(int position) {
    std::string name = PanelControlName(position);
    if (name.empty()) name = UnitParameterAt(position)->name;
    return name;
}

// A parameter whose every value has a word: its value entry offers the words as a menu.
bool WordedThroughout(int position) {
    for (int value = PositionMinimum(position); value <= PositionMaximum(position); ++value) {
        if (DisplayWord(position, value) == nullptr) return false;
    }
    return true;
}

}  // namespace

OrvoEditor::OrvoEditor(MidiOutputPort* output, const uint16_t* outputChannel)
    : StandalonePlugin(output, outputChannel) {
    RegisterParameters();
    InitialisePanelState();
    CaptureDefaultSnapshot();
}

OrvoEditor::~OrvoEditor() {
    Lock hold(PluginLock());
    if (programs_) programs_->StoreLastProgram();
    // A controller learned a moment before the end (on the MIDI input thread) is kept too.
    StoreControllerMap();
}

void OrvoEditor::RegisterParameters() {
    for (int position = 0; position < kUnitParamCount; ++position) {
        const UnitParameter& unit = *UnitParameterAt(position);
        Parameter& param = *GetParam(ParamIndexOfPosition(position));
        InitIntParam(param, unit.name, unit.defaultValue, unit.minimum, unit.maximum);
        if (!WordedThroughout(position)) continue;
        for (int value = unit.minimum; value <= unit.maximum; ++value)
            AddDisplayText(param, value, DisplayWord(position, value));
    }
    // Switches are doubles read as "on" above 0.5.
    auto initSwitch = [this](int index, const char* name) {
        InitParam(*GetParam(index), name, 0.0, 0.0, 1.0, 0.001, 1.0);
    };
    for (int s = 0; s < kSectionCount; ++s) {
        initSwitch(kParamFirstSectionSwitch + s, SectionName(static_cast<UnitSection>(s)));
    }
    InitIntParam(*GetParam(kParamPgEq), "PGEq", 0, 0, 3);
    initSwitch(kParamWriteAll, "WriteAll");
    InitIntParam(*GetParam(kParamSevenSegment), "7 segment display", 0, 0, 99);
    initSwitch(kParamParametricEqView, "4 Band Parametric Equalizer");
    initSwitch(kParamParagraphicEqView, "4 Band Paragraphic Equalizer");
}

void OrvoEditor::InitialisePanelState() {
    Lock hold(PluginLock());
    parametricView_ = false;
    graphicView_ = true;
    learn_.Reset();
    lastValue_.fill(kNeverSent);
    lastKey_ = kNoKey;
    tickCount_ = 0;
    comparing_ = false;
    ResetHistory();
}

void OrvoEditor::BuildPanel(const std::string& settingsPath, bool layoutEditing) {
    Lock hold(PluginLock());
    Graphics* graphics = CreateGraphics(this);
    resize_ = std::make_unique<GuiResize>(this, graphics, settingsPath);
    resize_->SelectViewMode(0);
    resize_->SetScaleLimits(50.0, 200.0);
    resize_->SetBaseSizeLimits(512.0, 400.0, 2048.0, 1600.0);
    SetGuiResize(resize_.get());
    AttachPanel(std::make_unique<OrvoPanel>(*this, graphics));
    // The controllers learned in earlier sessions; the panel shows them at its first idle tick.
    settingsPath_ = settingsPath;
    learn_.Restore(ControllerMapSetting::Read(settingsPath_));
    storedAssignments_ = learn_.Assignments();
    // The layout editor is for the people who build the panel, who start the editor for it:
    // then E on the running panel switches it on, with a 16-unit grid. Otherwise E does
    // nothing, and no layout header is ever read or written.
    graphics->SetLayoutMode(layoutEditing ? 1 : 0, kLayoutGrid, kLayoutSecondGrid);
    layout_ = std::make_unique<LayoutEditor>(*graphics, resize_.get());
}

void OrvoEditor::AttachPanel(std::unique_ptr<EditorPanel> panel) {
    Lock hold(PluginLock());
    panel_ = std::move(panel);
    InitialisePanelState();
}

void OrvoEditor::AttachPrograms(std::unique_ptr<ProgramOperations> programs) {
    Lock hold(PluginLock());
    programs_ = std::move(programs);
    if (programs_) programs_->RestoreLastProgram();
    // Where the session starts: nothing to take back, and the original to compare with.
    ResetHistory();
}

ProgramValues OrvoEditor::SnapshotProgram(ProgramValues program) const {
    Lock hold(PluginLock());
    const UnitValues values = EditedValues();
    const int effectType = values[kEffectTypePosition];
    for (int slot = 0; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effectType);
        if (position >= 0)
            program[static_cast<size_t>(slot)] = values[static_cast<size_t>(position)];
    }
    return program;
}

void OrvoEditor::BeginBulkChange(int positionCount) {
    bulkChange_ = true;
    lastKey_ = kNoKey;
    SendParam(kUpdateBracketPosition, 0);
    // Every value set from here on counts as a change and reaches the unit.
    for (int key = 0; key < positionCount; ++key)
        lastValue_[static_cast<size_t>(key)] = kNeverSent;
}

void OrvoEditor::EndBulkChange() {
    SendParam(kUpdateBracketPosition, 1);
    bulkChange_ = false;
    lastKey_ = kNoKey;
    RedrawParamControls();
}

void OrvoEditor::ApplyProgram(const ProgramValues& program) {
    Lock hold(PluginLock());
    LeaveCompare();
    history_.Begin({EditHistory::Source::kProgram}, NowMs(), CurrentValues());
    BeginBulkChange(kUnitParamCount);
    for (int slot = 0; slot < kFirstEffectSlot; ++slot) {
        SetParameterValue(ParamIndexOfPosition(slot), program[static_cast<size_t>(slot)]);
    }
    // The effect slots follow the effect type the unit was just given, which is the program's
    // held to 0..3: an out-of-range type in a file never leaves the unit's overlay unsent.
    const int effectType = EffectType();
    for (int slot = kFirstEffectSlot; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effectType);
        if (position >= 0) {
            SetParameterValue(ParamIndexOfPosition(position), program[static_cast<size_t>(slot)]);
        }
    }
    if (effectType == kEffectEqualizer && graphicView_) HandEqualizerBands();
    EndBulkChange();
    history_.Close(CurrentValues());
}

void OrvoEditor::ApplyOscillators(const ProgramValues& program) {
    Lock hold(PluginLock());
    LeaveCompare();
    history_.Begin({EditHistory::Source::kProgram}, NowMs(), CurrentValues());
    constexpr int kOscillatorSlots = 48;
    BeginBulkChange(kOscillatorSlots);
    for (int slot = 0; slot < kOscillatorSlots; ++slot) {
        SetParameterValue(ParamIndexOfPosition(slot), program[static_cast<size_t>(slot)]);
    }
    EndBulkChange();
    history_.Close(CurrentValues());
}

void OrvoEditor::GuiIdle() {
    {
        Lock hold(PluginLock());
        if (programs_) programs_->GuiIdle();
        // Compare may have been left on the MIDI input thread, where the panel is not touched;
        // a controller may have been learned there.
        ShowCompareState();
        FollowControllerMap();
    }
    // What the MIDI input thread or a panel action decided to report is shown here, at the
    // latest one idle tick later.
    ShowReports();
}

void OrvoEditor::ShowReports() {
    std::unique_lock<std::recursive_mutex> hold(PluginLock());
    if (!reports_.BeginShowing()) return;
    while (std::optional<ModalStep> step = reports_.TakeNext()) {
        hold.unlock();
        const std::function<void()> answer = ShowStep(*step);
        hold.lock();
        if (answer) answer();
    }
    reports_.EndShowing();
}

std::function<void()> OrvoEditor::ShowStep(const ModalStep& step) {
    // The panel lives as long as the editor; only its modal seams run here, unlocked.
    EditorPanel* panel = panel_.get();
    if (const auto* report = std::get_if<Report>(&step)) {
        // Without a panel nobody can say OK: a warning counts as cancelled.
        const bool ok = panel != nullptr && panel->ShowReport(*report);
        if (!report->answer) return {};
        return [answer = report->answer, ok] { answer(ok); };
    }
    if (const auto* choice = std::get_if<FolderChoice>(&step)) {
        std::string folder = choice->startFolder;
        std::optional<std::string> chosen;
        if (panel != nullptr && panel->ChooseFolder(folder)) chosen = folder;
        if (!choice->chosen) return {};
        return [answer = choice->chosen, chosen] { answer(chosen); };
    }
    if (const auto* opening = std::get_if<ChooserOpening>(&step); opening && panel) {
        panel->OpenChooser(opening->paramIndex);
    }
    return {};
}

void OrvoEditor::SendParam(int position, int value) {
    Lock hold(PluginLock());
    const ParamChange change = EncodeParamChange(position, value, lastKey_);
    for (int i = 0; i < change.count; ++i)
        SendLive(change.messages[static_cast<size_t>(i)]);
}

void OrvoEditor::ParamChanged(int index) {
    Lock hold(PluginLock());
    const Parameter* param = GetParam(index);
    if (param == nullptr) return;
    const int c = IntValue(*param);
    const int key = UnitPosition(index);
    if (key < 0) return;

    if (key < kUnitParamCount && (learn_.Armed() || learn_.ForgetArmed())) {
        ApplyLearnOutcome(learn_.PositionMoved(key, c));
        ShowLearnStatus();
    }
    if (c == lastValue_[static_cast<size_t>(key)]) return;

    if (panel_) {
        if (key < kEffectTypePosition || (key > kEffectTypePosition && key < kUnitParamCount)) {
            panel_->SetValueText(key, Number(c));
            SendParam(key, c);
        }
        if (key >= kParamFirstSectionSwitch && key < kParamFirstSectionSwitch + kSectionCount) {
            selectedSections_ += IsOn(index) ? 1 : -1;
        }
    }

    if (key < kUnitParamCount) ShowValueText(key, c);
    switch (key) {
        case kEffectTypePosition:
            ChangeEffectType(c);
            break;
        case kParamSectionDefault:
        case kParamSectionRandom:
        case kParamSectionReset:
            if (selectedSections_ == 0) return;
            if (programs_) programs_->PanelAction(index, param->value);
            break;
        case kParamProgramLoadFile:
        case kParamProgramSaveFile:
        case kParamProgramWriteFile:
        case kParamWriteAll:
        case kParamFirmwareFile:
        case kParamPreviousProgram:
        case kParamNextProgram:
        case kParamSectionCopy:
            if (programs_) programs_->PanelAction(index, param->value);
            break;
        case kParamSelectAllSections:
            if (IsOn(index)) SetAllSections(1.0);
            break;
        case kParamClearAllSections:
            if (IsOn(index)) SetAllSections(0.0);
            break;
        case kParamCopyFromVco1:
        case kParamCopyFromVco1 + 1:
        case kParamCopyFromVco1 + 2:
        case kParamCopyFromVco1 + 3:
            if (IsOn(index)) SetCopySource(index);
            break;
        case kParamPgEq:
            ConvertEqualizerBand(c);
            break;
        case kParamParametricEqView:
            parametricView_ = true;
            graphicView_ = false;
            ShowEffectPanels();
            break;
        case kParamParagraphicEqView:
            ShowGraphicEqualizer();
            break;
        case kParamMidiLearn:
            if (IsOn(index)) {
                learn_.Arm();
                ShowLearnStatus();
            } else {
                learn_.Disarm();
            }
            break;
        case kParamMidiForget:
            learn_.ArmForget(IsOn(index));
            break;
        case kParamMidiForgetAll:
            if (IsOn(index)) learn_.ForgetAll();
            break;
        default:
            break;
    }

    lastKey_ = key;
    lastValue_[static_cast<size_t>(key)] = key == kParamPgEq ? -1 : c;
    tickCount_ = 0;
}

// The words that replace the number for the worded parameters, and the two alternative
// modulation-frequency texts, of which only one is live at a time.
void OrvoEditor::ShowValueText(int key, int value) {
    if (!panel_) return;
    constexpr int kVintage = 69;
    constexpr int kNewFrequency = 70;
    if (key == kVintage) {
        if (value == -1) {
            panel_->SetValueText(kVintage, "off");
            panel_->SetValueText(kNewFrequency,
                                 Number(IntParam(ParamIndexOfPosition(kNewFrequency))));
        } else {
            panel_->SetValueText(kNewFrequency, "off");
        }
        return;
    }
    if (key == kNewFrequency) {
        if (IntParam(ParamIndexOfPosition(kVintage)) != -1)
            panel_->SetValueText(kNewFrequency, "off");
        return;
    }
    if (const char* word = DisplayWord(key, value)) panel_->SetValueText(key, word);
}

// A new effect type switches the unit's effect overlay; the overlay's parameters are then sent
// again inside the update bracket so that the unit's effect matches the panel.
void OrvoEditor::ChangeEffectType(int effectType) {
    ShowEffectPanels();
    if (bulkChange_) {
        SendParam(kEffectTypePosition, effectType);
        return;
    }
    for (int key = kChorusFirstPosition; key < kUnitParamCount; ++key) {
        lastValue_[static_cast<size_t>(key)] = kNeverSent;
    }
    lastKey_ = kNoKey;
    SendParam(kUpdateBracketPosition, 0);
    SendParam(kEffectTypePosition, effectType);
    // The overlay's positions are those the effect slots of a program carry for this type.
    for (int slot = kFirstEffectSlot; slot < kProgramSlotCount; ++slot) {
        const int position = SlotPosition(slot, effectType);
        if (position >= 0) ParamChanged(ParamIndexOfPosition(position));
    }
    if (effectType == kEffectEqualizer && graphicView_) HandEqualizerBands();
    SendParam(kUpdateBracketPosition, 1);
    lastKey_ = kNoKey;
}

void OrvoEditor::ShowEffectPanels() {
    if (panel_) {
        panel_->ShowEffectPanels(IntParam(ParamIndexOfPosition(kEffectTypePosition)),
                                 parametricView_, graphicView_);
    }
}

void OrvoEditor::ShowGraphicEqualizer() {
    parametricView_ = false;
    graphicView_ = true;
    // The view switches lie on the equalizer's background, but they are there in every effect:
    // only the equalizer shows either view.
    ShowEffectPanels();
    HandEqualizerBands();
}

void OrvoEditor::HandEqualizerBands() {
    if (!panel_) return;
    EqParamValues values{};
    for (size_t i = 0; i < values.size(); ++i) {
        values[i] = IntParam(kFirstEqBandParam + static_cast<int>(i));
    }
    std::array<EqBandRecord, kEqBandCount> bands;
    for (int b = 0; b < kEqBandCount; ++b)
        bands[static_cast<size_t>(b)] = EqBandFromParams(b, values);
    panel_->SetEqualizerBands(bands);
}

// The user moved a band on the graphic equalizer: its three parameters follow, and are sent.
void OrvoEditor::ConvertEqualizerBand(int band) {
    if (!panel_ || band < 0 || band >= kEqBandCount) return;
    const EqBandParams params = EqParamsFromBand(panel_->EqualizerBand(band));
    // Rounded, not truncated: a band moved and let go lands on the values it came from, where
    // truncating the single-precision results would lose one step of width at every drag.
    SetParameterValue(params.frequencyIndex, std::round(params.frequency));
    SetParameterValue(params.widthIndex, std::round(params.width));
    SetParameterValue(params.gainIndex, std::round(params.gain));
    RedrawParamControls();
}

void OrvoEditor::ApplyLearnOutcome(const MidiLearn::Outcome& outcome) {
    if (outcome.assigned) SetParameterValue(kParamMidiLearn, 0.0);
    if (outcome.forgot) SetParameterValue(kParamMidiForget, 0.0);
    if (outcome.assigned || outcome.forgot) RedrawParamControls();
}

void OrvoEditor::ArmLearn(int position) {
    Lock hold(PluginLock());
    SetParameterValue(kParamMidiLearn, 1.0);
    if (position >= 0 && position < kUnitParamCount) {
        learn_.ArmFor(position, IntParam(ParamIndexOfPosition(position)));
    } else {
        learn_.Arm();
    }
    ShowLearnStatus();
}

bool OrvoEditor::CancelLearn() {
    Lock hold(PluginLock());
    if (!learn_.Armed()) return false;
    SetParameterValue(kParamMidiLearn, 0.0);
    learn_.Disarm();
    if (panel_) panel_->SetStatusLine("MIDI learn cancelled");
    return true;
}

bool OrvoEditor::LearnArmed() const {
    Lock hold(PluginLock());
    return learn_.Armed();
}

std::vector<MidiLearn::Assignment> OrvoEditor::ControllerAssignments() const {
    Lock hold(PluginLock());
    return learn_.Assignments();
}

void OrvoEditor::ForgetController(int position) {
    Lock hold(PluginLock());
    const int controller = learn_.ControllerOf(position);
    if (!learn_.Forget(position) || !panel_) return;
    panel_->SetStatusLine("Controller " + Number(controller) + " forgotten");
}

void OrvoEditor::ForgetAllControllers() {
    Lock hold(PluginLock());
    learn_.ForgetAll();
}

std::vector<ControlMenuEntry> OrvoEditor::ControlMenuEntries(int index) const {
    Lock hold(PluginLock());
    const int position = UnitPosition(index);
    if (index < kFirstUnitParamIndex || position >= kUnitParamCount) return {};
    return {{"Learn MIDI controller", true},
            {"Forget MIDI controller", learn_.ControllerOf(position) >= 0}};
}

void OrvoEditor::ControlMenuChosen(int index, int entry) {
    const int position = UnitPosition(index);
    if (index < kFirstUnitParamIndex || position >= kUnitParamCount) return;
    if (entry == kMenuLearnController) ArmLearn(position);
    if (entry == kMenuForgetController) ForgetController(position);
}

void OrvoEditor::ShowLearnStatus() {
    if (!panel_) return;
    const int target = learn_.LearnTarget();
    if (learn_.Armed()) {
        const int controller = learn_.LearnController();
        if (target >= 0) {
            panel_->SetStatusLine("Now move a controller");
        } else if (controller >= 0) {
            panel_->SetStatusLine("Now move a control");
        } else {
            panel_->SetStatusLine("Move a control, then a controller");
        }
        return;
    }
    if (target < 0) return;
    const int controller = learn_.ControllerOf(target);
    if (controller >= 0) {
        panel_->SetStatusLine("Controller " + Number(controller) + " drives " +
                              ControlName(target));
    }
}

void OrvoEditor::FollowControllerMap() {
    const unsigned changes = learn_.Changes();
    if (changes == shownLearnChanges_) return;
    shownLearnChanges_ = changes;
    if (panel_) {
        for (int position = 0; position < kUnitParamCount; ++position)
            panel_->ShowController(position, learn_.ControllerOf(position));
    }
    StoreControllerMap();
}

void OrvoEditor::StoreControllerMap() {
    if (settingsPath_.empty()) return;
    std::vector<MidiLearn::Assignment> assignments = learn_.Assignments();
    if (assignments == storedAssignments_) return;
    if (!ControllerMapSetting::Write(settingsPath_, assignments)) {
        DebugPrint("could not keep the learned controllers in %s", settingsPath_.c_str());
        return;
    }
    storedAssignments_ = std::move(assignments);
}

void OrvoEditor::SetCopySource(int index) {
    for (int other = kParamCopyFromVco1; other < kParamCopyFromVco1 + 4; ++other) {
        if (other != index) SetParameterValue(other, 0.0);
    }
    RedrawParamControls();
}

void OrvoEditor::SetAllSections(double value) {
    for (int s = 0; s < kSectionCount; ++s)
        SetParameterValue(kParamFirstSectionSwitch + s, value);
    selectedSections_ = value > 0.5 ? kSectionCount : 0;
    RedrawParamControls();
}

void OrvoEditor::UnitConnectionLost() {
    Lock hold(PluginLock());
    if (programs_) programs_->UnitConnectionLost();
}

bool OrvoEditor::OpenProgramFile(const std::string& path) {
    Lock hold(PluginLock());
    LeaveCompare();
    ShowCompareState();
    return programs_ != nullptr && programs_->OpenProgramFile(path);
}

bool OrvoEditor::DoCommand(int code) {
    {
        Lock hold(PluginLock());
        if (code == kCommandTick) {
            CommunicationTick();
            if (programs_) programs_->Tick();
        } else if (code == kCommandAbout) {
            if (panel_) panel_->ShowAbout();
        } else if (code == kCommandLearnController) {
            if (!CancelLearn()) ArmLearn();
        } else if (code == kCommandStopTransfer && CancelLearn()) {
            // Escape ends a learn that waits before it stops a transfer.
        } else if (code == kCommandUndo || code == kCommandRedo || code == kCommandCompare) {
            if (code == kCommandUndo) Undo();
            if (code == kCommandRedo) Redo();
            if (code == kCommandCompare) ToggleCompare();
            ShowCompareState();
        } else if (resize_ && resize_->DoViewCommand(code)) {
            return true;
        } else {
            if (programs_) programs_->Command(code);
            // Load Program and Save Program open the panel's choosers; Save Program has first
            // disarmed a save from the unit.
            if (code == kCommandLoadProgram) reports_.PostChooserOpening(kParamProgramLoadFile);
            if (code == kCommandSaveProgram) reports_.PostChooserOpening(kParamProgramSaveFile);
            if (code == kCommandFirmwareUpdate) reports_.PostChooserOpening(kParamFirmwareFile);
        }
    }
    // The file and folder dialogs and the message boxes the command or the tick asked for are
    // modal: they are shown with the lock released, so the MIDI input never waits behind them.
    ShowReports();
    return true;
}

// After two ticks without a change the unit may have lost the address: forget it, so that the
// next change sends its address again.
void OrvoEditor::CommunicationTick() {
    if (++tickCount_ > 1) {
        tickCount_ = 0;
        lastKey_ = kNoKey;
    }
}

void OrvoEditor::ViewChanged(int viewMode, int width, int height) {
    (void)width;
    (void)height;
    Lock hold(PluginLock());
    if (viewMode == 0) ShowEffectPanels();
}

void OrvoEditor::HandleMidiMessage(const MidiMessage& message) {
    // Edits made on the unit's own panel are not followed.
    (void)message;
}

void OrvoEditor::HandleSysEx(const SysExMessage& message) {
    Lock hold(PluginLock());
    // Only a system-exclusive message is told apart by its length; any other bytes of a length
    // the unit uses are not its reply.
    if (message.bytes == nullptr || message.size <= 0 || message.bytes[0] != kSysExStart) return;
    if (message.size == static_cast<int32_t>(replyBuffer_.size())) {
        std::copy(message.bytes, message.bytes + replyBuffer_.size(), replyBuffer_.begin());
        const uint8_t code = replyBuffer_[5];
        OnFirmwareReply(code);
        OnStatusReply(code);
    } else if (message.size == static_cast<int32_t>(dumpBuffer_.size())) {
        std::copy(message.bytes, message.bytes + dumpBuffer_.size(), dumpBuffer_.begin());
        OnProgramDump(message);
    }
}

void OrvoEditor::OnStatusReply(uint8_t code) {
    if (programs_) programs_->StatusReply(code);
}

void OrvoEditor::OnFirmwareReply(uint8_t code) {
    if (programs_) programs_->FirmwareReply(code);
}

void OrvoEditor::OnProgramDump(const SysExMessage& message) {
    if (programs_) programs_->ProgramDump(message.bytes, static_cast<size_t>(message.size));
}

void OrvoEditor::HandleKeyboardMessage(const MidiMessage& message) {
    const int kind = message.status >= 0x80 ? message.status >> 4 : 0;
    switch (kind) {
        case 0x8:
        case 0x9: {
            const bool on = kind == 0x9 && message.data2 > 0;
            {
                Lock hold(PluginLock());
                const size_t note = message.data1 & 0x7F;
                // Count a key once, however often the keyboard repeats it.
                if (on != (keyState_[note] != 0)) heldNotes_ += on ? 1 : -1;
                keyState_[note] = on ? 1 : 0;
            }
            SendLive(message);
            break;
        }
        case 0xB:
            ControllerFromKeyboard(message);
            break;
        case 0xC:
        case 0xE:
            SendLive(message);
            break;
        default:
            return;
    }
    Lock hold(PluginLock());
    if (panel_) panel_->RedrawKeyboard();
}

void OrvoEditor::ControllerFromKeyboard(const MidiMessage& message) {
    Lock hold(PluginLock());
    const MidiLearn::ControllerResult result = learn_.ControllerMoved(message.data1, message.data2);
    if (result.assigned) {
        SetParameterValue(kParamMidiLearn, 0.0);
        RedrawParamControls();
    }
    if (result.takenByLearn) {
        ShowLearnStatus();
        return;
    }
    if (result.sets.empty()) {
        SendLive(message);
        return;
    }
    // A controller turned on the keyboard makes one step for as long as it keeps moving.
    LeaveCompare();
    history_.Begin({EditHistory::Source::kController, message.data1}, NowMs(), CurrentValues());
    for (const auto& [position, value] : result.sets) {
        // A position of an effect the unit does not play shares its address with the playing
        // effect's parameter, which the controller must not move: it is only shown and kept.
        const int overlay = OverlayEffect(position);
        if (overlay != kEffectOff && overlay != EffectType()) {
            SetPositionQuietly(position, value);
            continue;
        }
        SetParameterValue(ParamIndexOfPosition(position), value);
        if (position >= 110 &&
            IntParam(ParamIndexOfPosition(kEffectTypePosition)) == kEffectEqualizer &&
            graphicView_) {
            HandEqualizerBands();
        }
    }
    RedrawParamControls();
}

void OrvoEditor::SendNote(int note, bool on) {
    if (note < 0 || note > 127) return;
    MidiMessage message;
    message.data1 = static_cast<uint8_t>(note);
    if (on) {
        const double velocity = panel_ ? panel_->KeyboardVelocity() : 1.0;
        message.status = kNoteOn;
        message.data2 = static_cast<uint8_t>(static_cast<int>(velocity * 126.0 + 0.5) + 1);
    } else {
        message.status = kNoteOff;
    }
    SendLive(message);
}

// Without an output port a live message reaches nobody, and nobody could act on that: the
// panel keeps the value, and a transfer's time-out reports a unit that does not answer.
void OrvoEditor::SendLive(const MidiMessage& message) {
    (void)SendMidiMsg(message);
}

int OrvoEditor::HeldNoteCount() const {
    Lock hold(PluginLock());
    return heldNotes_;
}

bool OrvoEditor::KeyState(int note) const {
    Lock hold(PluginLock());
    return note >= 0 && note < 128 && keyState_[static_cast<size_t>(note)] != 0;
}

// --- Edit history and compare ---

int64_t OrvoEditor::NowMs() const {
    if (clock_) return clock_();
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

UnitValues OrvoEditor::CurrentValues() const {
    Lock hold(PluginLock());
    UnitValues values{};
    for (int position = 0; position < kUnitParamCount; ++position)
        values[static_cast<size_t>(position)] = IntParam(ParamIndexOfPosition(position));
    return values;
}

UnitValues OrvoEditor::EditedValues() const {
    Lock hold(PluginLock());
    return comparing_ ? edited_ : CurrentValues();
}

void OrvoEditor::ResetHistory() {
    Lock hold(PluginLock());
    LeaveCompare();
    history_.Reset(CurrentValues());
    original_ = CurrentValues();
}

void OrvoEditor::SetProgramName(const std::string& name) {
    Lock hold(PluginLock());
    if (programName_ == name) return;
    programName_ = name;
    ++programNameChanges_;
}

std::string OrvoEditor::ProgramName() const {
    Lock hold(PluginLock());
    return programName_;
}

void OrvoEditor::KeepAsOriginal() {
    Lock hold(PluginLock());
    original_ = EditedValues();
}

void OrvoEditor::BeginGesture(int index) {
    Lock hold(PluginLock());
    LeaveCompare();
    ShowCompareState();
    history_.Begin({EditHistory::Source::kGesture, index}, NowMs(), CurrentValues());
}

void OrvoEditor::EndGesture(int index) {
    (void)index;
    Lock hold(PluginLock());
    if (history_.InGesture()) history_.Close(CurrentValues());
}

void OrvoEditor::SetParameterFromGui(int index, double normalized) {
    {
        Lock hold(PluginLock());
        const int position = UnitPosition(index);
        const bool unitParam = index >= kFirstUnitParamIndex && position < kUnitParamCount;
        if (comparing_) {
            LeaveCompare();
            ShowCompareState();
            // A wheel turned on the original only brings the edited program back: the step it
            // made was taken from a value that is no longer shown.
            if (unitParam && !history_.InGesture()) {
                RedrawParamControls();
                return;
            }
        }
        if (unitParam && !history_.InGesture())
            history_.Begin({EditHistory::Source::kPanel, index}, NowMs(), CurrentValues());
    }
    StandalonePlugin::SetParameterFromGui(index, normalized);
}

bool OrvoEditor::AcceptEnteredValue(int index, const std::string& text, std::string& refusal) {
    Lock hold(PluginLock());
    const int position = UnitPosition(index);
    if (index < kFirstUnitParamIndex || position >= kUnitParamCount) return true;
    const int minimum = PositionMinimum(position);
    const int maximum = PositionMaximum(position);
    const std::optional<double> number = ParseDecimal(text);
    const bool whole = number && *number == std::floor(*number);
    if (whole && *number >= minimum && *number <= maximum) {
        LeaveCompare();
        ShowCompareState();
        return true;
    }
    // Said beside the entry, naming the control as the panel labels it.
    const std::string range = ControlName(position) + " takes values from " + Number(minimum) +
                              " to " + Number(maximum) + ".";
    refusal = (number ? text + " is out of range." : "Please enter a number.") + "\n" + range;
    return false;
}

bool OrvoEditor::CanUndo() const {
    Lock hold(PluginLock());
    return history_.CanUndo(EditedValues());
}

bool OrvoEditor::CanRedo() const {
    Lock hold(PluginLock());
    return history_.CanRedo(EditedValues());
}

bool OrvoEditor::CanCompare() const {
    Lock hold(PluginLock());
    return comparing_ || !ChangesTo(original_, true).empty();
}

bool OrvoEditor::Comparing() const {
    Lock hold(PluginLock());
    return comparing_;
}

bool OrvoEditor::CommandEnabled(int code) const {
    switch (code) {
        case kCommandUndo:
            return CanUndo();
        case kCommandRedo:
            return CanRedo();
        case kCommandCompare:
            return CanCompare();
        case kCommandStopTransfer:
            return TransferRunning() || LearnArmed();
        case kCommandLearnController:
            return true;
        default: {
            Lock hold(PluginLock());
            return !resize_ || resize_->ViewCommandEnabled(code);
        }
    }
}

bool OrvoEditor::CommandChecked(int code) const {
    if (code == kCommandCompare) return Comparing();
    if (code == kCommandLearnController) return LearnArmed();
    Lock hold(PluginLock());
    return resize_ && resize_->ViewCommandChecked(code);
}

bool OrvoEditor::TransferRunning() const {
    Lock hold(PluginLock());
    return programs_ != nullptr && programs_->TransferRunning();
}

bool OrvoEditor::Undo() {
    return TakeHistoryStep(&EditHistory::Undo);
}

bool OrvoEditor::Redo() {
    return TakeHistoryStep(&EditHistory::Redo);
}

bool OrvoEditor::TakeHistoryStep(HistoryStep take) {
    Lock hold(PluginLock());
    LeaveCompare();
    const std::optional<std::vector<PositionChange>> step = (history_.*take)(CurrentValues());
    if (!step) return false;
    ApplyPositions(*step);
    return true;
}

bool OrvoEditor::ToggleCompare() {
    Lock hold(PluginLock());
    if (comparing_) {
        LeaveCompare();
        return true;
    }
    const std::vector<PositionChange> toOriginal = ChangesTo(original_, true);
    if (toOriginal.empty()) return false;
    // The edits so far are a step of their own; nothing is recorded while the original plays.
    history_.Close(CurrentValues());
    edited_ = CurrentValues();
    comparing_ = true;
    ApplyPositions(toOriginal);
    return true;
}

void OrvoEditor::LeaveCompare() {
    if (!comparing_) return;
    comparing_ = false;
    ApplyPositions(ChangesTo(edited_, false));
}

void OrvoEditor::ShowCompareState() {
    if (panel_) panel_->ShowCompare(comparing_);
}

std::vector<PositionChange> OrvoEditor::ChangesTo(const UnitValues& target, bool playedOnly) const {
    const UnitValues current = CurrentValues();
    const int effectType = target[kEffectTypePosition];
    std::vector<PositionChange> changes;
    for (int position = 0; position < kUnitParamCount; ++position) {
        const auto p = static_cast<size_t>(position);
        const int overlay = OverlayEffect(position);
        if (playedOnly && overlay != kEffectOff && overlay != effectType) continue;
        if (current[p] != target[p]) changes.push_back({position, current[p], target[p]});
    }
    return changes;
}

void OrvoEditor::ApplyPositions(const std::vector<PositionChange>& changes) {
    std::vector<PositionChange> pending;
    for (const PositionChange& change : changes) {
        if (IntParam(ParamIndexOfPosition(change.position)) != change.after)
            pending.push_back(change);
    }
    if (pending.empty()) return;
    const int oldType = EffectType();
    int newType = oldType;
    bool equalizerChanged = false;
    for (const PositionChange& change : pending) {
        if (change.position == kEffectTypePosition) newType = change.after;
        equalizerChanged |= OverlayEffect(change.position) == kEffectEqualizer;
    }
    auto played = [oldType, newType](const PositionChange& change) {
        const int overlay = OverlayEffect(change.position);
        return overlay == kEffectOff || overlay == oldType || overlay == newType;
    };
    if (std::count_if(pending.begin(), pending.end(), played) > 1) {
        SendInBracket(pending, oldType, newType);
    } else {
        // One value alone goes out as a change by hand sends it (a new effect type brackets
        // itself with its overlay).
        for (const PositionChange& change : pending) {
            if (played(change)) {
                SetParameterValue(ParamIndexOfPosition(change.position), change.after);
            } else {
                SetPositionQuietly(change.position, change.after);
            }
        }
        RedrawParamControls();
    }
    FollowEqualizer(equalizerChanged || newType != oldType);
}

void OrvoEditor::SendInBracket(const std::vector<PositionChange>& pending, int oldType,
                               int newType) {
    auto set = [this](const PositionChange& change) {
        SetParameterValue(ParamIndexOfPosition(change.position), change.after);
    };
    BeginBulkChange(0);
    for (const PositionChange& change : pending) {
        if (change.position < kEffectTypePosition) set(change);
    }
    // The overlay the unit plays now takes its values before the effect type moves on from it.
    for (const PositionChange& change : pending) {
        if (OverlayEffect(change.position) == oldType && oldType != kEffectOff) set(change);
    }
    if (newType != oldType) {
        for (const PositionChange& change : pending) {
            if (change.position == kEffectTypePosition) set(change);
        }
        // The new effect's addresses meant another effect a moment ago: all of its overlay goes
        // out, changed or not, as a new effect type by hand sends it.
        for (int slot = kFirstEffectSlot; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, newType);
            if (position < 0) continue;
            lastValue_[static_cast<size_t>(position)] = kNeverSent;
            const auto found = std::find_if(pending.begin(), pending.end(),
                                            [position](auto& c) { return c.position == position; });
            if (found != pending.end()) {
                set(*found);
            } else {
                ParamChanged(ParamIndexOfPosition(position));
            }
        }
    }
    for (const PositionChange& change : pending) {
        const int overlay = OverlayEffect(change.position);
        if (overlay != kEffectOff && overlay != oldType && overlay != newType)
            SetPositionQuietly(change.position, change.after);
    }
    EndBulkChange();
}

// A position of an effect the unit does not play: its address stands for another effect's
// parameter, so it is shown and kept, but not sent. The effect sends it when it comes back.
void OrvoEditor::SetPositionQuietly(int position, int value) {
    Parameter& param = *GetParam(ParamIndexOfPosition(position));
    param.value = Clamp(param, value);
    const int shown = IntValue(param);
    lastValue_[static_cast<size_t>(position)] = kNeverSent;
    if (panel_) panel_->SetValueText(position, Number(shown));
    ShowValueText(position, shown);
}

void OrvoEditor::FollowEqualizer(bool equalizerChanged) {
    if (equalizerChanged && EffectType() == kEffectEqualizer && graphicView_) HandEqualizerBands();
}
