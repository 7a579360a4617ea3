#pragma once

#include <string>

// How stored port names are held against the names the back end reports.

// A stored name matches a port whose name is byte for byte the same. A stored name of the
// longest length a settings record holds (99 bytes) also matches a longer port name that begins
// with it, since the record could only keep its first 99 bytes.
bool PortNameMatches(const char* storedName, const std::string& portName);

// Whether portName is one of the program's own ports: "client:port" as JACK names it (with the
// "-01" the server adds when the client name is taken twice), or the same followed by the
// sequencer's " client:port" numbers as ALSA names it.
bool IsOwnPortName(const std::string& portName, const std::string& clientName,
                   const std::string& ownPortName);
