#pragma once

#include <cstdint>

#include "plugin/MidiOutputPort.h"
#include "plugin/PluginBase.h"

// The core bound to the application's MIDI output port and to the output channel of the
// shell's MIDI settings. Neither is owned; both outlive the plug-in object.
class StandalonePlugin : public PluginBase {
public:
    StandalonePlugin(MidiOutputPort* output, const uint16_t* outputChannel);

    // Sends three bytes on the output channel of the settings; false without a port object.
    bool SendMidiMsg(const MidiMessage& message) override;
    // Sends the message's bytes unchanged; false without a port object.
    bool SendSysEx(const SysExMessage& message) override;

private:
    MidiOutputPort* output_;
    const uint16_t* outputChannel_;
};
