#pragma once

#include <cstdint>
#include <span>
#include <string>

class EditorPanel;

// The Help menu's documents: the user guide the program carries, written beside the settings
// file on first use and handed to the desktop's PDF viewer, and the online program database.
// Neither waits for the viewer or the browser.
class HelpDocuments {
public:
    // The program database page; the settings key "database" of section "help" replaces it.
    static constexpr const char* kProgramDatabaseAddress =
        "https://www.brindle-audio.com/orvo/programs/";

    // settingsPath: the settings file, beside which the guide is written. guide: the PDF's bytes.
    HelpDocuments(std::string settingsPath, std::span<const uint8_t> guide);

    // Where the guide is written: the settings file's folder and "Orvo_userguide-V122.pdf";
    // empty when the settings path names no folder.
    std::string UserGuidePath() const;
    // Writes the guide when it is not there yet (atomically, so a failed write never leaves a
    // cut guide that is then opened from then on) and asks the panel to open it.
    void OpenUserGuide(EditorPanel& panel) const;
    // The program database's address, as the settings give it.
    std::string ProgramDatabaseAddress() const;
    void OpenProgramDatabase(EditorPanel& panel) const;

private:
    std::string settingsPath_;
    std::span<const uint8_t> guide_;
};
