#include "plugin/PluginBase.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the state format stores doubles little-endian as they lie in memory");

PluginBase::PluginBase() {
    for (int i = 0; i < kParamCount; ++i)
        params_.Append(new Parameter);
    snapshots_.Append(new ParamSnapshot);
}

PluginBase::~PluginBase() {
    delete gui_;
    gui_ = nullptr;
    params_.Clear(true);
    snapshots_.Clear(true);
}

Parameter* PluginBase::GetParam(int index) const {
    return params_.At(index);
}

double PluginBase::ParamValue(int index) const {
    Lock hold(lock_);
    const Parameter* param = GetParam(index);
    return param ? param->value : 0.0;
}

void PluginBase::ParamChanged(int index) {
    (void)index;
    Lock hold(lock_);
}

// A message passed through goes to the output as it came; without an output it reaches
// nobody, which the sender of a live message could not act on.
void PluginBase::HandleMidiMessage(const MidiMessage& message) {
    (void)SendMidiMsg(message);
}

void PluginBase::HandleKeyboardMessage(const MidiMessage& message) {
    (void)SendMidiMsg(message);
}

void PluginBase::SetParameterFromGui(int index, double normalized) {
    Lock hold(lock_);
    Parameter* param = GetParam(index);
    if (param == nullptr) return;
    FromNormalized(*param, normalized);
    NotifyHostValue(index, normalized);
    ParamChanged(index);
}

void PluginBase::SetParameterValue(int index, double value) {
    Lock hold(lock_);
    Parameter* param = GetParam(index);
    if (param == nullptr) return;
    param->value = Clamp(*param, value);
    ParamChanged(index);
}

void PluginBase::PanelResized(int width, int height) {
    if (gui_ != nullptr) WindowResized(width, height);
}

void PluginBase::AttachGraphics(PluginGui* gui) {
    Lock hold(lock_);
    if (gui == nullptr) return;
    if (guiResize_ != nullptr) guiResize_->AttachTo(*gui);
    for (int i = 0; i < kParamCount; ++i)
        gui->SetParamFromCore(i, ToNormalized(*GetParam(i)), true);
    gui->PrepareDrawing();
    if (gui_ != gui) delete gui_;
    gui_ = gui;
}

void PluginBase::RedrawParamControls() {
    if (gui_ == nullptr) return;
    for (int i = 0; i < kParamCount; ++i)
        gui_->SetParamFromCore(i, GetParam(i)->value, false);
}

bool PluginBase::SendMidiMsg(const MidiMessage& message) {
    (void)message;
    return false;
}

bool PluginBase::SendSysEx(const SysExMessage& message) {
    (void)message;
    return false;
}

bool PluginBase::SerializeParams(HeapBuffer& chunk) {
    Lock hold(lock_);
    for (int i = 0; i < kParamCount; ++i) {
        const double value = GetParam(i)->value;
        chunk.Append(&value, sizeof value);
    }
    return chunk.UsedSize() > 0;
}

int PluginBase::UnserializeParams(const HeapBuffer& chunk, int start) {
    Lock hold(lock_);
    int position = start;
    for (int i = 0; i < kParamCount && position >= 0; ++i) {
        double value = 0.0;
        if (int64_t{position} + 8 > chunk.UsedSize()) {
            position = -1;
        } else {
            std::memcpy(&value, chunk.Data() + position, sizeof value);
            position += 8;
        }
        Parameter* param = GetParam(i);
        param->value = Clamp(*param, value);
    }
    for (int i = 0; i < kParamCount; ++i)
        ParamChanged(i);
    return position;
}

void PluginBase::CaptureDefaultSnapshot() {
    for (int32_t slot = 0; slot < snapshots_.Count(); ++slot) {
        ParamSnapshot* snapshot = snapshots_.At(slot);
        if (snapshot->initialised) continue;
        snapshot->initialised = true;
        snapshot->name.assign(1, '-');
        SaveState(snapshot->chunk);
        return;
    }
}
