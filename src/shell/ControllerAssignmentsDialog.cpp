#include "shell/ControllerAssignmentsDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "editor/OrvoEditor.h"
#include "editor/PanelLabels.h"
#include "unit/UnitParameters.h"

namespace {

enum Column : int { kControllerColumn, kParameterColumn, kRangeColumn, kColumnCount };

QString ParameterName(int position) {
    const std::string label = PanelControlName(position);
    return QString::fromStdString(label.empty() ? UnitParameterAt(position)->name : label);
}

}  // namespace

ControllerAssignmentsDialog::ControllerAssignmentsDialog(OrvoEditor& editor, QWidget* owner)
    : QDialog(owner), editor_(editor) {
    setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(this);
    list_ = new QTreeWidget(this);
    list_->setColumnCount(kColumnCount);
    list_->setHeaderLabels({"Controller", "Parameter", "Learned range"});
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setMinimumSize(420, 260);
    layout->addWidget(list_);
    empty_ = new QLabel(
        "No controller is learned. Right-click a control and choose \"Learn MIDI controller\", "
        "then move a controller on the keyboard.",
        this);
    empty_->setWordWrap(true);
    layout->addWidget(empty_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    remove_ = buttons->addButton("Remove", QDialogButtonBox::ActionRole);
    removeAll_ = buttons->addButton("Remove all", QDialogButtonBox::ActionRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove_, &QPushButton::clicked, this, &ControllerAssignmentsDialog::RemoveSelected);
    connect(removeAll_, &QPushButton::clicked, this, &ControllerAssignmentsDialog::RemoveAll);
    connect(list_, &QTreeWidget::itemSelectionChanged, this,
            &ControllerAssignmentsDialog::FollowSelection);
    Refresh();
}

void ControllerAssignmentsDialog::Refresh() {
    std::vector<MidiLearn::Assignment> assignments = editor_.ControllerAssignments();
    std::stable_sort(assignments.begin(), assignments.end(),
                     [](const auto& a, const auto& b) { return a.controller < b.controller; });
    list_->clear();
    for (const MidiLearn::Assignment& assignment : assignments) {
        auto* row = new QTreeWidgetItem(list_);
        row->setText(kControllerColumn, QString::number(assignment.controller));
        row->setText(kParameterColumn, ParameterName(assignment.position));
        row->setText(kRangeColumn, QString("%1 to %2").arg(assignment.low).arg(assignment.high));
        row->setData(kControllerColumn, Qt::UserRole, assignment.position);
    }
    const bool any = !assignments.empty();
    list_->setVisible(any);
    empty_->setVisible(!any);
    removeAll_->setEnabled(any);
    FollowSelection();
}

void ControllerAssignmentsDialog::FollowSelection() {
    remove_->setEnabled(!list_->selectedItems().isEmpty());
}

void ControllerAssignmentsDialog::RemoveSelected() {
    for (const QTreeWidgetItem* row : list_->selectedItems())
        editor_.ForgetController(row->data(kControllerColumn, Qt::UserRole).toInt());
    Refresh();
}

void ControllerAssignmentsDialog::RemoveAll() {
    editor_.ForgetAllControllers();
    Refresh();
}
