#include "plugin/StandalonePlugin.h"

StandalonePlugin::StandalonePlugin(MidiOutputPort* output, const uint16_t* outputChannel)
    : output_(output), outputChannel_(outputChannel) {}

bool StandalonePlugin::SendMidiMsg(const MidiMessage& message) {
    if (!HandlesMidi() || output_ == nullptr) return false;
    uint8_t bytes[3] = {message.status, message.data1, message.data2};
    const bool channelMessage = message.status >= 0x80 && message.status <= 0xEF;
    if (outputChannel_ != nullptr && channelMessage) {
        // Channel 0 (no output chosen yet) sends on channel 1 rather than wrapping to 16.
        const unsigned channel = *outputChannel_ == 0 ? 1u : *outputChannel_;
        bytes[0] = static_cast<uint8_t>((message.status & 0xF0) | ((channel - 1) & 0x0F));
    }
    output_->SendMessage(bytes, sizeof bytes);
    return true;
}

bool StandalonePlugin::SendSysEx(const SysExMessage& message) {
    if (output_ == nullptr) return false;
    if (message.size > 0 && message.bytes != nullptr) {
        output_->SendMessage(message.bytes, static_cast<size_t>(message.size));
    }
    return true;
}
