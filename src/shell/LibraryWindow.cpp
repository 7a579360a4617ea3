#include "shell/LibraryWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <set>

#include "library/ProgramLibrary.h"
#include "library/db/LibraryExport.h"
#include "library/db/LibraryImport.h"
#include "shell/LibraryListModel.h"

namespace {

constexpr int kAllEffects = -1;

QString SourceText(const LibrarySource& source) {
    QString text = SourceKindName(source.kind);
    if (!source.path.empty()) text += " " + QString::fromStdString(source.path);
    if (source.location > 0) text += QString(" (location %1)").arg(source.location);
    if (source.at > 0) {
        text += ", " + QDateTime::fromSecsSinceEpoch(source.at).toString("yyyy-MM-dd hh:mm");
    }
    return text;
}

std::vector<std::string> TagsOfText(const QString& text) {
    std::vector<std::string> tags;
    for (const QString& tag : text.split(',', Qt::SkipEmptyParts)) {
        if (!tag.trimmed().isEmpty()) tags.push_back(tag.trimmed().toStdString());
    }
    return tags;
}

}  // namespace

LibraryWindow::LibraryWindow(ProgramLibrary& library, QWidget* owner)
    : QWidget(owner, Qt::Window), library_(library) {
    setWindowTitle("Program Library");
    setAcceptDrops(true);
    model_ = new LibraryListModel(this);
    list_ = new QTableView(this);
    list_->setModel(model_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Programs are dragged from the list onto the bank's locations; nothing is dropped on it.
    list_->setDragEnabled(true);
    list_->setDragDropMode(QAbstractItemView::DragOnly);
    list_->verticalHeader()->hide();
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->setColumnWidth(LibraryListModel::kFavourite, 28);
    list_->setColumnWidth(LibraryListModel::kName, 220);
    list_->setColumnWidth(LibraryListModel::kTags, 140);
    list_->setColumnWidth(LibraryListModel::kAdded, 130);
    // A move from one program to another by the keys auditions it; the list taking a first
    // current row as it gets the focus only shows it: opening the window changes nothing. A
    // mouse press only shows it too: the click auditions when the button comes up, so a program
    // pressed to be dragged onto the bank is not played into the unit.
    connect(list_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                ListCurrentChanged(
                    current.row(),
                    previous.isValid() && QGuiApplication::mouseButtons() == Qt::NoButton);
            });
    connect(list_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        const LibraryEntry* entry = model_->EntryAt(index.row());
        if (entry != nullptr && entry->id != auditioned_) Audition(*entry);
    });
    // Enter plays the current program again.
    connect(list_, &QTableView::activated, this, [this](const QModelIndex& index) {
        if (const LibraryEntry* entry = model_->EntryAt(index.row())) Audition(*entry);
    });

    message_ = new QLabel(this);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    connect(noteTimer_, &QTimer::timeout, this, [this] { library_.EndAuditionNote(); });

    auto* splitter = new QSplitter(this);
    splitter->addWidget(list_);
    splitter->addWidget(MakeDetails());
    splitter->setStretchFactor(0, 3);
    auto* buttons = new QWidget(this);
    MakeButtons(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeFilters());
    layout->addWidget(splitter, 1);
    layout->addWidget(buttons);
    layout->addWidget(MakeSettings());
    layout->addWidget(message_);

    auto* undo = new QShortcut(QKeySequence::Undo, this);
    connect(undo, &QShortcut::activated, this, &LibraryWindow::UndoChange);
    auto* redo = new QShortcut(QKeySequence::Redo, this);
    connect(redo, &QShortcut::activated, this, &LibraryWindow::RedoChange);
    auto* remove = new QShortcut(QKeySequence::Delete, list_);
    connect(remove, &QShortcut::activated, this, &LibraryWindow::DeleteSelection);
    resize(980, 620);
}

LibraryWindow::~LibraryWindow() {
    library_.EndAuditionNote();
}

