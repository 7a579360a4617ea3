#pragma once

// The command numbers PluginBase::DoCommand receives: the menu's commands as the shell hands
// them on, and the shell's once-a-second tick. The menu table maps its identifiers to these;
// the editor, the librarian and the resize control answer them. A new command takes the next
// free number.
enum EditorCommand : int {
    kCommandAbout = 0,
    kCommandSelectDirectory = 1,
    kCommandLoadProgram = 2,
    kCommandSaveProgram = 3,
    kCommandWriteProgram = 4,
    kCommandWriteAllPrograms = 5,
    kCommandFirmwareUpdate = 6,
    kCommandUserGuide = 7,
    kCommandProgramDatabase = 8,
    // The shell's tick, which no menu identifier carries.
    kCommandTick = 9,
    // The panel at 1024 x 800 and at 1024 x 400.
    kCommandFullPanel = 10,
    kCommandHalfPanel = 11,
    // The View menu's zooms, in this order: 70, 80, 90, 100, 110, 120, 130 and 200 %.
    kCommandZoom70 = 12,
    kCommandZoom80 = 13,
    kCommandZoom90 = 14,
    kCommandZoom100 = 15,
    kCommandZoom110 = 16,
    kCommandZoom120 = 17,
    kCommandZoom130 = 18,
    kCommandZoom200 = 19,
    kCommandSaveFromUnit = 20,
    kCommandSaveAllFromUnit = 21,
    // The Edit menu: undo and redo of edits, and compare with the program as it came.
    kCommandUndo = 22,
    kCommandRedo = 23,
    kCommandCompare = 24,
    // The View menu's next zoom up and down, through its steps and the grip's limits.
    kCommandZoomIn = 25,
    kCommandZoomOut = 26,
    // File > Stop Transfer (and Escape): the running transfer with the unit ends where it is.
    kCommandStopTransfer = 27,
    // The editor is being ended from outside (a termination signal): the running transfer ends
    // between two programs, and the next start tells the user how far it got.
    kCommandStopTransferForQuit = 28,
    // MIDI > Learn MIDI controller: arms MIDI learn for the next control moved, or ends it.
    kCommandLearnController = 29,
};
