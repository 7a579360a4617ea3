#include "editor/OrvoPanel.h"

#include "editor/OrvoEditor.h"
#include "editor/PanelPlaces.h"
#include "gui/BitmapControl.h"
#include "gui/BitmapOverlayControl.h"
#include "gui/ContactControl.h"
#include "gui/FileSelectorControl.h"
#include "gui/Graphics.h"
#include "gui/GuiResize.h"
#include "gui/InvisibleSwitchControl.h"
#include "gui/KeyboardControl.h"
#include "gui/KnobMultiControl.h"
#include "gui/MarkControl.h"
#include "gui/PanelControl.h"
#include "gui/PanelKeys.h"
#include "gui/ParaGraphicEq.h"
#include "gui/SwitchControl.h"
#include "gui/TextControl.h"
#include "resources/ResourceTable.h"

namespace {

// Which of the five file choosers stands where, and what it opens.
struct ChooserPlace {
    Rect rect;
    int param;
    int action;
    const char* extensions;
    bool shown;
};
constexpr ChooserPlace kChoosers[] = {
    {{0, 0, 40, 16}, kParamFirmwareFile, kFileOpen, "ldr", false},
    {{56, 0, 96, 16}, kParamProgramLoadFile, kFileOpen, "", false},
    {{56, 16, 96, 32}, kParamProgramLoadFile, kFileOpen, "prg", true},
    {{56, 32, 96, 48}, kParamProgramSaveFile, kFileSave, "prg", true},
    {{56, 48, 96, 64}, kParamProgramWriteFile, kFileOpen, "prg", true},
};
constexpr int kShownLoadChooser = 2;

// The effect area's pictures, in the order of effectImages_.
enum EffectImage {
    kBypassImage,
    kChorusImage,
    kDriveImage,
    kEqKnobsImage,
    kEqGraphImage,
    kTitleImage
};
constexpr resources::ImageId kEffectImageIds[] = {
    resources::kImageEffectBypass,  resources::kImageEffectChorus,  resources::kImageEffectDrive,
    resources::kImageEffectEqKnobs, resources::kImageEffectEqGraph, resources::kImageBlendTitle};
// The title names the effect's two blend controls (positions 90 and 91, and the switches that
// take their place) and is shown only with them, so it stands under their value texts, two
// units down, as the background's names stand under theirs.
constexpr int kBlendTitleLeft = 931;
constexpr int kBlendTitleGap = 2;

struct ButtonPlace {
    int imageId;
    int x, y;
    int param;
};
constexpr ButtonPlace kSectionButtons[] = {
    {resources::kImageCopy, 186, 730, kParamSectionCopy},
    {resources::kImageDefault, 769, 730, kParamSectionDefault},
    {resources::kImageRandom, 769, 749, kParamSectionRandom},
    {resources::kImageReset, 769, 768, kParamSectionReset},
    {resources::kImageSelectAll, 958, 730, kParamSelectAllSections},
    {resources::kImageClearAll, 958, 758, kParamClearAllSections},
};
// What the buttons without a parameter name of the unit's do, for their tooltips.
struct ButtonTip {
    int param;
    const char* text;
};
constexpr ButtonTip kButtonTips[] = {
    {kParamSectionCopy, "Copy the VCO ticked under FROM onto the VCOs ticked under TO"},
    {kParamSectionDefault, "Set the ticked sections to the default sound"},
    {kParamSectionRandom, "Set the ticked sections to random values"},
    {kParamSectionReset, "Reset the ticked sections to neutral values"},
    {kParamSelectAllSections, "Tick all eight sections"},
    {kParamClearAllSections, "Untick all sections"},
    {kParamPreviousProgram, "Previous program of the unit"},
    {kParamNextProgram, "Next program of the unit"},
    {kParamSevenSegment, "The unit's program number"},
    {kParamPgEq,
     "Drag a band's handle to change its frequency and boost; drag with the right button to "
     "change its width"},
};
constexpr const char* kCopyFromTip = "Copy from this VCO";
constexpr const char* kCopyToTip = "Copy onto this VCO";
constexpr const char* kSectionTip = "Section that DEFAULT, RANDOM and RESET change";
constexpr const char* kKeyboardTip = "Play the unit: low on a key plays louder";
constexpr const char* kAboutTip = "About Orvo Editor";
constexpr const char* kGripTip = "Drag to zoom the panel, from 50 % to 200 %";

constexpr int kCheckBoxColumns[] = {28, 132, 832, 880};
constexpr int kCheckBoxRows[] = {731, 744, 757, 770};
// The section check boxes: VCO1..VCO4 in the third column, the other four sections in the last.
constexpr int kCheckBoxFirstParam[] = {kParamCopyFromVco1, kParamCopyToVco1,
                                       SectionSwitchIndex(kSectionVco1),
                                       SectionSwitchIndex(kSectionFilter)};

// How far down from its corner a fader is drawn: its cap travels over this height.
constexpr int kFaderReach = 45;

constexpr std::array<int, 12> kKeyLeftEdges = {0, 9, 14, 25, 28, 42, 51, 56, 66, 70, 81, 84};

TextStyle PanelTextStyle(const ColorARGB& colour) {
    TextStyle style;
    style.face = "Verdana";
    style.size = 12;
    style.style = kTextBold;
    style.align = kAlignCentre;
    style.color = colour;
    style.entryBackground = {255, 255, 255, 255};
    style.entryText = {255, 0, 0, 0};
    return style;
}
const TextStyle kValueStyle = PanelTextStyle({255, 255, 255, 255});
const TextStyle kNameStyle = PanelTextStyle({255, 255, 0, 0});
// The progress of a long transfer, under the status line.
const TextStyle kProgressStyle = [] {
    TextStyle style = PanelTextStyle({255, 255, 255, 255});
    style.size = 11;
    style.style = kTextNormal;
    return style;
}();
constexpr Rect kProgressLineRect{102, 6, 266, 20};
// While compare plays the original program, its caption stands over the caption of the status
// line, on the panel's own colour there; a transfer's progress line takes the place over it.
const TextStyle kCompareStyle = [] {
    TextStyle style = PanelTextStyle({255, 241, 162, 58});
    style.size = 11;
    return style;
}();
constexpr ColorARGB kCaptionBackground{255, 20, 21, 24};
const char* const kCompareCaption = "COMPARE: ORIGINAL";

}  // namespace

