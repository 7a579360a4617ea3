#include "gui/Control.h"

#include <algorithm>

#include "gui/Graphics.h"
#include "gui/ParamText.h"
#include "gui/TextControl.h"
#include "plugin/PluginBase.h"

Control::Control(PluginBase* core, const Rect& drawRect, int paramIndex, const Blend& blend)
    : core_(core),
      drawRect_(drawRect),
      targetRect_(drawRect),
      paramIndex_(paramIndex),
      blend_(blend) {}

void Control::OnPress(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    if (keys.R) StartValuePrompt();
}

void Control::OnRelease(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
}

void Control::OnDrag(int x, int y, int dx, int dy, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)dx;
    (void)dy;
    (void)keys;
}

void Control::OnDoubleClick(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
    if (defaultValue_ >= 0.0) {
        value_ = defaultValue_;
        MarkDirty(true);
    }
}

void Control::OnWheel(int x, int y, const MouseKeys& keys, int steps) {
    (void)x;
    (void)y;
    (void)keys;
    (void)steps;
}

bool Control::OnKey(int x, int y, int key) {
    (void)x;
    (void)y;
    (void)key;
    return false;
}

void Control::OnHover(int x, int y, const MouseKeys& keys) {
    (void)x;
    (void)y;
    (void)keys;
}

void Control::OnLeave() {}

void Control::ApplyScale(double factor) {
    (void)factor;
}

void Control::SetValueFromCore(double value) {
    if (defaultValue_ < 0.0) {
        // The first value the core gives is the one a double-click brings back.
        value_ = value;
        defaultValue_ = value;
    } else if (value != value_) {
        value_ = value;
        MarkDirty(false);
        redrawAgain_ = true;
    }
}

void Control::SetValueFromUser(double value) {
    if (value == value_) return;
    value_ = value;
    MarkDirty(true);
    redrawAgain_ = true;
}

void Control::SetTextFromEntry(const std::string& text) {
    (void)text;
}

void Control::Hide(bool hide) {
    hidden_ = hide;
    redrawAgain_ = true;
    MarkDirty(false);
}

void Control::SetGrayed(bool gray) {
    grayed_ = gray;
    blend_.weight = gray ? 0.25f : 1.0f;
    MarkDirty(false);
}

bool Control::HitTest(int x, int y) const {
    return !targetRect_.IsEmpty() && targetRect_.Contains(x, y);
}

void Control::MarkDirty(bool push) {
    value_ = std::clamp(value_.load(), clampLow_, clampHigh_);
    dirty_ = true;
    if (push && core_ != nullptr && IsBound()) core_->SetParameterFromGui(paramIndex_, value_);
    UpdateDisplays();
}

void Control::UpdateDisplays() {
    if ((valueDisplay_ == nullptr && nameDisplay_ == nullptr) || core_ == nullptr) return;
    std::lock_guard<std::recursive_mutex> hold(core_->PluginLock());
    const Parameter* param = core_->GetParam(paramIndex_);
    if (param == nullptr) return;
    if (valueDisplay_ != nullptr) valueDisplay_->SetText(ValueDisplayText(*param));
    if (nameDisplay_ != nullptr) nameDisplay_->SetText(param->name);
}

void Control::MarkClean() {
    dirty_ = redrawAgain_.exchange(false);
}

bool Control::NeedsRedraw() {
    return dirty_;
}

void Control::OnIdle() {}

void Control::SetAuxValueFromCore(int auxIndex, double value) {
    if (auxIndex < 0 || auxIndex >= AuxCount()) return;
    AuxParam& aux = aux_[static_cast<size_t>(auxIndex)];
    if (aux.value == value) return;
    aux.value = value;
    MarkDirty(false);
    redrawAgain_ = true;
}

int Control::AddAuxParam(int paramIndex) {
    aux_.push_back({0.0, paramIndex});
    return AuxCount() - 1;
}

Graphics* Control::GraphicsCore() const {
    return core_ != nullptr ? dynamic_cast<Graphics*>(core_->Gui()) : nullptr;
}

void Control::StartValuePrompt() {
    if (!IsBound() || promptDisabled_ || core_ == nullptr) return;
    Graphics* graphics = GraphicsCore();
    if (graphics == nullptr) return;
    Parameter* param = core_->GetParam(paramIndex_);
    if (param == nullptr) return;
    // A control the mouse reaches on part of its picture only (a fader whose strip frame runs
    // far below its cap) is prompted for where it is reached.
    const Rect& over = targetRect_.IsEmpty() ? drawRect_ : targetRect_;
    Rect box = over;
    if (param->displayTexts.empty()) {
        const int cx = static_cast<int>((over.L + over.R) / 2.0);
        const int cy = static_cast<int>((over.T + over.B) / 2.0);
        box = {cx - 20, cy - 8, cx + 20, cy + 8};
    }
    graphics->PromptForValue(this, param, box);
    redrawAgain_ = true;
}
