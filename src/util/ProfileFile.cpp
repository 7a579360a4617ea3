#include "util/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string_view>
#include <vector>

#include "util/AtomicFile.h"
#include "util/FileReader.h"

namespace {

// A settings file is a few hundred bytes; anything past this is not one and is not loaded.
constexpr size_t kLargestProfile = 4 * 1024 * 1024;

// One line of the file with its own line end, so that untouched lines are written back as read.
struct Line {
    std::string_view body;
    std::string_view end;
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({text.substr(start), {}});
            break;
        }
        size_t bodyEnd = lf;
        if (bodyEnd > start && text[bodyEnd - 1] == '\r') --bodyEnd;
        lines.push_back(
            {text.substr(start, bodyEnd - start), text.substr(bodyEnd, lf + 1 - bodyEnd)});
        start = lf + 1;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The section name of a "[name]" line, or nothing for any other line.
bool SectionOf(std::string_view body, std::string_view& name) {
    body = Trim(body);
    if (body.size() < 2 || body.front() != '[') return false;
    const size_t close = body.find(']');
    if (close == std::string_view::npos) return false;
    name = Trim(body.substr(1, close - 1));
    return true;
}

// The key and value of a "key=value" line; comments and other lines have none.
bool KeyOf(std::string_view body, std::string_view& key, std::string_view& value) {
    const std::string_view trimmed = Trim(body);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') return false;
    const size_t eq = body.find('=');
    if (eq == std::string_view::npos) return false;
    key = Trim(body.substr(0, eq));
    value = Trim(body.substr(eq + 1));
    return !key.empty();
}

struct Found {
    bool sectionFound = false;
    size_t keyLine = 0;  // line index of the key, when keyFound
    bool keyFound = false;
    size_t insertAfter = 0;  // last non-blank line of the section (its header at least)
    std::string_view value;
};

Found Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Found found;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view name;
        if (SectionOf(lines[i].body, name)) {
            if (found.sectionFound && inSection) break;  // the first matching section counts
            inSection = SameName(name, section);
            if (inSection) {
                found.sectionFound = true;
                found.insertAfter = i;
            }
            continue;
        }
        if (!inSection) continue;
        if (!Trim(lines[i].body).empty()) found.insertAfter = i;
        std::string_view k, v;
        if (!found.keyFound && KeyOf(lines[i].body, k, v) && SameName(k, key)) {
            found.keyFound = true;
            found.keyLine = i;
            found.value = v;
        }
    }
    return found;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

std::string ReadProfileText(const std::string& text, const char* section, const char* key,
                            const char* defaultValue, size_t maxLength) {
    const std::vector<Line> lines = SplitLines(text);
    const Found found = Locate(lines, section, key);
    std::string result = found.keyFound ? std::string(Unquote(found.value))
                                        : std::string(defaultValue ? defaultValue : "");
    if (maxLength == 0) return {};
    if (result.size() > maxLength - 1) result.resize(maxLength - 1);
    return result;
}

std::string WriteProfileText(const std::string& text, const char* section, const char* key,
                             const char* value) {
    const std::vector<Line> lines = SplitLines(text);
    const Found found = Locate(lines, section, key);
    // New lines take the line end the file already uses.
    std::string_view newline = "\n";
    if (!lines.empty() && lines.front().end == "\r\n") newline = "\r\n";

    std::string out;
    out.reserve(text.size() + 64);
    auto append = [&out](std::string_view s) { out.append(s.data(), s.size()); };
    // A line break inside a name or value would split the line and plant keys of its own.
    auto appendOneLine = [&out](std::string_view s) {
        for (char c : s)
            out += (c == '\n' || c == '\r') ? ' ' : c;
    };
    auto keyLine = [&] {
        appendOneLine(key);
        out += '=';
        appendOneLine(value);
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (found.keyFound && i == found.keyLine) {
            keyLine();
            append(lines[i].end.empty() ? newline : lines[i].end);
            continue;
        }
        append(lines[i].body);
        append(lines[i].end);
        if (found.sectionFound && !found.keyFound && i == found.insertAfter) {
            if (lines[i].end.empty()) append(newline);
            keyLine();
            append(newline);
        }
    }
    if (!found.sectionFound) {
        if (!out.empty() && out.back() != '\n') append(newline);
        out += '[';
        appendOneLine(section);
        out += ']';
        append(newline);
        keyLine();
        append(newline);
    }
    return out;
}

std::string ReadProfileString(const std::string& path, const char* section, const char* key,
                              const char* defaultValue, size_t maxLength) {
    return ReadProfileText(ReadWholeFile(path, kLargestProfile).value_or(std::string()), section,
                           key, defaultValue, maxLength);
}

bool EditProfile(const std::string& path,
                 const std::function<std::string(const std::string&)>& edit) {
    const std::optional<std::string> existing = ReadWholeFile(path, kLargestProfile);
    // A file that is there but cannot be read is not replaced by one holding only the new keys.
    if (!existing && FileExists(path)) return false;
    const std::string updated = edit(existing.value_or(std::string()));
    // Nothing to change: the file is left alone rather than written and synced again (the
    // editor writes its settings back at every start).
    if (existing && updated == *existing) return true;
    // The first file of a start after installing holds defaults only: it is not waited for.
    return WriteFileAtomically(path, updated.data(), updated.size(), nullptr, Flush::WhenReplacing);
}

bool WriteProfileString(const std::string& path, const char* section, const char* key,
                        const char* value) {
    return EditProfile(
        path, [&](const std::string& text) { return WriteProfileText(text, section, key, value); });
}
