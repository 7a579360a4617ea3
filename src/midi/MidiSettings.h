#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The three roles a MIDI port can serve for the editor.
enum class MidiRole { UnitInput, KeyboardInput, Output };

// The ports the user chose, by name, and the channel each role listens or sends on. Names are
// fixed 100-byte texts ("off" = no port); channel 0 means all channels, 1..16 that channel.
//
// The GUI thread writes the record; the MIDI input thread reads the channels while it filters
// incoming messages, so channels are stored and loaded as single atomic 16-bit accesses.
struct MidiSettings {
    static constexpr size_t kNameSize = 100;
    static constexpr const char* kOff = "off";
    // What the settings file reads for a port key it does not hold. Nobody chose these; a port
    // name the user chose is kept while its port is missing, but these turn into "off".
    static constexpr const char* kNoInput = "no input";
    static constexpr const char* kNoOutput = "no output";

    char unitInputName[kNameSize] = "off";
    char keyboardInputName[kNameSize] = "off";
    char outputName[kNameSize] = "off";
    uint16_t unitInputChannel = 0;
    uint16_t keyboardInputChannel = 0;
    uint16_t outputChannel = 0;
    // The output reaches the unit through an interface faster than a MIDI cable (many USB
    // ones), so messages need not wait for the cable's pace. Read on the GUI thread only.
    bool fastInterface = false;

    char* Name(MidiRole role);
    const char* Name(MidiRole role) const;
    // Stores at most 99 bytes of name, always terminated.
    void SetName(MidiRole role, const std::string& name);
    bool IsOff(MidiRole role) const;
    // "off", or a name read for a missing key: no port is wanted for the role.
    bool WantsNoPort(MidiRole role) const;

    uint16_t Channel(MidiRole role) const;
    void SetChannel(MidiRole role, uint16_t channel);

    // Copies every field, the channels as atomic stores, so that a running input never reads a
    // half-written channel.
    void AssignFrom(const MidiSettings& other);
    bool SameAs(const MidiSettings& other) const;
};
