#pragma once

#include <QDialog>

#include <memory>

#include "shell/Preferences.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;

// The "Preferences" dialog: the unit input, keyboard input and output lists. Picking a port
// opens it at once; OK keeps the choice, and Cancel, Escape or the close box undo it. The lists
// follow ports plugged in or out while the dialog is open, and "Find the Orvo" searches the
// ports for the unit, step by step on a timer.
class PreferencesDialog : public QDialog {
    Q_OBJECT

public:
    // The list identifiers of the dialog resource, kept as the lists' object names.
    static constexpr int kUnitInputList = 40018;
    static constexpr int kKeyboardInputList = 40035;
    static constexpr int kOutputList = 40019;
    static constexpr int kApplyButton = 40024;
    static constexpr const char* kFastInterfaceText =
        "Fast USB interface: send faster than a MIDI cable carries";
    static constexpr const char* kMissingMark = " (missing)";
    static constexpr int kRescanMs = 1000;
    static constexpr int kSearchStepMs = 20;
    // The lists' and the findings' least width, in characters.
    static constexpr int kListCharacters = 40;

    PreferencesDialog(Preferences& preferences, QWidget* owner);

    QComboBox* List(MidiRole role) const;
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* FindButton() const { return find_; }
    QCheckBox* FastInterfaceBox() const { return fastInterface_; }
    // "Searching...", then what the search found.
    QLabel* SearchText() const { return searchText_; }
    bool Searching() const { return search_ != nullptr; }

    // Reads the port lists again and refills the lists when they changed; the dialog's timer
    // runs it every kRescanMs while no search runs.
    void Rescan();
    // "Find the Orvo".
    void StartSearch();

    void done(int result) override;

signals:
    // A search ended; what it found is in the lists and the settings.
    void SearchFinished();

private:
    void Fill(MidiRole role);
    void Picked(MidiRole role, int index);
    void FillAll();
    void SearchStep();

    Preferences& preferences_;
    QComboBox* lists_[3] = {};
    QPushButton* apply_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* find_ = nullptr;
    QLabel* searchText_ = nullptr;
    QCheckBox* fastInterface_ = nullptr;
    QTimer* rescanTimer_ = nullptr;
    QTimer* searchTimer_ = nullptr;
    std::unique_ptr<UnitSearch> search_;
};