template <typename T, typename... Args>
T* OrvoPanel::Add(Args&&... args) {
    auto control = std::make_unique<T>(&editor_, std::forward<Args>(args)...);
    T* raw = control.get();
    graphics_->AddControl(raw);
    controls_.push_back(std::move(control));
    return raw;
}

ImageStrip* OrvoPanel::Strip(int id) {
    for (const resources::ImageResource& image : resources::kImageResources) {
        if (image.id == id) return graphics_->LoadImageStrip(id, image.name, image.frames);
    }
    return nullptr;
}

OrvoPanel::OrvoPanel(OrvoEditor& editor, Graphics* graphics)
    : editor_(editor), graphics_(graphics) {
    graphics_->AddBackgroundPanel({255, 127, 127, 127});
    ImageStrip* background = Strip(resources::kImageBackground);
    Add<BitmapControl>(0, 0, -1, background);
    AddFileChoosers();
    Add<SwitchControl>(56, 64, kParamWriteAll, Strip(resources::kImageWriteAll));
    // Loaded up front so that every strip is decoded before the first frame is drawn.
    for (resources::ImageId id :
         {resources::kImageFaderYellow, resources::kImageFaderRed, resources::kImageFaderRed2,
          resources::kImageFaderRed4, resources::kImageKnob, resources::kImageButton,
          resources::kImageKnob4, resources::kImageKnob5, resources::kImageKnob13,
          resources::kImageKnob17, resources::kImageEffectBypass})
        Strip(id);
    // The two largest images of the first drawing (about two thirds of what it decodes) are
    // decoded while the main window is built around the panel.
    graphics_->DecodeAhead({background, Strip(resources::kImageEffectBypass)});
    AddEffectArea();
    statusLine_ = Add<TextControl>(Rect{104, 22, 264, 38}, kNameStyle, "Program Name");
    statusLine_->SetShrinkToFit(true);
    compareBack_ = Add<PanelControl>(kProgressLineRect, kCaptionBackground);
    compareLine_ = Add<TextControl>(kProgressLineRect, kCompareStyle, kCompareCaption);
    compareBack_->Hide(true);
    compareLine_->Hide(true);
    // Over the caption above the status line, while a transfer shows its progress.
    progressBack_ = Add<PanelControl>(kProgressLineRect, ColorARGB{255, 24, 26, 30});
    progressLine_ = Add<TextControl>(kProgressLineRect, kProgressStyle, "");
    progressBack_->Hide(true);
    progressLine_->Hide(true);
    AddValueTexts();
    Add<BitmapControl>(160, 42, kParamSevenSegment, Strip(resources::kImageSevenSegment));
    AddPositionControls();
    AddControllerMarks();
    AddEqualizer();
    AddSectionControls();
    Add<ContactControl>(216, 45, kParamPreviousProgram, Strip(resources::kImageInvisibleButton));
    Add<ContactControl>(238, 45, kParamNextProgram, Strip(resources::kImageInvisibleButton));
    AddEqViewSwitches();
    keyboard_ = Add<KeyboardControl>(Strip(resources::kImageKeys),
                                     Strip(resources::kImageKeyboardBackground), kKeyLeftEdges);
    about_ = Add<BitmapOverlayControl>(0, 0, -1, Strip(resources::kImageAbout), Rect{0, 0, 20, 20});
    // Escape closes the about view wherever the pointer is.
    graphics_->SetKeyCatcher(about_);

    editor_.AttachGraphics(graphics_);
    AddTooltips();
    ShowEffectPanels(kEffectOff, false, false);
}

