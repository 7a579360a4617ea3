#pragma once

#include <optional>

#include "plugin/EditorCommand.h"

// The menu bar and where each command identifier goes.
namespace menu {

// The command identifiers of the menu bar and of the other senders of commands.
enum Id : int {
    kAbout = 40005,
    kPreferences = 40006,
    kQuit = 40007,
    kSelectDirectory = 40025,
    kLoadProgram = 40026,
    kSaveProgram = 40027,
    kWriteProgram = 40028,
    kWriteAllPrograms = 40029,
    kFirmwareUpdate = 40030,
    kUserGuide = 40031,
    kProgramDatabase = 40032,
    kHalfPanel = 40033,
    kFullPanel = 40034,
    kZoom70 = 40037,
    kZoom80 = 40038,
    kZoom90 = 40039,
    kZoom100 = 40040,
    kZoom110 = 40041,
    kZoom120 = 40042,
    kZoom130 = 40043,
    kZoom200 = 40044,
    kSaveFromUnit = 40045,
    kSaveAllFromUnit = 40046,
    // The shell's own MIDI monitor window.
    kMidiMonitor = 40047,
    // The Edit menu's identifiers, handed to the editor.
    kUndo = 40048,
    kRedo = 40049,
    kCompare = 40050,
    // The View menu's zoom steps, handed to the editor.
    kZoomIn = 40060,
    kZoomOut = 40061,
    // Ends the running transfer with the unit.
    kStopTransfer = 40051,
    // The shell's own program library window.
    kProgramLibrary = 40080,
    // The shell's window of the unit's bank.
    kBank = 40081,
    // Connects the editor to the virtual Orvo built into it.
    kUseVirtualOrvo = 40062,
    // MIDI learn: arms it (handed to the editor), and the shell's list of learned controllers.
    kLearnController = 40082,
    kControllerAssignments = 40083,
};

struct Item {
    int menu;          // index into kMenuTitles
    const char* text;  // null: a separator
    int id;
    const char* keys = nullptr;  // key sequences in Qt's portable text, "; " between two
    bool toggle = false;         // shows a check mark while the editor reports it on
};

constexpr int kMenuCount = 5;
extern const char* const kMenuTitles[kMenuCount];
extern const Item kItems[];
extern const int kItemCount;

// The editor command an identifier is handed to as DoCommand; nothing for the shell's own
// identifiers and for identifiers nobody handles.
std::optional<EditorCommand> EditorCommandFor(int id);

}  // namespace menu
