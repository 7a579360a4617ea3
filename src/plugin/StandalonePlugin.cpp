#include "plugin/StandalonePlugin.h"

#include <atomic>

StandalonePlugin::StandalonePlugin(MidiOutputPort* output, const uint16_t* outputChannel)
    : output_(output), outputChannel_(outputChannel) {}

bool StandalonePlugin::SendMidiMsg(const MidiMessage& message) {
    if (!HandlesMidi() || output_ == nullptr || longMessageGoing_) return false;
    uint8_t bytes[3] = {message.status, message.data1, message.data2};
    const bool channelMessage = message.status >= 0x80 && message.status <= 0xEF;
    if (outputChannel_ != nullptr && channelMessage) {
        // Channel 0 (no output chosen yet) sends on channel 1 rather than wrapping to 16.
        // The shell changes the channel on the GUI thread while keyboard notes are sent from the
        // MIDI input thread: one atomic 16-bit load.
        uint16_t& field = const_cast<uint16_t&>(*outputChannel_);
        const uint16_t stored = std::atomic_ref<uint16_t>(field).load(std::memory_order_relaxed);
        const unsigned channel = stored == 0 ? 1u : stored;
        bytes[0] = static_cast<uint8_t>((message.status & 0xF0) | ((channel - 1) & 0x0F));
    }
    output_->SendMessage(bytes, sizeof bytes);
    return true;
}

bool StandalonePlugin::SendSysEx(const SysExMessage& message) {
    if (output_ == nullptr || longMessageGoing_) return false;
    if (message.size > 0 && message.bytes != nullptr) {
        output_->SendMessage(message.bytes, static_cast<size_t>(message.size));
    }
    return true;
}

bool StandalonePlugin::SendLongSysEx(const SysExMessage& message,
                                     const MidiOutputPort::SendProgress& progress) {
    if (output_ == nullptr || message.size <= 0 || message.bytes == nullptr) return false;
    longMessageGoing_ = true;
    output_->SendLongMessage(message.bytes, static_cast<size_t>(message.size), progress);
    longMessageGoing_ = false;
    return true;
}
