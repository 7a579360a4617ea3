#pragma once

#include <atomic>
#include <cstdint>

#include "plugin/MidiOutputPort.h"
#include "plugin/PluginBase.h"

// The core bound to the application's MIDI output port and to the output channel of the
// shell's MIDI settings. Neither is owned; both outlive the plug-in object.
class StandalonePlugin : public PluginBase {
public:
    StandalonePlugin(MidiOutputPort* output, const uint16_t* outputChannel);

    // Sends three bytes on the output channel of the settings; false without a port object.
    [[nodiscard]] bool SendMidiMsg(const MidiMessage& message) override;
    // Sends the message's bytes unchanged; false without a port object.
    [[nodiscard]] bool SendSysEx(const SysExMessage& message) override;
    // Sends a message that takes long to go out, telling progress how far it has got. Runs on a
    // thread of the caller's that holds no plug-in lock. While it runs, the port is taken:
    // other messages would wait behind it and freeze their sender, so they are dropped (the
    // unit takes nothing else while it loads such a message anyway).
    [[nodiscard]] bool SendLongSysEx(const SysExMessage& message,
                                     const MidiOutputPort::SendProgress& progress);
    bool LongMessageGoing() const { return longMessageGoing_.load(); }
    // The output's pace in bytes a second; 0 when it has none (or there is no output).
    uint32_t OutputBytesPerSecond() const { return output_ ? output_->BytesPerSecond() : 0; }

private:
    MidiOutputPort* output_;
    const uint16_t* outputChannel_;
    std::atomic<bool> longMessageGoing_{false};
};
