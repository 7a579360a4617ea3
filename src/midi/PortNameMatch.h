#pragma once

#include <string>
#include <vector>

// How stored port names are held against the names the back end reports.

// A stored name matches a port whose name is byte for byte the same. A stored name of the
// longest length a settings record holds (99 bytes) also matches a longer port name that begins
// with it, since the record could only keep its first 99 bytes.
bool PortNameMatches(const char* storedName, const std::string& portName);

// The name without the " client:port" numbers that the ALSA sequencer appends ("Orvo:Orvo MIDI
// 1 24:0" gives "Orvo:Orvo MIDI 1"); a name without them comes back as it is.
std::string WithoutAlsaAddress(const std::string& portName);

// The index into names of the port a stored name stands for, -1 when none. A port whose name
// matches exactly comes first. Otherwise the sequencer's numbers are left out on both sides,
// since they change when an interface is plugged in again or the machine restarts; where several
// ports then match (two alike interfaces), the one with the stored port number is taken, else
// the first.
int FindStoredPort(const char* storedName, const std::vector<std::string>& names);

// Whether portName is one of the program's own ports: "client:port" as JACK names it (with the
// "-01" the server adds when the client name is taken twice), or the same followed by the
// sequencer's " client:port" numbers as ALSA names it.
bool IsOwnPortName(const std::string& portName, const std::string& clientName,
                   const std::string& ownPortName);
