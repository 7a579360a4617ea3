// The Bank window on the virtual unit: its cells say what each location holds and what became of
// it, drops arrange the bank, and its buttons read, send, undo and redo.
#include "shell/BankWindow.h"

#include <QMimeData>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>

#include "library/BankTransfers.h"
#include "library/db/LibraryDatabase.h"
#include "shell/BankGrid.h"
#include "shell/ShellTestSupport.h"
#include "shell/WindowDrop.h"
#include "support/DistinctProgram.h"
#include "support/EditorWithLibrarian.h"
#include "support/TempDir.h"
#include "support/UnitCable.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"

namespace {

struct BankWindowTest : ::testing::Test {
    BankWindowTest() {
        for (int n = 1; n <= 99; ++n)
            port.unit.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
        database.SetClock([] { return int64_t{1'800'000'000}; });
        EXPECT_TRUE(bank.Open());
        port.Clear();
        // Laid out, so that a drop finds its cell.
        window.show();
        QApplication::processEvents();
    }
    std::string Cell(int location) const { return window.CellText(location).toStdString(); }
    QPushButton* Button(const QString& text) {
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->text().startsWith(text)) return button;
        }
        ADD_FAILURE() << "no button " << text.toStdString();
        return nullptr;
    }
    // The unit answers and the editor's idle hook and tick run until the bank is at rest.
    void RunToEnd() {
        for (int guard = 0; guard < 200; ++guard) {
            for (int i = 0; i < 100000; ++i) {
                rig.editor.GuiIdle();
                const auto reply = port.TakeReply();
                if (!reply) break;
                rig.editor.HandleSysEx({0, static_cast<int32_t>(reply->size()), reply->data()});
            }
            if (!bank.Busy()) break;
            rig.editor.DoCommand(kCommandTick);
        }
        window.Follow();
    }
    // A file dragged from a file manager and dropped on the location's cell.
    void DropFile(int location, const std::string& path) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        EXPECT_TRUE(DropOnWindow(window, window.CellCentre(location), mime));
    }
    // Locations selected in the grid and dragged onto another.
    void DragLocations(const std::vector<int>& from, int to) {
        BankGrid* grid = window.Grid();
        grid->clearSelection();
        for (int location : from)
            grid->item(location - 1)->setSelected(true);
        QMimeData mime;
        grid->Drop(to, &mime, true);
    }

    QApplication& app = App();
    TempDir dir;
    UnitCable port;
    EditorWithLibrarian rig{port};
    LibraryDatabase database{dir.File("library.sqlite")};
    BankTransfers bank{rig.librarian->Transfers(), database};
    BankWindow window{bank, database, rig.editor.PluginLock(), nullptr};
};

}  // namespace

TEST_F(BankWindowTest, ReadArrangeSendAndUndoFromTheWindow) {
    EXPECT_EQ(Cell(42), "42  unknown");
    EXPECT_FALSE(Button("Send")->isEnabled()) << "nothing planned";
    Button("Read")->click();
    EXPECT_FALSE(Button("Read")->isEnabled()) << "while reading";
    EXPECT_TRUE(Button("Cancel")->isEnabled());
    RunToEnd();
    EXPECT_EQ(Cell(42), "42  Orvo 42");

    // A program file dropped on location 7; then 7 dragged onto 8 swaps the two.
    const std::string file = dir.File("Fat bass.prg");
    TempDir::Write(file, FormatProgramText(DistinctProgram(700)));
    database.AddProgram(DistinctProgram(700), "Fat bass", {});
    DropFile(7, file);
    EXPECT_EQ(Cell(7), "07  Orvo 07\n→ Fat bass");
    DragLocations({7}, 8);
    EXPECT_EQ(Cell(7), "07  Orvo 07\n→ Orvo 08");
    EXPECT_EQ(Cell(8), "08  Orvo 08\n→ Fat bass");
    EXPECT_EQ(Button("Send")->text(), "Send 2");
    Button("Undo")->click();
    EXPECT_EQ(Cell(8), "08  Orvo 08");
    Button("Redo")->click();
    EXPECT_EQ(Cell(8), "08  Orvo 08\n→ Fat bass");

    Button("Send")->click();
    RunToEnd();
    EXPECT_EQ(Cell(8), "08  Fat bass\nverified");
    EXPECT_EQ(Cell(7), "07  Orvo 08\nverified");
    EXPECT_EQ(UnitBytesToProgramSlots(port.unit.Program(8)), DistinctProgram(700));
    EXPECT_TRUE(Button("Send Back")->isEnabled());
    if (const char* shots = std::getenv("ORVO_SCREENSHOTS")) {
        QApplication::processEvents();
        window.grab().save(QString(shots) + "/bank-window.png");
    }
    Button("Send Back")->click();
    RunToEnd();
    EXPECT_EQ(Cell(8), "08  Orvo 08\nverified");
    EXPECT_EQ(UnitBytesToProgramSlots(port.unit.Program(8)), DistinctProgram(8));
}