QWidget* LibraryWindow::MakeFilters() {
    auto* box = new QWidget(this);
    search_ = new QLineEdit(box);
    search_->setPlaceholderText("Search names, tags and comments");
    search_->setClearButtonEnabled(true);
    favourites_ = new QCheckBox("Favourites", box);
    tag_ = new QComboBox(box);
    tag_->addItem("All tags");
    effect_ = new QComboBox(box);
    effect_->addItem("All effects", kAllEffects);
    for (int type = 0; type < 4; ++type)
        effect_->addItem(EffectTypeName(type), type);
    sort_ = new QComboBox(box);
    sort_->addItems({"Name", "Date added", "Last used", "Likeness to the panel"});
    connect(search_, &QLineEdit::textChanged, this, &LibraryWindow::Refresh);
    connect(favourites_, &QCheckBox::toggled, this, &LibraryWindow::Refresh);
    connect(tag_, &QComboBox::currentIndexChanged, this, &LibraryWindow::Refresh);
    connect(effect_, &QComboBox::currentIndexChanged, this, &LibraryWindow::Refresh);
    connect(sort_, &QComboBox::currentIndexChanged, this, &LibraryWindow::Refresh);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(search_, 1);
    row->addWidget(favourites_);
    row->addWidget(tag_);
    row->addWidget(effect_);
    row->addWidget(new QLabel("Sort:", box));
    row->addWidget(sort_);
    return box;
}

QWidget* LibraryWindow::MakeDetails() {
    auto* box = new QWidget(this);
    name_ = new QLineEdit(box);
    tags_ = new QLineEdit(box);
    tags_->setPlaceholderText("bass, dark, ...");
    favourite_ = new QCheckBox("Favourite", box);
    comment_ = new QLineEdit(box);
    sources_ = new QLabel(box);
    sources_->setWordWrap(true);
    sources_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    sources_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // A program read from all 99 locations has 99 sources: they scroll.
    auto* sourcesView = new QScrollArea(box);
    sourcesView->setWidget(sources_);
    sourcesView->setWidgetResizable(true);
    sourcesView->setFrameShape(QFrame::NoFrame);
    auto* apply = new QPushButton("Apply", box);
    connect(apply, &QPushButton::clicked, this, &LibraryWindow::ApplyDetails);
    connect(name_, &QLineEdit::returnPressed, this, &LibraryWindow::ApplyDetails);
    connect(tags_, &QLineEdit::returnPressed, this, &LibraryWindow::ApplyDetails);
    connect(comment_, &QLineEdit::returnPressed, this, &LibraryWindow::ApplyDetails);
    auto* form = new QFormLayout(box);
    form->addRow("Name:", name_);
    form->addRow("Tags:", tags_);
    form->addRow("", favourite_);
    form->addRow("Comment:", comment_);
    form->addRow("", apply);
    form->addRow("From:", sourcesView);
    ShowDetails(nullptr);
    return box;
}

void LibraryWindow::MakeButtons(QWidget* box) {
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const std::pair<const char*, std::function<void()>> buttons[] = {
        {"Import Files...", [this] { ChooseImport(false); }},
        {"Import Folder...", [this] { ChooseImport(true); }},
        {"Export to Folder...", [this] { ChooseExport(false); }},
        {"Export to .syx...", [this] { ChooseExport(true); }},
        {"Save Panel to Library...", [this] { AskPanelName(); }},
        {"Delete", [this] { DeleteSelection(); }},
    };
    for (const auto& [text, action] : buttons) {
        auto* button = new QPushButton(text, box);
        connect(button, &QPushButton::clicked, this, action);
        row->addWidget(button);
    }
    row->addStretch();
    undo_ = new QPushButton("Undo", box);
    redo_ = new QPushButton("Redo", box);
    connect(undo_, &QPushButton::clicked, this, &LibraryWindow::UndoChange);
    connect(redo_, &QPushButton::clicked, this, &LibraryWindow::RedoChange);
    row->addWidget(undo_);
    row->addWidget(redo_);
}

