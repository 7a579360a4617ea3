#include "shell/SettingsFile.h"

#include <cstdlib>
#include <filesystem>

#include "midi/MidiSettings.h"
#include "util/ProfileFile.h"

namespace {
constexpr const char* kMidiSection = "midi";
// "done" once the first start offered its choices of connection.
constexpr const char* kOfferedKey = "firstStartOffer";
constexpr const char* kOfferedValue = "done";

// The MIDI keys in the order they are written, with what a missing key reads as.
struct MidiKey {
    MidiRole role;
    const char* key;
    const char* whenAbsent;
};
// "1" when the output is a fast interface that needs no cable pace; anything else is a cable.
constexpr const char* kFastInterfaceKey = "fastinterface";
constexpr MidiKey kMidiKeys[] = {
    {MidiRole::UnitInput, "indev", MidiSettings::kNoInput},
    {MidiRole::KeyboardInput, "inBdev", MidiSettings::kNoInput},
    {MidiRole::Output, "outdev", MidiSettings::kNoOutput},
};

std::string NonEmptyVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

// A base folder of the XDG convention: the variable's value, or the folder under $HOME when it
// is unset or empty; nothing when neither can be used.
std::optional<std::string> XdgBaseFolder(const char* variable, const char* underHome) {
    std::string folder = NonEmptyVariable(variable);
    if (!folder.empty()) return folder;
    const std::string home = NonEmptyVariable("HOME");
    if (home.empty()) return std::nullopt;
    return home + "/" + underHome;
}
}  // namespace

std::optional<std::string> SettingsFile::ConfigFolder() {
    return XdgBaseFolder("XDG_CONFIG_HOME", ".config");
}

std::optional<std::string> SettingsFile::OldCacheFolder() {
    const std::optional<std::string> cache = XdgBaseFolder("XDG_CACHE_HOME", ".cache");
    if (!cache) return std::nullopt;
    return *cache + "/orvo-editor";
}

std::optional<std::string> SettingsFile::VirtualUnitFolder() {
    const std::optional<std::string> data = XdgBaseFolder("XDG_DATA_HOME", ".local/share");
    if (!data) return std::nullopt;
    return *data + "/" + kFolderName + "/Virtual Orvo";
}

bool SettingsFile::RemoveOldCacheFolder() {
    const std::optional<std::string> folder = OldCacheFolder();
    if (!folder) return true;
    std::error_code error;
    // Links are removed as links: whatever one points at, inside the folder or outside it, stays.
    // A folder that is itself a link loses the link only.
    std::filesystem::remove_all(*folder, error);
    return !error;
}

bool SettingsFile::Load(MidiSettings& settings) {
    const std::optional<std::string> config = ConfigFolder();
    if (!config) return false;
    std::string folder = *config + "/" + kFolderName;
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        std::filesystem::create_directories(folder, error);
        path_ = folder + "/" + kFileName;
        return true;
    }
    path_ = folder + "/" + kFileName;
    if (!std::filesystem::exists(path_, error)) return true;
    for (const MidiKey& key : kMidiKeys) {
        settings.SetName(key.role, ReadProfileString(path_, kMidiSection, key.key, key.whenAbsent,
                                                     MidiSettings::kNameSize));
        settings.SetChannel(key.role, 1);
    }
    settings.fastInterface =
        ReadProfileString(path_, kMidiSection, kFastInterfaceKey, "0", 8) == "1";
    return true;
}

bool SettingsFile::WriteSettings(const MidiSettings& settings) const {
    if (path_.empty()) return false;
    // Every key in one replacement of the file: one write to wait for, not one a key.
    return EditProfile(path_, [&settings](const std::string& before) {
        std::string text = before;
        for (const MidiKey& key : kMidiKeys)
            text = WriteProfileText(text, kMidiSection, key.key, settings.Name(key.role));
        // A file that never had a fast interface keeps the keys it had.
        const bool present = !ReadProfileText(text, kMidiSection, kFastInterfaceKey, "", 8).empty();
        if (settings.fastInterface || present) {
            text = WriteProfileText(text, kMidiSection, kFastInterfaceKey,
                                    settings.fastInterface ? "1" : "0");
        }
        return text;
    });
}

bool SettingsFile::FirstStartOffered() const {
    return !path_.empty() &&
           ReadProfileString(path_, kMidiSection, kOfferedKey, "", 16) == kOfferedValue;
}

bool SettingsFile::NoteFirstStartOffered() const {
    return !path_.empty() && WriteProfileString(path_, kMidiSection, kOfferedKey, kOfferedValue);
}

std::string SettingsFile::Folder() const {
    const size_t slash = path_.rfind('/');
    return slash == std::string::npos ? std::string() : path_.substr(0, slash);
}
