#pragma once

#include <string>

#include "plugin/Parameter.h"

// How the panel writes and reads a parameter's plain value. All of them expect the caller to
// hold the plug-in lock while the record may change.

// The plain value (negated for parameters shown negated) with the display precision, or as a
// whole number when the precision is 0.
std::string FormatPlainValue(const Parameter& param);

// What a value display shows: the display text stored for the value when there is one, else the
// formatted value; then a blank and the label.
std::string ValueDisplayText(const Parameter& param);

// The normalised value the parameter would have with the given plain value.
double NormalizedFor(const Parameter& param, double plain);

// The plain value the mouse wheel moves a parameter to, `notches` notches from its value. One
// notch is a fixed, even step: kWheelShare of the range (kFineWheelShare when fine), and for a
// parameter of whole steps a whole number of them, at least one, so that a parameter with few
// steps moves one step a notch.
inline constexpr double kWheelShare = 1.0 / 50;
inline constexpr double kFineWheelShare = 1.0 / 500;
double WheelPlainValue(const Parameter& param, int notches, bool fine);

// Whether the value entry offers the parameter's display texts as a menu rather than a text
// entry: for a list, for a boolean with texts, and for an integer that has a text for each value
// of its range, which starts at 0 (menu item i stands for the value i).
bool PromptsWithMenu(const Parameter& param);

// Whether a typed character may enter a value entry for the parameter (null: a free text).
bool EntryAcceptsChar(const Parameter* param, char32_t c);

// The plain value an entered text stands for: the value of a matching display text for boolean
// and list parameters (0 when none matches), else the decimal number it starts with.
double ParseEntryValue(const Parameter& param, const std::string& text);
