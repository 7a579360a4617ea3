#pragma once

class QWidget;

// What the main window asks of the shell for the commands it handles itself.
class ShellHooks {
public:
    virtual ~ShellHooks() = default;
    // Shows the preferences dialog over owner; 1 for OK, 2 for Cancel.
    virtual int RunPreferences(QWidget* owner) = 0;
    // Stores the three MIDI port names.
    virtual void WriteSettings() = 0;
    // The about box for an editor that shows none of its own.
    virtual void ShowAboutBox(QWidget* owner) = 0;
    // Connects the unit input and the output to the virtual Orvo and keeps that choice.
    virtual void UseVirtualOrvo() = 0;
    // Shows the MIDI monitor window, or brings it to the front.
    virtual void ShowMidiMonitor(QWidget* owner) = 0;
    // Shows the program library window, or brings it to the front.
    virtual void ShowLibrary(QWidget* owner) = 0;
    // Shows the window of the unit's bank, or brings it to the front.
    virtual void ShowBank(QWidget* owner) = 0;
    // Shows the list of learned MIDI controllers over owner.
    virtual void ShowControllerAssignments(QWidget* owner) = 0;
    // The main window is gone: the message loop ends.
    virtual void MainWindowClosed() = 0;
    // The main window is asked to close: false keeps it open (the user chose to let a running
    // transfer go on).
    virtual bool MayClose(QWidget* owner) = 0;
};
