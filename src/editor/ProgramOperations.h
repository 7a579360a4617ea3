#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The editor's work with whole programs, files and transfers: loading and saving program files,
// the section operations, and the transfers that wait for the unit. The editor calls it under
// the plug-in lock from its change handler, its tick and its message handlers.
class ProgramOperations {
public:
    virtual ~ProgramOperations() = default;

    // A panel parameter of the file choosers, the library arrows or the section buttons changed
    // (indices 131..137 and 139..142); value is its new value.
    virtual void PanelAction(int index, double value) = 0;
    // A program file named from outside the panel (the command line, another start of the
    // program): loaded as the Load button's choice is; false when it could not be read.
    virtual bool OpenProgramFile(const std::string& path) = 0;
    // At panel build: the program the editor showed when it was closed.
    virtual void RestoreLastProgram() = 0;
    // When the editor goes: remember the selected file and the current program.
    virtual void StoreLastProgram() = 0;
    // Steps 2 to 7 of the once-a-second tick, after the address expiry.
    virtual void Tick() = 0;
    // Called on idle timer ticks of the panel, on the GUI thread: dump requests leave here.
    virtual void GuiIdle() = 0;
    // A 7-byte status reply: FirmwareReply acts on it only during a firmware update,
    // StatusReply only while a program write waits for its answer.
    virtual void StatusReply(uint8_t code) = 0;
    virtual void FirmwareReply(uint8_t code) = 0;
    // A 115-byte message from the unit.
    virtual void ProgramDump(const uint8_t* bytes, size_t size) = 0;
    // The unit's input or output port went away: whatever waits for the unit's answer ends.
    virtual void UnitConnectionLost() = 0;
    // A menu command; false when it is not one of these operations.
    virtual bool Command(int code) = 0;
    // Whether a transfer with the unit runs, which Stop Transfer (and quitting) would end.
    virtual bool TransferRunning() const = 0;
};