OrvoPanel::~OrvoPanel() = default;

void OrvoPanel::AddFileChoosers() {
    ImageStrip* strip = Strip(resources::kImageFileOpen);
    for (size_t i = 0; i < std::size(kChoosers); ++i) {
        const ChooserPlace& place = kChoosers[i];
        choosers_[i] = Add<FileSelectorControl>(place.rect, place.param, strip, place.action,
                                                std::string(place.extensions));
        if (!place.shown) choosers_[i]->Hide(true);
    }
}

void OrvoPanel::AddEffectArea() {
    for (size_t i = 0; i < std::size(kEffectImageIds); ++i) {
        const bool title = i == kTitleImage;
        // Every effect's first position is its blend BASS control, all in the same place.
        const int titleTop = PositionPlaceAt(kChorusFirstPosition)->valueText.B + kBlendTitleGap;
        effectImages_[i] = Add<BitmapControl>(title ? kBlendTitleLeft : 514, title ? titleTop : 563,
                                              -1, Strip(kEffectImageIds[i]));
    }
}

void OrvoPanel::AddValueTexts() {
    for (int position = 0; position < kUnitParamCount; ++position) {
        TextControl* text = Add<TextControl>(PositionPlaceAt(position)->valueText, kValueStyle, "");
        valueTexts_[static_cast<size_t>(position)] = text;
    }
    // "MIDI channel" is set on the unit itself; its value is kept but not shown.
    valueTexts_[80]->Hide(true);
}

