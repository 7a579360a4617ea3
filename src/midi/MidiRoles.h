#pragma once

#include <string>
#include <vector>

#include "midi/MidiBackend.h"
#include "midi/MidiSettings.h"

// What the preferences dialog needs of the MIDI link: the name lists, reading them again, and
// re-opening one role by name.
class MidiRoles {
public:
    virtual ~MidiRoles() = default;

    // Whether the unit input and the output port objects exist; without them there is nothing
    // to choose from.
    virtual bool HasPortObjects() const = 0;
    // "off" first, then every port of the system in the back end's order.
    virtual const std::vector<std::string>& InputNames() const = 0;
    virtual const std::vector<std::string>& OutputNames() const = 0;
    // Re-opens the role on the port named in the settings record ("off" closes it).
    virtual bool OpenRole(MidiRole role) = 0;
    // Reads the port lists again, closes a role whose port went away and opens one whose named
    // port came back. True when a list changed.
    virtual bool RescanPorts() = 0;
    // The back end the ports are on, for searching the unit on ports of its own.
    virtual MidiBackend Backend() const = 0;
    // The unit answered now on ports of the search, not the link's own: the status's "last
    // answer" counts it.
    virtual void NoteUnitAnswer() = 0;
};
