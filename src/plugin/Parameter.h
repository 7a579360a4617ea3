#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Kinds of parameter record. The unit's parameters are all integers; the panel's switches are
// doubles and its buttons untyped.
enum ParamKind : int32_t {
    kParamUntyped = 0,
    kParamBoolean = 1,
    kParamInteger = 2,
    kParamList = 3,
    kParamDouble = 4,
};

struct ParamDisplayText {
    int32_t value = 0;
    char text[32] = {};
};

// One entry of the plug-in's parameter table. Values are plain (parameter units); controls see
// them normalised to 0..1 through ToNormalized / FromNormalized.
struct Parameter {
    int32_t kind = kParamUntyped;
    double value = 0.0;
    double minimum = 0.0;
    double maximum = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    int32_t displayPrecision = 0;
    char name[32] = {};
    char label[32] = {};
    char group[32] = {};
    bool negateDisplay = false;
    bool automatable = true;
    std::vector<ParamDisplayText> displayTexts;
};

// Copies text into a fixed-size field, cutting it so that the terminating zero always fits.
void CopyBounded(char* field, size_t fieldSize, const char* text);
template <size_t N>
void CopyBounded(char (&field)[N], const char* text) {
    CopyBounded(field, N, text);
}

void InitParam(Parameter& param, const char* name, double defaultValue, double minimum,
               double maximum, double step, double shape);
void InitIntParam(Parameter& param, const char* name, int defaultValue, int minimum, int maximum);

double Clamp(const Parameter& param, double value);
double ToNormalized(const Parameter& param);
void FromNormalized(Parameter& param, double normalized);

// The label to show beside the value: empty while a display text stands for the value.
const char* DisplayLabel(const Parameter& param);
void AddDisplayText(Parameter& param, int32_t value, const char* text);

// Every integer read of a parameter truncates toward zero.
inline int IntValue(const Parameter& param) {
    return static_cast<int>(param.value);
}