void OrvoPanel::AddPositionControls() {
    for (int position = 0; position < kUnitParamCount; ++position) {
        const PositionPlace& place = *PositionPlaceAt(position);
        const int param = ParamIndexOfPosition(position);
        Control* control = nullptr;
        if (place.kind == kPlaceKnob) {
            control = Add<KnobMultiControl>(place.topLeft.x, place.topLeft.y, param,
                                            Strip(place.imageId), place.gearing);
            // A right click types the value, or picks the word of a worded parameter.
            control->SetPromptDisabled(false);
            // A fader's frame reaches 200 units down, into the next row of faders, which would
            // take the clicks meant for their own caps; the mouse reaches it where it is drawn,
            // above its value text.
            Rect target = control->DrawRect();
            if (target.Height() > kFaderReach) {
                target.B = target.T + kFaderReach;
                control->SetTargetRECT(target);
            }
        } else if (place.kind == kPlaceSwitch) {
            control =
                Add<SwitchControl>(place.topLeft.x, place.topLeft.y, param, Strip(place.imageId));
        }
        positionControls_[static_cast<size_t>(position)] = control;
    }
}

// A learned controller's mark is a dot in the top right corner of where the mouse reaches its
// control (a fader's track, not the length of its strip), in the amber of the panel's captions.
void OrvoPanel::AddControllerMarks() {
    constexpr int kMarkSize = 6;
    constexpr int kMarkInset = 1;
    constexpr ColorARGB kMarkColour{255, 255, 176, 32};
    for (int position = 0; position < kUnitParamCount; ++position) {
        const Control* control = positionControls_[static_cast<size_t>(position)];
        if (control == nullptr) continue;
        const Rect& reach =
            control->TargetRect().IsEmpty() ? control->DrawRect() : control->TargetRect();
        const int right = reach.R - kMarkInset, top = reach.T + kMarkInset;
        controllerMarks_[static_cast<size_t>(position)] =
            Add<MarkControl>(Rect{right - kMarkSize, top, right, top + kMarkSize}, kMarkColour);
    }
}

Control* OrvoPanel::ControllerMark(int position) const {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    return controllerMarks_[static_cast<size_t>(position)];
}

void OrvoPanel::ShowController(int position, int controller) {
    Control* control = PositionControl(position);
    if (control == nullptr) return;
    const auto p = static_cast<size_t>(position);
    learned_[p] = controller >= 0;
    std::string tip = editor_.GetParam(control->ParamIndex())->name;
    if (learned_[p]) tip += " (MIDI controller " + std::to_string(controller) + ")";
    control->SetTooltip(tip);
    controllerMarks_[p]->Hide(!learned_[p] || control->IsHidden());
}

void OrvoPanel::AddEqualizer() {
    equalizer_ = Add<ParaGraphicEq>(kEqualizerPlace, kParamPgEq, EqualizerDisplaySettings());
}

void OrvoPanel::AddEqViewSwitches() {
    constexpr int kViewParams[kEqViewCount] = {kParamParametricEqView, kParamParagraphicEqView};
    for (int shown = 0; shown < kEqViewCount; ++shown) {
        for (int to = 0; to < kEqViewCount; ++to) {
            viewSwitches_[static_cast<size_t>(shown)][static_cast<size_t>(to)] =
                Add<InvisibleSwitchControl>(kEqViewTabs[shown][to], kViewParams[to]);
        }
    }
}

Control* OrvoPanel::EqViewSwitch(int shown, int to) const {
    if (shown < 0 || shown >= kEqViewCount || to < 0 || to >= kEqViewCount) return nullptr;
    return viewSwitches_[static_cast<size_t>(shown)][static_cast<size_t>(to)];
}

void OrvoPanel::AddSectionControls() {
    for (const ButtonPlace& button : kSectionButtons) {
        Add<ContactControl>(button.x, button.y, button.param, Strip(button.imageId));
    }
    ImageStrip* checkBox = Strip(resources::kImageCheckBox);
    for (size_t column = 0; column < std::size(kCheckBoxColumns); ++column) {
        for (size_t row = 0; row < std::size(kCheckBoxRows); ++row) {
            Add<SwitchControl>(kCheckBoxColumns[column], kCheckBoxRows[row],
                               kCheckBoxFirstParam[column] + static_cast<int>(row), checkBox);
        }
    }
}

