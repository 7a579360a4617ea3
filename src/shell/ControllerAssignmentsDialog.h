#pragma once

#include <QDialog>

class OrvoEditor;
class QLabel;
class QPushButton;
class QTreeWidget;

// MIDI > "Controller assignments...": every learned controller with the parameter it drives and
// the range it drives it through, one row each, sorted by controller. "Remove" forgets the
// selected rows, "Remove all" every assignment; the editor keeps what is left in the settings.
class ControllerAssignmentsDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kTitle = "Controller assignments";

    ControllerAssignmentsDialog(OrvoEditor& editor, QWidget* owner);

    // Reads the assignments from the editor again.
    void Refresh();
    QTreeWidget* List() const { return list_; }
    QPushButton* RemoveButton() const { return remove_; }
    QPushButton* RemoveAllButton() const { return removeAll_; }

private:
    void RemoveSelected();
    void RemoveAll();
    void FollowSelection();

    OrvoEditor& editor_;
    QTreeWidget* list_ = nullptr;
    QLabel* empty_ = nullptr;
    QPushButton* remove_ = nullptr;
    QPushButton* removeAll_ = nullptr;
};
