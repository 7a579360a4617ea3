// The Library window on the real editor and librarian: search as the user types, filters and
// sorts, audition by the arrow keys, edits and deletions undone in the window, dropped files.
#include "shell/LibraryWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTableView>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include "library/BankTransfers.h"
#include "library/ProgramLibrary.h"
#include "shell/BankGrid.h"
#include "shell/BankWindow.h"
#include "shell/LibraryListModel.h"
#include "shell/ShellTestSupport.h"
#include "shell/WindowDrop.h"
#include "support/CaptureOutputPort.h"
#include "support/DistinctProgram.h"
#include "support/EditorWithLibrarian.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"

namespace {

struct LibraryWindowTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(library.Open().Usable());
        const char* names[] = {"Fat bass", "Acid lead", "Soft bass", "Growl"};
        for (int seed = 0; seed < 4; ++seed) {
            library.Database().AddProgram(ClampProgramValues(DistinctProgram(seed)), names[seed],
                                          {});
        }
        window.show();
    }
    QStringList Names() const {
        QStringList names;
        for (const LibraryEntry& entry : window.Model()->Entries()) {
            names << QString::fromStdString(entry.metadata.name);
        }
        return names;
    }
    void Select(int row) {
        window.List()->setFocus();
        const QRect place =
            window.List()->visualRect(window.Model()->index(row, LibraryListModel::kName));
        QTest::mouseClick(window.List()->viewport(), Qt::LeftButton, {}, place.center());
    }

    QApplication& app = App();
    TempDir dir;
    CaptureOutputPort port;
    EditorWithLibrarian unit{port};
    ProgramLibrary library{dir.File("library.sqlite"), &unit.editor, unit.librarian};
    LibraryWindow window{library, nullptr};
};

}  // namespace

TEST_F(LibraryWindowTest, SearchAsYouTypeFiltersAndSorts) {
    EXPECT_EQ(Names(), (QStringList{"Acid lead", "Fat bass", "Growl", "Soft bass"}));
    QTest::keyClicks(window.SearchField(), "ba");
    EXPECT_EQ(Names(), (QStringList{"Fat bass", "Soft bass"}));
    QTest::keyClicks(window.SearchField(), "ss so");
    EXPECT_EQ(Names(), (QStringList{"Soft bass"}));
    window.SearchField()->clear();
    // DistinctProgram gives seed % 4 as the effect type: "Growl" is the equalizer one.
    window.EffectChooser()->setCurrentIndex(window.EffectChooser()->findText("equalizer"));
    EXPECT_EQ(Names(), (QStringList{"Growl"}));
    window.EffectChooser()->setCurrentIndex(0);
    window.SortChooser()->setCurrentIndex(LibraryWindow::kSortAdded);
    EXPECT_EQ(Names().size(), 4);
    EXPECT_TRUE(window.windowTitle().contains("4 of 4"));
}

TEST_F(LibraryWindowTest, ArrowKeysAuditionEachProgramAsOneUndoStep) {
    // The list taking its first row as it gets the focus leaves the panel as it is.
    const std::optional<ProgramValues> before = library.PanelProgram();
    window.activateWindow();
    window.List()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(library.PanelProgram(), before);
    EXPECT_FALSE(unit.editor.CanUndo());
    Select(0);
    EXPECT_EQ(*library.PanelProgram(), ClampProgramValues(DistinctProgram(1)));  // "Acid lead"
    QTest::keyClick(window.List(), Qt::Key_Down);
    EXPECT_EQ(*library.PanelProgram(), ClampProgramValues(DistinctProgram(0)));  // "Fat bass"
    EXPECT_EQ(window.Message(), "On the panel: Fat bass");
    EXPECT_GT(window.Model()->Entries().at(1).lastUsed, 0);
    ASSERT_TRUE(unit.editor.Undo());
    EXPECT_EQ(*library.PanelProgram(), ClampProgramValues(DistinctProgram(1)));
    // Likeness to the panel: the program on it comes first.
    window.SortChooser()->setCurrentIndex(LibraryWindow::kSortLikeness);
    EXPECT_EQ(Names().front(), "Acid lead");
}

