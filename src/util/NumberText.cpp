#include "util/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Long enough for any double in fixed notation with the decimals the panel asks for.
constexpr size_t kLongestNumber = 400;
constexpr int kMostDecimals = 30;

// printf's "%.*f" or "%.*g" in the C locale, which is how to_chars writes.
std::string Written(double value, std::chars_format format, int precision) {
    char text[kLongestNumber];
    precision = precision < 0 ? 6 : std::min(precision, kMostDecimals);
    const auto result = std::to_chars(text, text + sizeof text, value, format, precision);
    if (result.ec != std::errc()) return {};
    return std::string(text, result.ptr);
}

}  // namespace

std::string FixedText(double value, int decimals) {
    return Written(value, std::chars_format::fixed, decimals);
}

std::string GeneralText(double value, int significant) {
    return Written(value, std::chars_format::general, significant);
}

std::string PaddedText(std::string text, size_t width) {
    if (text.size() < width) text.insert(0, width - text.size(), ' ');
    return text;
}

std::optional<double> ParseDecimal(std::string_view text) {
    size_t start = text.find_first_not_of(" \t\r\n\f\v");
    if (start == std::string_view::npos) return std::nullopt;
    if (text[start] == '+') ++start;
    double value = 0.0;
    const char* first = text.data() + start;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}
