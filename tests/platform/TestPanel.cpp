#include "TestPanel.h"

#include "editor/PanelPlaces.h"
#include "editor/UnitParameters.h"
#include "gui/BitmapControl.h"
#include "gui/BitmapOverlayControl.h"
#include "gui/ContactControl.h"
#include "gui/FileSelectorControl.h"
#include "gui/InvisibleSwitchControl.h"
#include "gui/KeyboardControl.h"
#include "gui/SwitchControl.h"

TestPanelCore::TestPanelCore() {
    for (int position = 0; position < kUnitParamCount; ++position) {
        const UnitParameter& unit = *UnitParameterAt(position);
        InitIntParam(*GetParam(ParamIndexOfPosition(position)), unit.name, unit.defaultValue,
                     unit.minimum, unit.maximum);
    }
    for (int index = 131; index < kParamCount; ++index) {
        InitParam(*GetParam(index), "Switch", 0.0, 0.0, 1.0, 0.001, 1.0);
    }
    InitIntParam(*GetParam(138), "7 segment display", 1, 0, 99);
}

void TestPanelCore::SetParameterFromGui(int index, double normalized) {
    pushes.push_back({index, normalized});
    PluginBase::SetParameterFromGui(index, normalized);
}

namespace {

TextStyle ValueStyle(const ColorARGB& colour) {
    TextStyle style;
    style.size = 12;
    style.style = kTextBold;
    style.color = colour;
    return style;
}

}  // namespace

template <typename T, typename... Args>
T* TestPanel::Add(Args&&... args) {
    auto control = std::make_unique<T>(&core_, std::forward<Args>(args)...);
    T* raw = control.get();
    graphics_->AddControl(raw);
    owned_.push_back(std::move(control));
    return raw;
}

ImageStrip* TestPanel::Strip(int id) {
    const PanelImage* image = PanelImageFor(id);
    return graphics_->LoadImageStrip(id, image->name, image->frames);
}

TestPanel::TestPanel(TestPanelCore& core, Graphics* graphics) : core_(core), graphics_(graphics) {
    graphics_->SetImageScaleDivisor(2);
    BuildControls();
    for (int i = 0; i < graphics_->GetNControls(); ++i) {
        baseDraw_.push_back(graphics_->GetControl(i)->DrawRect());
        baseTarget_.push_back(graphics_->GetControl(i)->TargetRect());
    }
    graphics_->RenderAllStrips(1.0);
    core_.AttachGraphics(graphics_);
    // What the editor's build initialisation does for the value texts.
    for (KnobMultiControl* knob : knobs_) {
        if (knob != nullptr) knob->MarkDirty(false);
    }
    graphics_->SetShowTooltips(true);
    graphics_->SetHandleMouseOver(true);
}