TEST_F(LibraryWindowTest, EditsAndDeletionsAreUndoneInTheWindow) {
    Select(1);  // "Fat bass"
    window.NameField()->setText("Fatter bass");
    window.TagsField()->setText("dark, , warm");
    window.FavouriteField()->setChecked(true);
    window.ApplyDetails();
    EXPECT_EQ(Names().at(1), "Fatter bass");
    window.FavouritesOnly()->setChecked(true);
    EXPECT_EQ(Names(), (QStringList{"Fatter bass"}));
    window.FavouritesOnly()->setChecked(false);
    EXPECT_EQ(window.TagChooser()->count(), 3);  // all, dark, warm

    window.List()->selectAll();
    window.DeleteSelection();
    EXPECT_TRUE(Names().isEmpty());
    window.UndoChange();
    EXPECT_EQ(Names().size(), 4);
    window.UndoChange();
    EXPECT_EQ(Names().at(1), "Fat bass");
    window.RedoChange();
    EXPECT_EQ(Names().at(1), "Fatter bass");
}

TEST_F(LibraryWindowTest, DroppedFilesAreImportedAndBadOnesNamed) {
    TempDir files;
    TempDir::Write(files.File("01 Dropped.prg"),
                   FormatProgramText(ClampProgramValues(DistinctProgram(9))));
    TempDir::Write(files.File("02 Broken.prg"), "nonsense\r\n");
    window.ImportDropped({QUrl::fromLocalFile(QString::fromStdString(files.Path())),
                          QUrl("https://example.org/not-a-file.prg")});
    EXPECT_TRUE(Names().contains("Dropped")) << window.Message().toStdString();
    EXPECT_TRUE(window.Message().contains("1 file refused"));
    EXPECT_TRUE(window.Message().contains("02 Broken.prg"));
}

TEST_F(LibraryWindowTest, SelectionIsExportedAndThePanelKept) {
    Select(0);
    ASSERT_TRUE(window.SavePanelProgram("Kept from the panel"));
    EXPECT_TRUE(Names().contains("Kept from the panel"));
    EXPECT_FALSE(Names().contains("Acid lead"));  // the same values: renamed, not doubled
    window.List()->selectAll();
    ASSERT_TRUE(window.ExportSelection(dir.File("out.syx")));
    EXPECT_EQ(TempDir::Read(dir.File("out.syx")).size(), 4u * kProgramMessageSize);
    EXPECT_FALSE(window.ExportSelection("/nonexistent/folder/out.syx"));
    EXPECT_TRUE(window.Message().contains("/nonexistent/folder/out.syx"));
}

TEST_F(LibraryWindowTest, SelectedProgramsDraggedOntoTheBankArePlacedInListOrder) {
    BankTransfers bank{unit.librarian->Transfers(), library.Database()};
    ASSERT_TRUE(bank.Open());
    BankWindow bankWindow{bank, library.Database(), unit.editor.PluginLock(), nullptr};
    QTableView* list = window.List();
    EXPECT_TRUE(list->dragEnabled());
    // "Soft bass" picked first, then "Fat bass" added with Ctrl.
    for (int row : {3, 1}) {
        list->selectionModel()->select(window.Model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    const QModelIndexList dragged = list->selectionModel()->selectedIndexes();
    for (const QModelIndex& index : dragged)
        EXPECT_TRUE(window.Model()->flags(index) & Qt::ItemIsDragEnabled);
    EXPECT_EQ(window.Model()->supportedDragActions(), Qt::CopyAction) << "the list keeps them";
    std::unique_ptr<QMimeData> mime(window.Model()->mimeData(dragged));
    ASSERT_NE(mime, nullptr);
    EXPECT_EQ(mime->formats(), QStringList{BankGrid::kLibraryIdsMime});

    // Dropped on location 98 as the window system hands a drop to the bank's window.
    bankWindow.show();
    QApplication::processEvents();
    EXPECT_TRUE(DropOnWindow(bankWindow, bankWindow.CellCentre(98), *mime))
        << "the cells take the list's drag";
    EXPECT_EQ(bankWindow.CellText(98).toStdString(), "98  unknown\n→ Fat bass");
    EXPECT_EQ(bankWindow.CellText(99).toStdString(), "99  unknown\n→ Soft bass");
    EXPECT_EQ(bank.Arrangement().At(99).planned, ClampProgramValues(DistinctProgram(2)));
    EXPECT_EQ(bankWindow.CellText(97).toStdString(), "97  unknown");
    EXPECT_EQ(Names(), (QStringList{"Acid lead", "Fat bass", "Growl", "Soft bass"}));
    EXPECT_EQ(window.Model()->mimeData({}), nullptr) << "nothing selected, nothing dragged";
}
