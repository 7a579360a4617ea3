#include "plugin/Parameter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

void CopyBounded(char* field, size_t fieldSize, const char* text) {
    if (fieldSize == 0) return;
    const size_t length = text ? strnlen(text, fieldSize - 1) : 0;
    if (length > 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

void InitParam(Parameter& param, const char* name, double defaultValue, double minimum,
               double maximum, double step, double shape) {
    if (param.kind == kParamUntyped) param.kind = kParamDouble;
    CopyBounded(param.name, name);
    param.label[0] = '\0';
    param.group[0] = '\0';
    param.minimum = minimum;
    param.value = defaultValue;
    param.defaultValue = defaultValue;
    param.step = step;
    param.maximum = std::max(maximum, minimum + step);

    // As many decimals as the step needs, six at the most.
    int precision = 0;
    double scaled = step;
    while (scaled != std::floor(scaled) && precision < 6) {
        ++precision;
        scaled *= 10.0;
    }
    param.displayPrecision = precision;
    if (shape != 0.0) param.shape = shape;
}

void InitIntParam(Parameter& param, const char* name, int defaultValue, int minimum, int maximum) {
    if (param.kind == kParamUntyped) param.kind = kParamInteger;
    InitParam(param, name, defaultValue, minimum, maximum, 1.0, 1.0);
}

double Clamp(const Parameter& param, double value) {
    // A value that is not a number (a damaged snapshot, say) must never reach the integer reads.
    if (std::isnan(value)) return param.minimum;
    return std::clamp(value, param.minimum, std::max(param.minimum, param.maximum));
}

double ToNormalized(const Parameter& param) {
    const double range = param.maximum - param.minimum;
    if (range <= 0.0) return 0.0;
    const double v = Clamp(param, param.value);
    return std::pow((v - param.minimum) / range, 1.0 / param.shape);
}

void FromNormalized(Parameter& param, double normalized) {
    double v = std::pow(normalized, param.shape) * (param.maximum - param.minimum) + param.minimum;
    if (param.kind != kParamDouble) v = std::floor(v / param.step + 0.5) * param.step;
    param.value = std::min(v, param.maximum);
}

const char* DisplayLabel(const Parameter& param) {
    const int32_t shown = static_cast<int32_t>(param.value);
    for (const ParamDisplayText& entry : param.displayTexts) {
        if (entry.value == shown && entry.text[0] != '\0') return "";
    }
    return param.label;
}

void AddDisplayText(Parameter& param, int32_t value, const char* text) {
    ParamDisplayText entry;
    entry.value = value;
    CopyBounded(entry.text, text);
    param.displayTexts.push_back(entry);
}
