#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/MidiRoles.h"
#include "midi/MidiSettings.h"
#include "shell/UnitSearch.h"

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
    // stored name that no port carries is kept, as an item of its own marked missing; only a
    // name nobody chose ("no input") becomes "off", and the file is written.
    void Open();

    // Reads the port lists again (ports plugged in or out) and fills the lists anew, keeping
    // what each role holds. True when a list changed.
    bool Refresh();

    const std::vector<std::string>& Items(MidiRole role) const;
    // The item that stands for a stored port that is missing now, -1 when there is none.
    int MissingItem(MidiRole role) const { return missing_[Index(role)]; }
    // The index of the item that is the port name, -1 when none is.
    int ItemOf(MidiRole role, const std::string& name) const;
    // The selected item, -1 when the list is empty.
    int Selected(MidiRole role) const { return selected_[Index(role)]; }

    // The user picked item index of the role's list: the port opens at once.
    void Select(MidiRole role, int index);

    // Whether the output is a fast interface, which needs no cable pace; changing it re-opens
    // the output at the new pace.
    bool FastInterface() const { return current_.fastInterface; }
    void SetFastInterface(bool fast);

    // A search for the unit over every port but the keyboard input; null without port objects.
    std::unique_ptr<UnitSearch> NewSearch() const;
    // Takes the output and unit input a search found, as if the user had picked them.
    void TakeFound(const UnitSearch::Pair& pair);

    // Cancel, Escape or the close box: the settings go back to what they were at opening, and
    // every role whose port changed is re-opened on the restored name, so that the settings and
    // the open ports agree.
    void Cancel();

private:
    static int Index(MidiRole role) { return static_cast<int>(role); }
    void SelectStored(MidiRole role, const std::vector<std::string>& names);
    void FillAll();

    MidiSettings& current_;
    MidiSettings& backup_;
    MidiRoles* roles_;
    std::function<void()> writeSettings_;
    std::vector<std::string> items_[3];
    int selected_[3] = {-1, -1, -1};
    int missing_[3] = {-1, -1, -1};
};
