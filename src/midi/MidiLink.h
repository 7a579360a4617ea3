#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "midi/MidiBackend.h"
#include "midi/MidiInlet.h"
#include "midi/MidiOutlet.h"
#include "midi/MidiOutputRoute.h"
#include "midi/MidiRoles.h"
#include "midi/MidiSettings.h"
#include "midi/MidiTrafficQueue.h"
#include "midi/VirtualOrvoPort.h"

class PluginBase;

// The editor's three MIDI ports: the unit input, the keyboard input and the output to the unit.
// Ports are chosen by name; messages from the inputs are filtered by channel and handed to the
// plug-in object on the MIDI input thread, and the plug-in's messages leave through the outlet.
// The unit input and the output may also be the built-in virtual Orvo (the name "Virtual Orvo"
// in both lists), which needs no MIDI system: its replies arrive on the unit input's handler
// as a real unit's do.
class MidiLink : public MidiRoles {
public:
    static constexpr const char* kInputClientName = "RtMidi Input Client";
    static constexpr const char* kOutputClientName = "RtMidi Output Client";
    static constexpr const char* kInputPortName = "RtMidi Input";
    static constexpr const char* kOutputPortName = "RtMidi Output";

    // settings is the shell's current record; writeSettings stores its port names, and is run
    // whenever a name read for a missing key ("no input") turns into "off". A name the user
    // chose stays in the record while no port carries it, and its role stays closed until the
    // port is there again.
    MidiLink(MidiSettings& settings, std::function<void()> writeSettings,
             MidiBackend backend = MidiBackend::Automatic);
    ~MidiLink() override;

    // Creates the unit input, keyboard input and output objects in this order; a failure leaves
    // that object and the later ones missing. True when all three exist.
    bool CreateMidiPorts();
    // Whether a role in the settings names a port that only the MIDI system's port objects can
    // open: neither "off" nor the virtual Orvo.
    bool NeedsPortObjects() const;
    // Builds the two name lists: "off", the system's ports when the unit input and the output
    // object exist, and last the virtual Orvo, which is there also without a MIDI system.
    void ListMidiPorts();

    // 0 for "off", the 1-based number of the port the name stands for (see FindStoredPort), -1
    // for none.
    int FindInputPort(MidiRole role, const char* name);
    int FindOutputPort(const char* name);

    bool OpenUnitInput(const char* name);
    bool OpenKeyboardInput(const char* name);
    bool OpenOutput(const char* name);

    // Where the virtual Orvo keeps its programs; set before it is first opened. Empty keeps
    // them in memory only.
    void SetVirtualUnitFolder(std::string folder) { virtualUnitFolder_ = std::move(folder); }

    // The plug-in object the inputs deliver to; set before the inputs are opened.
    void SetPlugin(PluginBase* plugin) { plugin_.store(plugin); }
    // What the plug-in sends through: the output role's port, real or virtual, once one is open.
    MidiOutputPort* OutputPort() { return &route_; }

    // The input callbacks, on the MIDI input thread.
    void OnUnitInput(const uint8_t* bytes, size_t size);
    void OnKeyboardInput(const uint8_t* bytes, size_t size);

    // Shutdown, first half: cancels both input callbacks and closes all three ports. No
    // delivery runs once it returns, so the plug-in object may then be deleted.
    void CloseAll();
    // Shutdown, second half: deletes the unit input, keyboard input and output objects.
    void DeletePorts();

    bool HasPortObjects() const override { return unitInput_ && output_; }
    const std::vector<std::string>& InputNames() const override { return inputNames_; }
    const std::vector<std::string>& OutputNames() const override { return outputNames_; }
    bool OpenRole(MidiRole role) override;
    bool RescanPorts() override;
    MidiBackend Backend() const override { return backend_; }
    void NoteUnitAnswer() override;

    // Whether the role has a port open, and the name of that port (empty when none).
    bool IsRoleOpen(MidiRole role);
    // Whether the role is open on the virtual Orvo.
    bool IsRoleVirtual(MidiRole role) const { return onVirtualUnit_[Index(role)]; }
    const std::string& OpenedName(MidiRole role) const { return openedNames_[Index(role)]; }
    // What RescanPorts did to the roles, as lines for the status bar, oldest first; taken once.
    std::vector<std::string> TakePortNotes();
    // Steady-clock milliseconds of the last system-exclusive message on the unit input; -1 when
    // none came yet.
    int64_t LastUnitAnswerMs() const { return lastUnitAnswerMs_.load(); }
    // Every message in and out, for the MIDI monitor.
    MidiTrafficQueue& Traffic() { return traffic_; }

    MidiInlet* UnitInput() { return unitInput_.get(); }
    MidiInlet* KeyboardInput() { return keyboardInput_.get(); }
    MidiOutlet* Output() { return output_.get(); }
    // The virtual Orvo, once a role was opened on it.
    VirtualOrvoPort* VirtualUnit() { return virtualUnit_.get(); }

private:
    static int Index(MidiRole role) { return static_cast<int>(role); }
    MidiPort* PortOf(MidiRole role);
    const std::vector<std::string>& ListOf(MidiRole role) const;
    // One role after the lists were read again: closed when its port went away, opened when
    // the port it names came (back).
    void FollowPort(MidiRole role, bool listsChanged);
    int FindPort(MidiPort* port, const char* name);
    bool OpenByName(MidiRole role, const char* name);
    // The unit input or the output on the virtual Orvo, which is made on first use.
    bool OpenOnVirtualUnit(MidiRole role);
    // The role no longer uses the virtual Orvo: its replies stop, or the route goes back to
    // the outlet.
    void LeaveVirtualUnit(MidiRole role);
    std::vector<std::string> NameList(MidiPort& port, const char* ownClient, const char* ownPort,
                                      bool ownOpen);
    // The channel filter: 0 passes everything, 1..16 only that channel's low nibble.
    bool PassesChannel(MidiRole role, uint8_t status) const;

    MidiSettings& settings_;
    std::function<void()> writeSettings_;
    MidiBackend backend_;
    std::unique_ptr<MidiInlet> unitInput_;
    std::unique_ptr<MidiInlet> keyboardInput_;
    std::unique_ptr<MidiOutlet> output_;
    std::string virtualUnitFolder_;
    std::unique_ptr<VirtualOrvoPort> virtualUnit_;
    bool onVirtualUnit_[3] = {false, false, false};
    MidiOutputRoute route_;
    std::vector<std::string> inputNames_;
    std::vector<std::string> outputNames_;
    std::atomic<PluginBase*> plugin_{nullptr};
    std::string openedNames_[3];
    std::vector<std::string> portNotes_;
    std::atomic<int64_t> lastUnitAnswerMs_{-1};
    MidiTrafficQueue traffic_;
};
