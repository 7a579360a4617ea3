#include "gui/LayoutHeaderReader.h"

#include <cstdio>
#include <cstring>
#include <sstream>

#include "util/FileReader.h"

namespace {

// More view modes than any panel has; a marker beyond it is not one of ours.
constexpr int kMostModes = 64;
// A header of a panel is some hundred kilobytes; anything far larger is not one.
constexpr size_t kLargestHeader = 16 * 1024 * 1024;
constexpr const char* kClassComment = "        // class";
constexpr const char* kModeMarker = "// View Mode: (";
constexpr const char* kEndMarker = "// End (";
constexpr const char* kEditedLayout = "SetEditedLayout(";

bool StartsWith(const std::string& line, const char* prefix) {
    return line.compare(0, std::strlen(prefix), prefix) == 0;
}

// The class named by a comment line "        // class Name 12": the text before the index.
std::string ClassNameOf(const std::string& line) {
    const size_t start = std::strlen("        // ");
    const size_t lastBlank = line.find_last_of(' ');
    if (lastBlank == std::string::npos || lastBlank <= start) return line.substr(start);
    return line.substr(start, lastBlank - start);
}

std::optional<int> MarkerNumber(const std::string& line, const char* marker) {
    const size_t at = line.find(marker);
    if (at == std::string::npos) return std::nullopt;
    int number = -1;
    if (std::sscanf(line.c_str() + at + std::strlen(marker), "%d)", &number) != 1)
        return std::nullopt;
    if (number < 0 || number >= kMostModes) return std::nullopt;
    return number;
}

std::optional<LayoutEntry> EntryOf(const std::string& line, int mode) {
    const size_t at = line.find(kEditedLayout);
    if (at == std::string::npos) return std::nullopt;
    LayoutEntry entry;
    int lineMode = -1;
    char hidden[8] = {};
    const int read = std::sscanf(
        line.c_str() + at + std::strlen(kEditedLayout),
        "%d, %d, %d, Rect(%d, %d, %d, %d), Rect(%d, %d, %d, %d), %5[a-z]", &lineMode,
        &entry.controlIndex, &entry.layerPosition, &entry.draw.L, &entry.draw.T, &entry.draw.R,
        &entry.draw.B, &entry.target.L, &entry.target.T, &entry.target.R, &entry.target.B, hidden);
    if (read != 12 || lineMode != mode || entry.controlIndex < 0 || entry.layerPosition < 0)
        return std::nullopt;
    if (std::strcmp(hidden, "true") == 0) {
        entry.hidden = true;
    } else if (std::strcmp(hidden, "false") != 0) {
        return std::nullopt;
    }
    return entry;
}

}  // namespace

LayoutModes LayoutHeaderReader::Parse(const std::string& text) {
    LayoutModes modes;
    std::istringstream lines(text);
    std::string line;
    int mode = -1;
    std::string className;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (mode < 0) {
            if (const std::optional<int> opened = MarkerNumber(line, kModeMarker)) {
                mode = *opened;
                className.clear();
                if (modes.size() <= static_cast<size_t>(mode))
                    modes.resize(static_cast<size_t>(mode) + 1);
            }
            continue;
        }
        if (MarkerNumber(line, kEndMarker) == mode) {
            mode = -1;
        } else if (StartsWith(line, kClassComment)) {
            className = ClassNameOf(line);
        } else if (std::optional<LayoutEntry> entry = EntryOf(line, mode)) {
            entry->className = className;
            modes[static_cast<size_t>(mode)].push_back(*entry);
        }
    }
    return modes;
}

std::optional<LayoutModes> LayoutHeaderReader::Read(const std::string& path) {
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> text = ReadWholeFile(path, kLargestHeader);
    if (!text) return std::nullopt;
    return Parse(*text);
}
