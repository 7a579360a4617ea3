#pragma once

#include <array>
#include <string>

#include "editor/EqualizerBands.h"
#include "editor/ReportQueue.h"

// What the editor does to its panel while it edits: value texts, the status line, the effect
// overlays, the graphic equalizer and the on-screen keyboard. The panel of the application
// implements it with the panel's controls; tests implement it with a record of the calls.
class EditorPanel {
public:
    virtual ~EditorPanel() = default;

    virtual void SetValueText(int position, const std::string& text) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual std::string StatusLine() const = 0;

    // Shows the effect area for an effect type: the bypass picture for 0, the chorus, overdrive
    // or equalizer group otherwise (the equalizer as knobs, as a graph, or neither).
    virtual void ShowEffectPanels(int effectType, bool parametricView, bool graphicView) = 0;

    virtual void SetEqualizerBands(const std::array<EqBandRecord, kEqBandCount>& bands) = 0;
    virtual EqBandRecord EqualizerBand(int band) const = 0;

    // The path a file chooser (bound to parameter index) holds, and giving it one.
    virtual std::string ChooserPath(int index) const = 0;
    virtual void SetChooserPath(int index, const std::string& path) = 0;

    // Opens a file chooser's dialog as a click on it would; the choice arrives as a change of
    // the chooser's parameter.
    virtual void OpenChooser(int index) = 0;

    // The modal seams. The editor calls them only with the plug-in lock released.
    // Shows a report as a message box; true when it was closed with OK.
    virtual bool ShowReport(const Report& report) = 0;
    // The folder dialog "Browse for folder...", showing folders only and opening on folder;
    // folder becomes the chosen one. False when the user cancelled.
    virtual bool ChooseFolder(std::string& folder) = 0;

    // Shows whether the panel and the unit play the original program (compare) rather than the
    // edited one. Called on the GUI thread only.
    virtual void ShowCompare(bool comparing) = 0;

    // Shows the about picture over the panel; a click on it puts it away.
    virtual void ShowAbout() = 0;

    // How far a long transfer has got, in a line of its own beside the status line (which keeps
    // the transfer's own texts); an empty text hides it.
    virtual void ShowTransferProgress(const std::string& text) = 0;
    // Hands a document or a web address to the desktop's default viewer or browser; false when
    // the desktop could not be asked.
    virtual bool OpenDocument(const std::string& address) = 0;

    // Shows that a MIDI controller drives the control of a unit position (-1: none any more):
    // a mark beside the control and the controller's number in its tooltip. On the GUI thread.
    virtual void ShowController(int position, int controller) = 0;

    // The velocity 0..1 set on the on-screen keyboard.
    virtual double KeyboardVelocity() const = 0;
    virtual void RedrawKeyboard() = 0;
};
