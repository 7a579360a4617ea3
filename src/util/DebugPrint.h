#pragma once

#include <functional>
#include <string>

// Writes one diagnostic line to standard error: formatted into 4096 bytes at most, trailing
// white space removed, ended by a carriage return and a line feed. Nothing is shown to the user.
void DebugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The line DebugPrint would emit for an already formatted text.
std::string DebugLine(const char* text);

// Sends the lines elsewhere (a test capture); an empty function restores standard error.
void SetDebugSink(std::function<void(const std::string&)> sink);
