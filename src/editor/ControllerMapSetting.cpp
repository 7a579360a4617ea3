#include "editor/ControllerMapSetting.h"

#include <charconv>
#include <sstream>

#include "util/ProfileFile.h"

namespace {

constexpr const char* kSection = "midilearn";
constexpr const char* kKey = "controllers";
// 122 entries of at most "121:127:127 ", with room to spare.
constexpr size_t kLongestValue = 4096;

bool ReadWhole(const std::string& text, int& number) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    return error == std::errc() && stop == end && !text.empty();
}

}  // namespace

std::string ControllerMapSetting::Format(const std::vector<MidiLearn::Assignment>& assignments) {
    std::string text;
    for (const MidiLearn::Assignment& assignment : assignments) {
        if (!text.empty()) text += ' ';
        text += std::to_string(assignment.position) + ':' + std::to_string(assignment.controller) +
                ':' + std::to_string(assignment.high);
    }
    return text;
}

std::vector<MidiLearn::Assignment> ControllerMapSetting::Parse(const std::string& text) {
    std::vector<MidiLearn::Assignment> assignments;
    std::istringstream entries(text);
    std::string entry;
    while (entries >> entry) {
        const size_t first = entry.find(':');
        const size_t second = first == std::string::npos ? first : entry.find(':', first + 1);
        if (second == std::string::npos) continue;
        MidiLearn::Assignment assignment;
        if (ReadWhole(entry.substr(0, first), assignment.position) &&
            ReadWhole(entry.substr(first + 1, second - first - 1), assignment.controller) &&
            ReadWhole(entry.substr(second + 1), assignment.high)) {
            assignments.push_back(assignment);
        }
    }
    return assignments;
}

std::vector<MidiLearn::Assignment> ControllerMapSetting::Read(const std::string& settingsPath) {
    if (settingsPath.empty()) return {};
    return Parse(ReadProfileString(settingsPath, kSection, kKey, "", kLongestValue));
}

bool ControllerMapSetting::Write(const std::string& settingsPath,
                                 const std::vector<MidiLearn::Assignment>& assignments) {
    if (settingsPath.empty()) return false;
    return WriteProfileString(settingsPath, kSection, kKey, Format(assignments).c_str());
}
