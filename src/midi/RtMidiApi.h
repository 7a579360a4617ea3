#pragma once

#include <rtmidi/RtMidi.h>

#include "midi/MidiBackend.h"

// RtMidi's name of a chosen back end (Alsa or Jack, never Automatic).
inline RtMidi::Api RtMidiApiOf(MidiBackend backend) {
    return backend == MidiBackend::Jack ? RtMidi::UNIX_JACK : RtMidi::LINUX_ALSA;
}
