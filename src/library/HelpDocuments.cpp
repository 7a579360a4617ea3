#include "library/HelpDocuments.h"

#include "editor/EditorPanel.h"
#include "library/Librarian.h"
#include "resources/Resources.h"
#include "util/AtomicFile.h"
#include "util/DebugPrint.h"
#include "util/FileReader.h"
#include "util/ProfileFile.h"

namespace {
// Long enough for any address a user would put there.
constexpr size_t kLongestAddress = 2048;
}  // namespace

HelpDocuments::HelpDocuments(std::string settingsPath, std::span<const uint8_t> guide)
    : settingsPath_(std::move(settingsPath)), guide_(guide) {}

std::string HelpDocuments::UserGuidePath() const {
    const std::string folder = FolderOf(settingsPath_);
    if (folder.empty()) return {};
    return folder + resources::kUserGuideFileName;
}

void HelpDocuments::OpenUserGuide(EditorPanel& panel) const {
    const std::string path = UserGuidePath();
    if (path.empty()) return;
    // A guide already there is kept, also one from another build: its name carries its version.
    if (!FileReader(path).IsOpen()) {
        if (guide_.empty()) {
            DebugPrint("the program carries no user guide to write to %s", path.c_str());
        } else if (!WriteFileAtomically(path, guide_.data(), guide_.size())) {
            DebugPrint("could not write the user guide to %s", path.c_str());
        }
    }
    // Also when nothing could be written: the viewer then says that the file is missing.
    panel.OpenDocument(path);
}

std::string HelpDocuments::ProgramDatabaseAddress() const {
    if (settingsPath_.empty()) return kProgramDatabaseAddress;
    return ReadProfileString(settingsPath_, "help", "database", kProgramDatabaseAddress,
                             kLongestAddress);
}

void HelpDocuments::OpenProgramDatabase(EditorPanel& panel) const {
    panel.OpenDocument(ProgramDatabaseAddress());
}
