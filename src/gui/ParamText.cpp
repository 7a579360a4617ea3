#include "gui/ParamText.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "util/NumberText.h"

std::string FormatPlainValue(const Parameter& param) {
    const double shown = param.negateDisplay ? -param.value : param.value;
    if (param.displayPrecision == 0) return std::to_string(static_cast<int>(shown));
    return FixedText(shown, param.displayPrecision);
}

std::string ValueDisplayText(const Parameter& param) {
    const int32_t plain = static_cast<int32_t>(param.value);
    std::string text;
    bool matched = false;
    for (const ParamDisplayText& entry : param.displayTexts) {
        if (entry.value == plain) {
            text = entry.text;
            matched = true;
            break;
        }
    }
    if (!matched) text = FormatPlainValue(param);
    text += ' ';
    text += DisplayLabel(param);
    return text;
}

double NormalizedFor(const Parameter& param, double plain) {
    Parameter probe;
    probe.minimum = param.minimum;
    probe.maximum = param.maximum;
    probe.shape = param.shape;
    probe.value = plain;
    return ToNormalized(probe);
}

double WheelPlainValue(const Parameter& param, int notches, bool fine) {
    const double range = param.maximum - param.minimum;
    double step = range * (fine ? kFineWheelShare : kWheelShare);
    if (param.kind != kParamDouble && param.step > 0.0)
        step = std::max(1.0, std::round(step / param.step)) * param.step;
    return Clamp(param, param.value + notches * step);
}

bool PromptsWithMenu(const Parameter& param) {
    if (param.kind == kParamList) return true;
    if (param.displayTexts.empty()) return false;
    if (param.kind == kParamBoolean) return true;
    if (param.kind != kParamInteger || param.minimum != 0.0) return false;
    for (int value = 0; value <= static_cast<int>(param.maximum); ++value) {
        const bool named = std::any_of(param.displayTexts.begin(), param.displayTexts.end(),
                                       [value](const ParamDisplayText& entry) {
                                           return entry.value == value && entry.text[0];
                                       });
        if (!named) return false;
    }
    return true;
}

bool EntryAcceptsChar(const Parameter* param, char32_t c) {
    if (c == U'\b' || param == nullptr) return true;
    const bool numeric = c == U'+' || c == U'-' || (c >= U'0' && c <= U'9');
    switch (param->kind) {
        case kParamBoolean:
        case kParamInteger:
        case kParamList:
            return numeric;
        default:
            return numeric || c == U'.';
    }
}

double ParseEntryValue(const Parameter& param, const std::string& text) {
    if (param.kind == kParamBoolean || param.kind == kParamList) {
        for (const ParamDisplayText& entry : param.displayTexts) {
            if (text == entry.text) return entry.value;
        }
        return 0.0;
    }
    const double number = ParseDecimal(text).value_or(0.0);
    return param.negateDisplay ? -number : number;
}