void OrvoPanel::AddTooltips() {
    for (const auto& control : controls_) {
        const int param = control->ParamIndex();
        const bool named =
            (param >= kFirstUnitParamIndex && param < kFirstUnitParamIndex + kUnitParamCount) ||
            param == kParamParametricEqView || param == kParamParagraphicEqView;
        if (named) control->SetTooltip(editor_.GetParam(param)->name);
        if (param == kParamWriteAll) {
            control->SetTooltip(
                "Write all programs from files to Orvo. You have to connect two midicables!");
        }
    }
    choosers_[2]->SetTooltip("Load program from file");
    choosers_[3]->SetTooltip("Save program to file");
    choosers_[4]->SetTooltip("Select and write program from file to Orvo");
    // Every other control says what it does too.
    for (const auto& control : controls_) {
        const int param = control->ParamIndex();
        for (const ButtonTip& tip : kButtonTips) {
            if (tip.param == param) control->SetTooltip(tip.text);
        }
        if (param >= kParamCopyFromVco1 && param < kParamCopyToVco1)
            control->SetTooltip(kCopyFromTip);
        if (param >= kParamCopyToVco1 && param < kParamCopyToVco1 + 4)
            control->SetTooltip(kCopyToTip);
        if (param >= kParamFirstSectionSwitch && param < kParamFirstSectionSwitch + kSectionCount)
            control->SetTooltip(kSectionTip);
    }
    keyboard_->SetTooltip(kKeyboardTip);
    about_->SetTooltip(kAboutTip);
    if (Control* grip = editor_.Resize()) grip->SetTooltip(kGripTip);
    graphics_->SetHandleMouseOver(true);
    graphics_->SetShowTooltips(true);
}

void OrvoPanel::ShowPositions(int first, int last, bool show) {
    for (int position = first; position <= last; ++position) {
        valueTexts_[static_cast<size_t>(position)]->Hide(!show);
        if (Control* control = positionControls_[static_cast<size_t>(position)])
            control->Hide(!show);
        if (Control* mark = controllerMarks_[static_cast<size_t>(position)])
            mark->Hide(!show || !learned_[static_cast<size_t>(position)]);
    }
}

void OrvoPanel::ShowEffectPanels(int effectType, bool parametricView, bool graphicView) {
    for (BitmapControl* image : effectImages_)
        image->Hide(true);
    ShowPositions(kChorusFirstPosition, kUnitParamCount - 1, false);
    equalizer_->Hide(true);
    switch (effectType) {
        case kEffectChorus:
            effectImages_[kChorusImage]->Hide(false);
            ShowPositions(kChorusFirstPosition, kChorusFirstPosition + kChorusCount - 1, true);
            break;
        case kEffectOverdrive:
            effectImages_[kDriveImage]->Hide(false);
            ShowPositions(kOverdriveFirstPosition, kOverdriveFirstPosition + kOverdriveCount - 1,
                          true);
            break;
        case kEffectEqualizer:
            if (parametricView) {
                effectImages_[kEqKnobsImage]->Hide(false);
                ShowPositions(kEqualizerFirstPosition, kUnitParamCount - 1, true);
            }
            if (graphicView) {
                effectImages_[kEqGraphImage]->Hide(false);
                equalizer_->Hide(false);
                ShowPositions(kEqualizerFirstPosition, kEqualizerFirstPosition + 1, true);
            }
            break;
        default:
            effectImages_[kBypassImage]->Hide(false);
            break;
    }
    if (effectType >= kEffectChorus && effectType <= kEffectEqualizer) {
        effectImages_[kTitleImage]->Hide(false);
    }
    // The view switches are invisible, over the pictures of them on the equalizer's two
    // backgrounds: each view takes the mouse on its own pair only.
    const bool equalizer = effectType == kEffectEqualizer;
    const bool viewShown[kEqViewCount] = {equalizer && parametricView, equalizer && graphicView};
    for (int shown = 0; shown < kEqViewCount; ++shown) {
        for (Control* viewSwitch : viewSwitches_[static_cast<size_t>(shown)])
            viewSwitch->Hide(!viewShown[shown]);
    }
}

