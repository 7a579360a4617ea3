#pragma once

#include <cstdint>

class MidiOutputPort;
class OrvoEditor;

// Creates the one plug-in object of the process, under a process-wide factory lock. Null when
// it cannot be allocated.
OrvoEditor* MakePlugin(MidiOutputPort* output, const uint16_t* outputChannel);
