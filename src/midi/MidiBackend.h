#pragma once

#include <memory>
#include <string>

class RtMidiIn;
class RtMidiOut;

// Which of RtMidi's Linux back ends the port objects use. Automatic takes the ALSA sequencer
// and falls back to JACK when the sequencer cannot be opened; RtMidi itself never tries JACK
// when the sequencer is missing, so the fallback has to be asked for by name.
enum class MidiBackend { Automatic, Alsa, Jack };

// Creates a port object on the back end; null when none can be created. The error text of a
// failed creation goes to standard error. With Automatic, the back end that worked for the
// first object is the one the caller should pass for the others (see Resolved).
std::unique_ptr<RtMidiIn> CreateMidiIn(MidiBackend& backend, const std::string& clientName);
std::unique_ptr<RtMidiOut> CreateMidiOut(MidiBackend& backend, const std::string& clientName);

// The back end named by ORVO_MIDI_BACKEND ("alsa" or "jack"), else Automatic.
MidiBackend BackendFromEnvironment();
