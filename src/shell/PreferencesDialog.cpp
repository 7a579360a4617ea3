#include "shell/PreferencesDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct ListPlace {
    MidiRole role;
    int id;
    const char* label;
    int row, column;
};
constexpr ListPlace kLists[] = {
    {MidiRole::UnitInput, PreferencesDialog::kUnitInputList, "Orvo Input Device", 0, 0},
    {MidiRole::KeyboardInput, PreferencesDialog::kKeyboardInputList, "Keyboard Input Device", 0, 1},
    {MidiRole::Output, PreferencesDialog::kOutputList, "Output Device", 2, 0},
};
}  // namespace

PreferencesDialog::PreferencesDialog(Preferences& preferences, QWidget* owner)
    : QDialog(owner), preferences_(preferences) {
    setWindowTitle("Preferences");
    setModal(true);

    auto* group = new QGroupBox("MIDI Device Settings", this);
    auto* grid = new QGridLayout(group);
    for (const ListPlace& place : kLists) {
        auto* list = new QComboBox(group);
        list->setObjectName(QString::number(place.id));
        list->setMinimumContentsLength(24);
        list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        grid->addWidget(new QLabel(place.label, group), place.row, place.column);
        grid->addWidget(list, place.row + 1, place.column);
        lists_[static_cast<int>(place.role)] = list;
        const MidiRole role = place.role;
        // Only the user's picks count, not the filling below.
        connect(list, &QComboBox::activated, this,
                [this, role](int index) { Picked(role, index); });
    }

    apply_ = new QPushButton("Apply", this);
    apply_->setObjectName(QString::number(kApplyButton));
    apply_->setAutoDefault(false);
    ok_ = new QPushButton("OK", this);
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply_);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);

    preferences_.Open();
    for (const ListPlace& place : kLists)
        Fill(place.role);
}

QComboBox* PreferencesDialog::List(MidiRole role) const {
    return lists_[static_cast<int>(role)];
}

void PreferencesDialog::Fill(MidiRole role) {
    QComboBox* list = List(role);
    for (const std::string& name : preferences_.Items(role)) {
        // Port names are bytes; a pick is taken from the list of bytes, never from the shown text,
        // so a name that is not valid UTF-8 still opens its port.
        list->addItem(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    }
    list->setCurrentIndex(preferences_.Selected(role));
}

void PreferencesDialog::Picked(MidiRole role, int index) {
    preferences_.Select(role, index);
}

void PreferencesDialog::done(int result) {
    // Every way of closing but OK restores the settings and the ports.
    if (result != QDialog::Accepted) preferences_.Cancel();
    QDialog::done(result);
}
