#include "gui/LayoutHeaderWriter.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "util/AtomicFile.h"

namespace {

// The rule between the header's sections and behind the view-mode markers.
constexpr const char* kDashes =
    "--------------------------------------------------------------------";

void Append(std::string& text, const char* format, ...) __attribute__((format(printf, 2, 3)));

void Append(std::string& text, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length > 0) text.append(line, std::min(static_cast<size_t>(length), sizeof line - 1));
}

std::vector<LayoutEntry> SortedBy(std::vector<LayoutEntry> entries, int LayoutEntry::*key) {
    std::stable_sort(entries.begin(), entries.end(),
                     [key](const LayoutEntry& a, const LayoutEntry& b) { return a.*key < b.*key; });
    return entries;
}

void AppendOpening(std::string& text) {
    text += "// Do not edit. All of this is generated automatically \n";
    text +=
        "\n#ifndef _PANELLAYOUT_\n#define _PANELLAYOUT_\n\n#include <vector>\n"
        "#include \"Graphics.h\" \n#include \"GuiResize.h\" \n\nclass PanelLayout \n{ \npublic: \n"
        "\tPanelLayout() {} \n \n\t~PanelLayout() {} \n \n"
        "\tvoid SetDefaultViewLayout(Graphics* pGraphics) \n\t{ \n";
    text +=
        "\t    // Backup original control pointers\n"
        "\t\tfor (int i = 0; i < pGraphics->GetNControls(); i++) \n"
        "\t\t\toriginalPointers.push_back(pGraphics->GetControl(i));\n\n";
    Append(text, "\t    // %s\n\n", kDashes);
}

void AppendDefaultView(std::string& text, const std::vector<LayoutEntry>& entries) {
    for (const LayoutEntry& entry : SortedBy(entries, &LayoutEntry::controlIndex)) {
        const int i = entry.controlIndex;
        const Rect& d = entry.draw;
        const Rect& t = entry.target;
        Append(text, "        // %s %i\n", entry.className.c_str(), i);
        Append(text, "\t\tpGraphics->GetControl(%i)->Hide(%s); \n", i,
               entry.hidden ? "true" : "false");
        Append(text, "\t\tpGraphics->GetControl(%i)->SetDrawRECT(Rect(%i, %i, %i, %i)); \n", i, d.L,
               d.T, d.R, d.B);
        Append(text, "\t\tpGraphics->GetControl(%i)->SetTargetRECT(Rect(%i, %i, %i, %i)); \n", i,
               t.L, t.T, t.R, t.B);
    }
    Append(text, "\t    // %s\n\n\t    // Reordering control layers\n", kDashes);
    for (const LayoutEntry& entry : SortedBy(entries, &LayoutEntry::layerPosition)) {
        Append(text, "\t\tpGraphics->ReplaceControl(%i, originalPointers[%i]); \n",
               entry.layerPosition, entry.controlIndex);
    }
    text += "\t}\n\n";
}

void AppendViewModes(std::string& text, const LayoutModes& modes) {
    text += "\tvoid SetGUIResizeLayout(Graphics* pGraphics, GuiResize* pGUIResize)\n\t{\n";
    for (size_t mode = 0; mode < modes.size(); ++mode) {
        const int m = static_cast<int>(mode);
        Append(text, "\t\t// View Mode: (%i) %s\n", m, kDashes);
        for (const LayoutEntry& entry : SortedBy(modes[mode], &LayoutEntry::layerPosition)) {
            const Rect& d = entry.draw;
            const Rect& t = entry.target;
            Append(text, "        // %s %i\n", entry.className.c_str(), entry.controlIndex);
            Append(text,
                   "\t\tpGUIResize->SetEditedLayout(%i, %i, %i, Rect(%i, %i, %i, %i), "
                   "Rect(%i, %i, %i, %i)",
                   m, entry.controlIndex, entry.layerPosition, d.L, d.T, d.R, d.B, t.L, t.T, t.R,
                   t.B);
            text += entry.hidden ? ", true);\n" : ", false);\n";
        }
        Append(text, "\t\t// End (%i) %s\n", m, kDashes);
    }
    text += "    }\n\n";
}

}  // namespace

std::string LayoutHeaderWriter::Text(const LayoutModes& modes) {
    std::string text;
    AppendOpening(text);
    AppendDefaultView(text, modes.empty() ? std::vector<LayoutEntry>{} : modes.front());
    AppendViewModes(text, modes);
    text += "private:\n\tstd::vector <Control*> originalPointers;\n";
    text += "};\n #endif";
    return text;
}

bool LayoutHeaderWriter::Write(const std::string& path, const LayoutModes& modes) {
    if (path.empty()) return false;
    const std::string text = Text(modes);
    return WriteFileAtomically(path, text.data(), text.size());
}
