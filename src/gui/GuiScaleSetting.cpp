#include "gui/GuiScaleSetting.h"

#include "util/NumberText.h"
#include "util/ProfileFile.h"

namespace {

constexpr const char* kSection = "gui";
constexpr const char* kKey = "guiscale";
constexpr const char* kMissing = "-1.0";
constexpr size_t kLongestValue = 64;

}  // namespace

std::string GuiScaleSetting::Format(double scale) {
    const std::string text = FixedText(scale, 15);
    return text.empty() ? kMissing : text;
}

std::optional<double> GuiScaleSetting::Parse(const std::string& text) {
    return ParseDecimal(text);
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
