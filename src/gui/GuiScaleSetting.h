#pragma once

#include <optional>
#include <string>

// The panel's zoom as kept in the settings file: section "gui", key "guiscale", written with
// fifteen decimals ("1.200000000000000"). Reading and writing do not depend on the process's
// locale, so a desktop set to a decimal comma still reads back what it wrote.
class GuiScaleSetting {
public:
    // The stored scale; -1.0 when the file, the key or a number is missing.
    static double Read(const std::string& settingsPath);
    // False when the file could not be written.
    [[nodiscard]] static bool Write(const std::string& settingsPath, double scale);

    static std::string Format(double scale);
    // The leading number of a text, as a C reader of numbers would take it.
    static std::optional<double> Parse(const std::string& text);
};
