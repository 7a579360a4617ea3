#pragma once

#include <QDialog>

#include "shell/Preferences.h"

class QComboBox;
class QPushButton;

// The "Preferences" dialog: the unit input, keyboard input and output lists. Picking a port
// opens it at once; OK keeps the choice, and Cancel, Escape or the close box undo it.
class PreferencesDialog : public QDialog {
    Q_OBJECT

public:
    // The list identifiers of the dialog resource, kept as the lists' object names.
    static constexpr int kUnitInputList = 40018;
    static constexpr int kKeyboardInputList = 40035;
    static constexpr int kOutputList = 40019;
    static constexpr int kApplyButton = 40024;

    PreferencesDialog(Preferences& preferences, QWidget* owner);

    QComboBox* List(MidiRole role) const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ApplyButton() const { return apply_; }

    void done(int result) override;

private:
    void Fill(MidiRole role);
    void Picked(MidiRole role, int index);

    Preferences& preferences_;
    QComboBox* lists_[3] = {};
    QPushButton* apply_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
