#pragma once

#include <cstdint>
#include <string>

class MidiOutputPort;
class OrvoEditor;

// Creates the one plug-in object of the process, under a process-wide factory lock: the editor
// with its program operations, which restore the program of the last session (kept beside the
// settings file at settingsPath, which also keeps the panel's zoom; empty: no settings file).
// With layoutEditing the panel's layout editing is there for the people who build the panel.
// Null when it cannot be allocated.
OrvoEditor* MakePlugin(MidiOutputPort* output, const uint16_t* outputChannel,
                       const std::string& settingsPath = {}, bool layoutEditing = false);
