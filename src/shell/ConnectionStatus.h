#pragma once

#include <cstdint>
#include <string>

class MidiLink;
struct MidiSettings;

// The connection as the status bar tells it: whether the output and the unit's input are open
// (or chosen but missing, or off), and how long ago the unit last answered.
class ConnectionStatus {
public:
    // nowMs and the link's answer time are steady-clock milliseconds.
    static std::string Describe(MidiLink& link, const MidiSettings& settings, int64_t nowMs);
    // "just now", "12 s ago", "3 min ago", "2 h ago"; "never" for a negative answer time.
    static std::string Ago(int64_t thenMs, int64_t nowMs);
};