void TestPanel::BuildControls() {
    graphics_->AddBackgroundPanel({255, 127, 127, 127});
    Add<BitmapControl>(Strip(102));
    ImageStrip* chooser = Strip(109);
    Add<FileSelectorControl>(Rect{0, 0, 40, 16}, 135, chooser, kFileOpen, "ldr")->Hide(true);
    Add<FileSelectorControl>(Rect{56, 0, 96, 16}, 131, chooser, kFileOpen, "")->Hide(true);
    Add<FileSelectorControl>(Rect{56, 16, 96, 32}, 131, chooser, kFileOpen, "prg")
        ->SetTooltip("Load program from file");
    Add<FileSelectorControl>(Rect{56, 32, 96, 48}, 132, chooser, kFileSave, "prg")
        ->SetTooltip("Save program to file");
    Add<FileSelectorControl>(Rect{56, 48, 96, 64}, 133, chooser, kFileOpen, "prg")
        ->SetTooltip("Select and write program from file to Orvo");
    Add<SwitchControl>(56, 64, 134, Strip(116));
    for (int id : {111, 112, 113, 114, 132}) {
        Add<BitmapControl>(514, 563, -1, Strip(id))->Hide(id != 111);
    }
    Add<BitmapControl>(931, 537, -1, Strip(115))->Hide(true);
    status_ =
        Add<TextControl>(Rect{104, 29, 264, 45}, ValueStyle({255, 255, 0, 0}), "Program Name");
    for (int position = 0; position < kUnitParamCount; ++position) {
        TextControl* text = Add<TextControl>(PositionPlaceAt(position)->valueText,
                                             ValueStyle({255, 255, 255, 255}));
        valueTexts_[static_cast<size_t>(position)] = text;
        if (position == 80) text->Hide(true);
    }
    Add<BitmapControl>(160, 47, 138, Strip(117));
    for (int position = 0; position < kUnitParamCount; ++position) {
        const PositionPlace& place = *PositionPlaceAt(position);
        const int index = ParamIndexOfPosition(position);
        Control* control = nullptr;
        if (place.kind == kPlaceKnob) {
            KnobMultiControl* knob = Add<KnobMultiControl>(place.topLeft.x, place.topLeft.y, index,
                                                           Strip(place.imageId), place.gearing);
            knobs_[static_cast<size_t>(position)] = knob;
            control = knob;
        } else if (place.kind == kPlaceSwitch) {
            control =
                Add<SwitchControl>(place.topLeft.x, place.topLeft.y, index, Strip(place.imageId));
        }
        if (control == nullptr) continue;
        control->SetValueDisplay(valueTexts_[static_cast<size_t>(position)]);
        control->SetTooltip(core_.GetParam(index)->name);
        control->SetPromptDisabled(false);
        // Only the bypass group of the effect area shows on a fresh panel.
        if (position >= 90) control->Hide(true);
        if (position >= 90) valueTexts_[static_cast<size_t>(position)]->Hide(true);
    }
    const struct {
        int id, x, y, param;
    } buttons[] = {{125, 186, 730, 139}, {126, 769, 730, 140}, {127, 769, 749, 141},
                   {128, 769, 768, 142}, {129, 958, 730, 143}, {130, 958, 758, 144}};
    for (const auto& b : buttons)
        Add<ContactControl>(b.x, b.y, b.param, Strip(b.id));
    const int columns[] = {28, 132, 832, 880};
    ImageStrip* checkbox = Strip(131);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            Add<SwitchControl>(columns[column], 731 + 13 * row, 145 + column * 4 + row, checkbox);
        }
    }
    ImageStrip* step = Strip(110);
    Add<ContactControl>(216, 49, 136, step);
    Add<ContactControl>(238, 49, 137, step);
    Add<InvisibleSwitchControl>(Rect{605, 565, 632, 584}, 162)->SetPromptDisabled(true);
    Add<InvisibleSwitchControl>(Rect{636, 565, 663, 584}, 163)->SetPromptDisabled(true);
    Add<KeyboardControl>(Strip(104), Strip(105),
                         std::array<int, 12>{0, 9, 14, 25, 28, 42, 51, 56, 66, 70, 81, 84});
    Add<BitmapOverlayControl>(0, 0, -1, Strip(103), Rect{0, 0, 20, 20});
}

KnobMultiControl* TestPanel::Knob(int position) const {
    if (position < 0 || position >= kUnitParamCount) return nullptr;
    return knobs_[static_cast<size_t>(position)];
}

void TestPanel::ApplyScale(double scale) {
    auto scaled = [scale](const Rect& r) {
        auto s = [scale](int32_t c) { return static_cast<int32_t>((c + 0.4999) * scale); };
        return Rect{s(r.L), s(r.T), s(r.R), s(r.B)};
    };
    graphics_->SetGuiScale(scale);
    graphics_->RenderAllStrips(scale);
    for (int i = 0; i < graphics_->GetNControls() && i < static_cast<int>(baseDraw_.size()); ++i) {
        Control* control = graphics_->GetControl(i);
        control->SetDrawRECT(scaled(baseDraw_[static_cast<size_t>(i)]));
        control->SetTargetRECT(scaled(baseTarget_[static_cast<size_t>(i)]));
        control->ApplyScale(scale);
    }
    graphics_->ResizePanel(static_cast<int>(1024 * scale), static_cast<int>(800 * scale));
    graphics_->MarkAllDirty();
}
