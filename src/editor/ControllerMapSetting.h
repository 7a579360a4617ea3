#pragma once

#include <string>
#include <vector>

#include "editor/MidiLearn.h"

// The learned controllers as kept in the settings file: section "midilearn", key
// "controllers", one "position:controller:high" entry per assignment, separated by blanks
// ("12:74:96 13:74:40"). The low end of a range is the position's own and is not kept.
class ControllerMapSetting {
public:
    // The kept assignments; none when the file or the key is missing. Entries that are not
    // three whole numbers are skipped (MidiLearn::Restore checks their ranges).
    static std::vector<MidiLearn::Assignment> Read(const std::string& settingsPath);
    // False when the file could not be written.
    [[nodiscard]] static bool Write(const std::string& settingsPath,
                                    const std::vector<MidiLearn::Assignment>& assignments);

    static std::string Format(const std::vector<MidiLearn::Assignment>& assignments);
    static std::vector<MidiLearn::Assignment> Parse(const std::string& text);
};
