#include "gui/GuiScaleSetting.h"

#include <charconv>
#include <cmath>

#include "util/ProfileFile.h"

namespace {

constexpr const char* kSection = "gui";
constexpr const char* kKey = "guiscale";
constexpr const char* kMissing = "-1.0";
constexpr size_t kLongestValue = 64;

}  // namespace

std::string GuiScaleSetting::Format(double scale) {
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, scale, std::chars_format::fixed, 15);
    if (result.ec != std::errc()) return kMissing;
    return std::string(text, result.ptr);
}

std::optional<double> GuiScaleSetting::Parse(const std::string& text) {
    size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return std::nullopt;
    if (text[start] == '+') ++start;
    double value = 0.0;
    const char* first = text.data() + start;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

double GuiScaleSetting::Read(const std::string& settingsPath) {
    if (settingsPath.empty()) return -1.0;
    const std::string text =
        ReadProfileString(settingsPath, kSection, kKey, kMissing, kLongestValue);
    return Parse(text).value_or(-1.0);
}

bool GuiScaleSetting::Write(const std::string& settingsPath, double scale) {
    if (settingsPath.empty()) return false;
    return WriteProfileString(settingsPath, kSection, kKey, Format(scale).c_str());
}
