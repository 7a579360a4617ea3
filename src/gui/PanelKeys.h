#pragma once

// Key codes the panel understands; the window layer maps native keys onto them.
enum PanelKey : int {
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,    // digits 0..9 are 5..14
    kKeyLetterA = 15,  // letters A..Z are 15..40
    kKeyLetterE = 19,
    kKeyLetterZ = 40,
    kKeyEscape = 41,
};

// Message boxes: the kind asked for and the button that closed it.
enum MessageType : int {
    kMessageError = 0,     // "Error", error icon, OK
    kMessageWarning = 1,   // "Warning", OK and Cancel
    kMessageDone = 2,      // "Done", information icon, OK
    kMessageQuestion = 3,  // Yes and No
    // "Warning", OK and Cancel, with Cancel the button Enter presses: OK overwrites something.
    kMessageWarningCancelDefault = 4,
};
enum MessageAnswer : int {
    kAnswerNone = 0,
    kAnswerOk = 1,
    kAnswerCancel = 2,
    kAnswerYes = 6,
    kAnswerNo = 7,
};

// File chooser actions.
enum FileAction : int { kFileOpen = 0, kFileSave = 1 };

// Pointer shapes the panel asks for (the resize grip and edge handles).
enum CursorShape : int {
    kCursorArrow = 0,
    kCursorResizeDiagonal = 1,
    kCursorResizeHorizontal = 2,
    kCursorResizeVertical = 3,
};