void OrvoPanel::SetValueText(int position, const std::string& text) {
    if (TextControl* control = ValueText(position)) control->SetText(text);
}

void OrvoPanel::SetStatusLine(const std::string& text) {
    statusLine_->SetText(text);
}

std::string OrvoPanel::StatusLine() const {
    return statusLine_->Text();
}

void OrvoPanel::SetEqualizerBands(const std::array<EqBandRecord, kEqBandCount>& bands) {
    for (const EqBandRecord& band : bands)
        equalizer_->SetBand(band);
}

EqBandRecord OrvoPanel::EqualizerBand(int band) const {
    if (band < 0 || band >= equalizer_->BandCount()) return {};
    return equalizer_->BandRecord(band);
}

FileSelectorControl* OrvoPanel::Chooser(int index) const {
    if (index == kParamProgramLoadFile) return choosers_[kShownLoadChooser];
    for (FileSelectorControl* chooser : choosers_) {
        if (chooser->ParamIndex() == index) return chooser;
    }
    return nullptr;
}

std::string OrvoPanel::ChooserPath(int index) const {
    const FileSelectorControl* chooser = Chooser(index);
    return chooser ? chooser->FileName() : std::string();
}

void OrvoPanel::SetChooserPath(int index, const std::string& path) {
    for (FileSelectorControl* chooser : choosers_) {
        if (chooser->ParamIndex() == index) chooser->SetFileName(path);
    }
}

void OrvoPanel::OpenChooser(int index) {
    if (FileSelectorControl* chooser = Chooser(index)) chooser->OnPress(0, 0, MouseKeys{});
}

bool OrvoPanel::ShowReport(const Report& report) {
    int type = kMessageError;
    if (report.kind == ReportKind::kWarning) {
        type = report.defaultButton == Report::DefaultButton::kCancel ? kMessageWarningCancelDefault
                                                                      : kMessageWarning;
    }
    if (report.kind == ReportKind::kDone) type = kMessageDone;
    return graphics_->ShowMessage(report.text, ReportQueue::Caption(report.kind), type) ==
           kAnswerOk;
}

bool OrvoPanel::ChooseFolder(std::string& folder) {
    return graphics_->PromptForFolder(folder, "Browse for folder...");
}

void OrvoPanel::ShowAbout() {
    about_->SetValueFromCore(1.0);
    about_->MarkDirty(false);
}

void OrvoPanel::ShowCompare(bool comparing) {
    if (compareLine_->IsHidden() != comparing) return;
    compareBack_->Hide(!comparing);
    compareLine_->Hide(!comparing);
    compareBack_->MarkDirty(false);
}

void OrvoPanel::ShowTransferProgress(const std::string& text) {
    progressLine_->SetText(text);
    progressBack_->Hide(text.empty());
    progressLine_->Hide(text.empty());
    progressBack_->MarkDirty(false);
}

bool OrvoPanel::OpenDocument(const std::string& address) {
    if (graphics_->OpenLink(address, "", "", "")) return true;
    graphics_->ShowUnopenedAddress(address);
    return false;
}

double OrvoPanel::KeyboardVelocity() const {
    return keyboard_->Velocity();
}

void OrvoPanel::RedrawKeyboard() {
    keyboard_->MarkDirty(false);
}

Control* OrvoPanel::PositionControl(int position) const {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    return positionControls_[static_cast<size_t>(position)];
}

TextControl* OrvoPanel::ValueText(int position) const {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    return valueTexts_[static_cast<size_t>(position)];
}
