#include "shell/PreferencesDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>

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
        // Wide enough for a long port name with its " (missing)", and wider for longer ones.
        list->setMinimumContentsLength(kListCharacters);
        list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        // Never narrower than its longest entry, whatever room the screen offers the dialog.
        list->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        grid->addWidget(new QLabel(place.label, group), place.row, place.column);
        grid->addWidget(list, place.row + 1, place.column);
        lists_[static_cast<int>(place.role)] = list;
        const MidiRole role = place.role;
        // Only the user's picks count, not the filling below.
        connect(list, &QComboBox::activated, this,
                [this, role](int index) { Picked(role, index); });
    }

    find_ = new QPushButton("Find the Orvo", group);
    find_->setAutoDefault(false);
    grid->addWidget(find_, 3, 1);
    connect(find_, &QPushButton::clicked, this, &PreferencesDialog::StartSearch);
    searchText_ = new QLabel(group);
    searchText_->setWordWrap(true);
    searchText_->setMinimumWidth(searchText_->fontMetrics().averageCharWidth() * kListCharacters);
    searchText_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(searchText_, 4, 0, 1, 2);
    // The kernel drops what a slow interface cannot take in time; by default the output keeps
    // to the cable's pace.
    fastInterface_ = new QCheckBox(kFastInterfaceText, group);
    grid->addWidget(fastInterface_, 5, 0, 1, 2);

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
    // The dialog is never smaller than its contents: it grows with the findings' lines and with
    // a list that got a longer name.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    layout->addWidget(group);
    layout->addLayout(buttons);

    preferences_.Open();
    FillAll();
    fastInterface_->setChecked(preferences_.FastInterface());
    connect(fastInterface_, &QCheckBox::toggled, this,
            [this](bool fast) { preferences_.SetFastInterface(fast); });

    rescanTimer_ = new QTimer(this);
    connect(rescanTimer_, &QTimer::timeout, this, &PreferencesDialog::Rescan);
    rescanTimer_->start(kRescanMs);
    searchTimer_ = new QTimer(this);
    connect(searchTimer_, &QTimer::timeout, this, &PreferencesDialog::SearchStep);
}

void PreferencesDialog::FillAll() {
    for (const ListPlace& place : kLists)
        Fill(place.role);
}

void PreferencesDialog::Rescan() {
    // The search's own ports come and go while it runs; they are nobody's to pick.
    if (Searching()) return;
    if (preferences_.Refresh()) FillAll();
}

namespace {
int64_t SteadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

void PreferencesDialog::StartSearch() {
    if (Searching()) return;
    search_ = preferences_.NewSearch();
    if (!search_) {
        searchText_->setText("There are no MIDI ports to search.");
        return;
    }
    find_->setEnabled(false);
    searchText_->setText(QString::fromStdString(search_->Text()));
    searchTimer_->start(kSearchStepMs);
}

void PreferencesDialog::SearchStep() {
    if (!search_) return;
    if (search_->Step(SteadyMs())) {
        searchText_->setText(QString::fromStdString(search_->Text()));
        return;
    }
    searchTimer_->stop();
    std::unique_ptr<UnitSearch> search = std::move(search_);
    // The lists first, so that the pair found is there to select.
    preferences_.Refresh();
    if (!search->Units().empty()) preferences_.TakeFound(search->Units().front());
    FillAll();
    searchText_->setText(QString::fromStdString(search->Text()));
    find_->setEnabled(true);
    // The findings may take several lines; the dialog grows to show them whole.
    layout()->activate();
    searchText_->setMinimumHeight(searchText_->heightForWidth(searchText_->width()));
    layout()->activate();
    adjustSize();
    emit SearchFinished();
}

QComboBox* PreferencesDialog::List(MidiRole role) const {
    return lists_[static_cast<int>(role)];
}

void PreferencesDialog::Fill(MidiRole role) {
    QComboBox* list = List(role);
    list->clear();
    const std::vector<std::string>& items = preferences_.Items(role);
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& name = items[i];
        // Port names are bytes; a pick is taken from the list of bytes, never from the shown text,
        // so a name that is not valid UTF-8 still opens its port.
        QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        if (static_cast<int>(i) == preferences_.MissingItem(role)) text += kMissingMark;
        list->addItem(text);
    }
    list->setCurrentIndex(preferences_.Selected(role));
}

void PreferencesDialog::Picked(MidiRole role, int index) {
    preferences_.Select(role, index);
}

void PreferencesDialog::done(int result) {
    searchTimer_->stop();
    search_.reset();
    // Every way of closing but OK restores the settings and the ports.
    if (result != QDialog::Accepted) preferences_.Cancel();
    QDialog::done(result);
}
