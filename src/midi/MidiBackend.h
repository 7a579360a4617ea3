#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

class RtMidiIn;
class RtMidiOut;

// Which of RtMidi's Linux back ends the port objects use. Automatic takes the ALSA sequencer
// and falls back to JACK when the sequencer cannot be opened; RtMidi itself never tries JACK
// when the sequencer is missing, so the fallback has to be asked for by name.
enum class MidiBackend { Automatic, Alsa, Jack };

// Opens something on the back ends `wanted` allows, the ALSA sequencer first and JACK after it
// when Automatic: attempt is called for each until it succeeds, and that back end is returned.
// attempt reports its failure in error. When none succeeds, reason says why for each back end
// tried ("ALSA sequencer: ...; JACK: ..."). The editor's ports and orvo-sim choose through it.
std::optional<MidiBackend> OpenOnFirstBackend(
    MidiBackend wanted, const std::function<bool(MidiBackend, std::string& error)>& attempt,
    std::string* reason);

// Creates a port object on the back end; null when none can be created. The error text of a
// failed creation goes to standard error. With Automatic, backend becomes the back end that
// worked, which the caller passes for the other objects.
std::unique_ptr<RtMidiIn> CreateMidiIn(MidiBackend& backend, const std::string& clientName);
std::unique_ptr<RtMidiOut> CreateMidiOut(MidiBackend& backend, const std::string& clientName);

// A JACK client could not reach its server. RtMidi's JACK objects are made even then and try
// again on every call, and each try costs milliseconds for the same answer: for a second after
// a failure, callers skip what would only try again. A server started later is found after it.
void NoteJackUnreachable();
bool JackUnreachableJustNow();

// "alsa" or "jack"; Automatic for anything else (also for null).
MidiBackend MidiBackendNamed(const char* name);
// The back end named by ORVO_MIDI_BACKEND ("alsa" or "jack"), else Automatic.
MidiBackend BackendFromEnvironment();
// "ALSA" or "JACK"; "" for Automatic.
const char* MidiBackendLabel(MidiBackend backend);
