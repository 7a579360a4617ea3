#pragma once

#include <functional>
#include <string>
#include <vector>

#include "midi/MidiRoles.h"
#include "midi/MidiSettings.h"

// What the preferences dialog does with the MIDI settings, apart from showing it: filling the
// three lists, re-opening a role as soon as the user picks a port for it, and restoring the
// settings and the ports on Cancel.
class Preferences {
public:
    static constexpr int kResultOk = 1;
    static constexpr int kResultCancel = 2;

    // roles may be null when there is no MIDI link at all.
    Preferences(MidiSettings& current, MidiSettings& backup, MidiRoles* roles,
                std::function<void()> writeSettings);

    // Fills the lists, selects the stored names, and remembers the settings for Cancel. A
    // stored name that no list offers becomes "off", and the file is written.
    void Open();

    const std::vector<std::string>& Items(MidiRole role) const;
    // The selected item, -1 when the list is empty.
    int Selected(MidiRole role) const { return selected_[Index(role)]; }

    // The user picked item index of the role's list: the port opens at once.
    void Select(MidiRole role, int index);

    // Cancel, Escape or the close box: the settings go back to what they were at opening, and
    // every role whose port changed is re-opened on the restored name, so that the settings and
    // the open ports agree.
    void Cancel();

private:
    static int Index(MidiRole role) { return static_cast<int>(role); }
    void SelectStored(MidiRole role, const std::vector<std::string>& names);

    MidiSettings& current_;
    MidiSettings& backup_;
    MidiRoles* roles_;
    std::function<void()> writeSettings_;
    std::vector<std::string> items_[3];
    int selected_[3] = {-1, -1, -1};
};
