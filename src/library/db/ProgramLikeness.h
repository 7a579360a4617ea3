#pragma once

#include <string>

#include "unit/ProgramSlots.h"

// The key of a program in the library: 16 hexadecimal digits over the values the unit would
// store, so two files that load the same sound are one program whatever their names.
std::string ProgramFingerprint(const ProgramValues& values);

// How far apart two programs sound, as the sum over the slots of each difference divided by the
// range of the parameter the slot carries: 0 for the same program, at most 104. An effect slot
// that carries a parameter in one program and another one (or none) in the other counts 1.
double ProgramDistance(const ProgramValues& a, const ProgramValues& b);
