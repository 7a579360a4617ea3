#pragma once

#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

class LibraryListModel;
class ProgramLibrary;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableView;
class QTimer;
class QUrl;
struct LibraryEntry;

// "Program Library": every program the user keeps, searched as the user types, filtered by
// favourites, tag and effect, sorted by name, date added, last use or likeness to the panel's
// program. Choosing a program in the list (a click, the arrow keys) auditions it: it goes on the
// panel and into the unit as loading a file does, and the audition note plays when that is on.
// Files and folders dropped on the window are imported; deletions and edits of a program's name,
// tags, favourite and comment are undone in the window.
class LibraryWindow : public QWidget {
    Q_OBJECT

public:
    enum SortChoice { kSortName, kSortAdded, kSortLastUsed, kSortLikeness };

    LibraryWindow(ProgramLibrary& library, QWidget* owner);
    ~LibraryWindow() override;

    // Searches anew with what the window's search field, filters and sort say.
    void Refresh();
    void Import(const std::vector<std::string>& paths);
    // What a drop brings: the local files and folders among urls are imported.
    void ImportDropped(const QList<QUrl>& urls);
    // The selected programs (all listed ones when none is selected) to a folder of numbered
    // files, or to one .syx file when target ends in ".syx".
    bool ExportSelection(const std::string& target);
    bool SavePanelProgram(const std::string& name);
    void DeleteSelection();
    void UndoChange();
    void RedoChange();
    // The details fields' name, tags, favourite and comment to the selected program.
    void ApplyDetails();

    // For the tests and the user guide's pictures.
    QLineEdit* SearchField() const { return search_; }
    QTableView* List() const { return list_; }
    LibraryListModel* Model() const { return model_; }
    QComboBox* SortChooser() const { return sort_; }
    QCheckBox* FavouritesOnly() const { return favourites_; }
    QComboBox* EffectChooser() const { return effect_; }
    QComboBox* TagChooser() const { return tag_; }
    QLineEdit* NameField() const { return name_; }
    QLineEdit* TagsField() const { return tags_; }
    QCheckBox* FavouriteField() const { return favourite_; }
    QLineEdit* CommentField() const { return comment_; }
    QString Message() const;

protected:
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* MakeFilters();
    QWidget* MakeDetails();
    QWidget* MakeSettings();
    void MakeButtons(QWidget* box);
    bool Opened();
    void Say(const QString& text, bool problem = false);
    // moved: the current row changed from another one, not from none.
    void ListCurrentChanged(int row, bool moved);
    void Audition(const LibraryEntry& entry);
    void ShowDetails(const LibraryEntry* entry);
    void RefreshTags();
    std::vector<LibraryEntry> Selection() const;
    void AfterChange(bool done, const QString& failure);
    void SettingsChanged();
    void ChooseImport(bool folders);
    void ChooseExport(bool syx);
    void AskPanelName();

    ProgramLibrary& library_;
    LibraryListModel* model_ = nullptr;
    QLineEdit* search_ = nullptr;
    QCheckBox* favourites_ = nullptr;
    QComboBox* tag_ = nullptr;
    QComboBox* effect_ = nullptr;
    QComboBox* sort_ = nullptr;
    QTableView* list_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* tags_ = nullptr;
    QCheckBox* favourite_ = nullptr;
    QLineEdit* comment_ = nullptr;
    QLabel* sources_ = nullptr;
    QLabel* message_ = nullptr;
    QPushButton* undo_ = nullptr;
    QPushButton* redo_ = nullptr;
    QCheckBox* addEvery_ = nullptr;
    QCheckBox* noteOn_ = nullptr;
    QSpinBox* note_ = nullptr;
    QSpinBox* velocity_ = nullptr;
    QSpinBox* length_ = nullptr;
    QTimer* noteTimer_ = nullptr;
    int64_t auditioned_ = 0;
    bool refreshing_ = false;
    bool openTold_ = false;
};