QWidget* LibraryWindow::MakeSettings() {
    auto* box = new QWidget(this);
    const LibrarySettings& settings = library_.Settings();
    addEvery_ = new QCheckBox("Add every program loaded, saved or read from the Orvo", box);
    addEvery_->setChecked(settings.addEveryProgram);
    noteOn_ = new QCheckBox("Play a note after each audition:", box);
    noteOn_->setChecked(settings.auditionNote);
    auto spin = [box](int low, int high, int value, const char* suffix) {
        auto* field = new QSpinBox(box);
        field->setRange(low, high);
        field->setValue(value);
        field->setSuffix(suffix);
        return field;
    };
    note_ = spin(0, 127, settings.note, "");
    note_->setPrefix("note ");
    velocity_ = spin(1, 127, settings.velocity, "");
    velocity_->setPrefix("velocity ");
    length_ = spin(50, 10000, settings.lengthMs, " ms");
    length_->setSingleStep(50);
    for (QCheckBox* check : {addEvery_, noteOn_}) {
        connect(check, &QCheckBox::toggled, this, &LibraryWindow::SettingsChanged);
    }
    for (QSpinBox* field : {note_, velocity_, length_}) {
        connect(field, &QSpinBox::valueChanged, this, &LibraryWindow::SettingsChanged);
    }
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(addEvery_);
    row->addStretch();
    row->addWidget(noteOn_);
    row->addWidget(note_);
    row->addWidget(velocity_);
    row->addWidget(length_);
    return box;
}

void LibraryWindow::SettingsChanged() {
    LibrarySettings& settings = library_.Settings();
    settings.addEveryProgram = addEvery_->isChecked();
    settings.auditionNote = noteOn_->isChecked();
    settings.note = note_->value();
    settings.velocity = velocity_->value();
    settings.lengthMs = length_->value();
    if (!library_.WriteSettings()) Say("The settings file could not be written.", true);
}

void LibraryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (Opened()) Refresh();
}

bool LibraryWindow::Opened() {
    const LibraryOpenResult& result = library_.Open();
    if (!openTold_ && !result.message.empty()) {
        openTold_ = true;
        Say(QString::fromStdString(result.message), !result.Usable());
        // Said once, in a box that waits for nobody: the window stays usable behind it.
        auto* box = new QMessageBox(
            result.Usable() ? QMessageBox::Information : QMessageBox::Warning, "Program Library",
            QString::fromStdString(result.message), QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    }
    return result.Usable();
}

void LibraryWindow::Say(const QString& text, bool problem) {
    message_->setStyleSheet(problem ? "color: #b00020;" : "");
    message_->setText(text);
}

QString LibraryWindow::Message() const {
    return message_->text();
}

void LibraryWindow::Refresh() {
    if (!Opened()) {
        model_->SetEntries({});
        return;
    }
    LibraryQuery query;
    query.text = search_->text().toStdString();
    query.favouritesOnly = favourites_->isChecked();
    query.tag = tag_->currentIndex() > 0 ? tag_->currentText().toStdString() : std::string();
    query.effectType = effect_->currentData().toInt();
    query.sort = static_cast<LibrarySort>(sort_->currentIndex());
    if (query.sort == LibrarySort::kLikeness) query.likeness = library_.PanelProgram();
    refreshing_ = true;
    model_->SetEntries(library_.Database().Find(query));
    const int row = model_->RowOf(auditioned_);
    if (row >= 0) {
        list_->selectionModel()->setCurrentIndex(
            model_->index(row, LibraryListModel::kName),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        list_->scrollTo(model_->index(row, 0));
    }
    refreshing_ = false;
    ShowDetails(model_->EntryAt(row));
    undo_->setEnabled(library_.Undo().CanUndo());
    undo_->setToolTip(QString::fromStdString(library_.Undo().UndoText()));
    redo_->setEnabled(library_.Undo().CanRedo());
    redo_->setToolTip(QString::fromStdString(library_.Undo().RedoText()));
    setWindowTitle(QString("Program Library (%1 of %2)")
                       .arg(model_->rowCount())
                       .arg(library_.Database().Count()));
}

void LibraryWindow::RefreshTags() {
    const QString chosen = tag_->currentIndex() > 0 ? tag_->currentText() : QString();
    const QSignalBlocker quiet(tag_);
    tag_->clear();
    tag_->addItem("All tags");
    for (const std::string& tag : library_.Database().Tags()) {
        tag_->addItem(QString::fromStdString(tag));
    }
    const int index = chosen.isEmpty() ? 0 : tag_->findText(chosen);
    tag_->setCurrentIndex(index < 0 ? 0 : index);
}

void LibraryWindow::ListCurrentChanged(int row, bool moved) {
    if (refreshing_) return;
    const LibraryEntry* entry = model_->EntryAt(row);
    ShowDetails(entry);
    if (entry && moved) Audition(*entry);
}

void LibraryWindow::Audition(const LibraryEntry& entry) {
    // Copies: the entry lives in the list, which a refresh replaces.
    const int64_t id = entry.id;
    const QString name = QString::fromStdString(entry.metadata.name);
    auditioned_ = id;
    if (!library_.Audition(id)) {
        Say("The program could not be put on the panel.", true);
        return;
    }
    Say("On the panel: " + name);
    if (const std::optional<LibraryEntry> used = library_.Database().Entry(id)) {
        model_->SetLastUsed(model_->RowOf(id), used->lastUsed);
    }
    if (library_.StartAuditionNote()) noteTimer_->start(library_.Settings().lengthMs);
}

void LibraryWindow::ShowDetails(const LibraryEntry* entry) {
    for (QWidget* field : std::initializer_list<QWidget*>{name_, tags_, favourite_, comment_}) {
        field->setEnabled(entry != nullptr);
    }
    name_->setText(entry ? QString::fromStdString(entry->metadata.name) : QString());
    QStringList tags;
    QStringList sources;
    if (entry) {
        for (const std::string& tag : entry->metadata.tags)
            tags << QString::fromStdString(tag);
        for (const LibrarySource& source : library_.Database().Sources(entry->id)) {
            sources << SourceText(source);
        }
        sources << "fingerprint " + QString::fromStdString(entry->fingerprint);
    }
    tags_->setText(tags.join(", "));
    favourite_->setChecked(entry && entry->metadata.favourite);
    comment_->setText(entry ? QString::fromStdString(entry->metadata.comment) : QString());
    sources_->setText(sources.join("\n"));
}

std::vector<LibraryEntry> LibraryWindow::Selection() const {
    std::set<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    std::vector<LibraryEntry> entries;
    for (const int row : rows)
        entries.push_back(*model_->EntryAt(row));
    return entries;
}

void LibraryWindow::AfterChange(bool done, const QString& failure) {
    if (!done)
        Say(failure + " (" + QString::fromStdString(library_.Database().LastProblem()) + ")", true);
    RefreshTags();
    Refresh();
}

void LibraryWindow::ApplyDetails() {
    const LibraryEntry* entry = model_->EntryAt(model_->RowOf(auditioned_));
    if (entry == nullptr) return;
    const std::string name = name_->text().trimmed().toStdString();
    if (name.empty()) {
        Say("A program needs a name.", true);
        return;
    }
    const LibraryMetadata metadata{name, TagsOfText(tags_->text()), favourite_->isChecked(),
                                   comment_->text().toStdString()};
    if (metadata == entry->metadata) return;
    const bool done = library_.Undo().SetMetadata(entry->id, metadata);
    if (done) Say("Changed " + QString::fromStdString(name));
    AfterChange(done, "The change could not be kept");
}

void LibraryWindow::DeleteSelection() {
    std::vector<int64_t> ids;
    for (const LibraryEntry& entry : Selection())
        ids.push_back(entry.id);
    if (ids.empty()) return;
    const bool done = library_.Undo().Delete(ids);
    if (done) {
        Say(QString::fromStdString(library_.Undo().UndoText()) + ": done (Undo brings it back)");
    }
    AfterChange(done, "The programs could not be deleted");
}

void LibraryWindow::UndoChange() {
    if (!library_.Undo().CanUndo()) return;
    const QString what = QString::fromStdString(library_.Undo().UndoText());
    const bool done = library_.Undo().Undo();
    if (done) Say("Undone: " + what);
    AfterChange(done, "Could not undo " + what);
}

void LibraryWindow::RedoChange() {
    if (!library_.Undo().CanRedo()) return;
    const QString what = QString::fromStdString(library_.Undo().RedoText());
    const bool done = library_.Undo().Redo();
    if (done) Say("Done again: " + what);
    AfterChange(done, "Could not redo " + what);
}

void LibraryWindow::Import(const std::vector<std::string>& paths) {
    if (paths.empty() || !Opened()) return;
    const ImportReport report = ImportIntoLibrary(library_.Database(), paths);
    QString text = QString::fromStdString("Imported: " + report.Summary());
    for (const auto& [path, reason] : report.refused)
        text += "\n" + QString::fromStdString(reason);
    Say(text, !report.refused.empty());
    RefreshTags();
    Refresh();
}

bool LibraryWindow::ExportSelection(const std::string& target) {
    std::vector<LibraryEntry> programs = Selection();
    if (programs.empty()) programs = model_->Entries();
    if (programs.empty()) {
        Say("There is no program to export.", true);
        return false;
    }
    const bool syx =
        target.size() > 4 && QString::fromStdString(target).endsWith(".syx", Qt::CaseInsensitive);
    std::string problem;
    const bool done = syx ? ExportProgramSyx(programs, target, &problem)
                          : ExportProgramFolder(programs, target, &problem);
    Say(done ? QString("Exported %1 programs to %2")
                   .arg(programs.size())
                   .arg(QString::fromStdString(target))
             : QString::fromStdString(problem),
        !done);
    return done;
}

bool LibraryWindow::SavePanelProgram(const std::string& name) {
    if (!Opened()) return false;
    const std::optional<int64_t> id = library_.SavePanelProgram(name);
    if (!id) {
        Say("The panel's program could not be kept in the library.", true);
        return false;
    }
    auditioned_ = *id;
    Say("Kept in the library: " + QString::fromStdString(name));
    Refresh();
    return true;
}

void LibraryWindow::ChooseImport(bool folders) {
    std::vector<std::string> paths;
    if (folders) {
        const QString folder = QFileDialog::getExistingDirectory(this, "Browse for folder...");
        if (!folder.isEmpty()) paths.push_back(folder.toStdString());
    } else {
        for (const QString& file : QFileDialog::getOpenFileNames(
                 this, "Import Programs", {}, "Programs (*.prg *.syx);;All files (*)")) {
            paths.push_back(file.toStdString());
        }
    }
    Import(paths);
}

void LibraryWindow::ChooseExport(bool syx) {
    const QString target =
        syx ? QFileDialog::getSaveFileName(this, "Export Programs", {}, "System exclusive (*.syx)")
            : QFileDialog::getExistingDirectory(this, "Browse for folder...");
    if (target.isEmpty()) return;
    ExportSelection(
        (syx && !target.endsWith(".syx", Qt::CaseInsensitive) ? target + ".syx" : target)
            .toStdString());
}

void LibraryWindow::AskPanelName() {
    bool ok = false;
    const QString name =
        QInputDialog::getText(this, "Save Panel to Library", "Name:", QLineEdit::Normal, {}, &ok)
            .trimmed();
    if (ok && !name.isEmpty()) SavePanelProgram(name.toStdString());
}

void LibraryWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void LibraryWindow::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    ImportDropped(event->mimeData()->urls());
}

void LibraryWindow::ImportDropped(const QList<QUrl>& urls) {
    std::vector<std::string> paths;
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) paths.push_back(url.toLocalFile().toStdString());
    }
    Import(paths);
}
