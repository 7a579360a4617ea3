// The program file dialogs of the Load and Save choosers: where they open, and which files they
// list.
#include <gtest/gtest.h>

#include <QFileDialog>

#include "EditorInWindow.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "library/SectionOperations.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/UndecodableNamesList.h"
#include "support/TempDir.h"
#include "unit/ProgramFile.h"

namespace {

// Notes where each file dialog opened and what it proposed, and cancels it.
class WatchedDialogs : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;

    QString ExecFileDialog(QFileDialog& dialog) override {
        folders << dialog.directory().absolutePath();
        proposed << dialog.selectedFiles().value(0);
        undecodable.clear();
        if (auto* list = dialog.findChild<UndecodableNamesList*>()) {
            for (int row = 0; row < list->count(); ++row)
                undecodable << list->item(row)->text();
            if (list->isVisibleTo(&dialog) && chooseUndecodable) list->Choose(0);
        }
        return {};
    }

    QStringList folders;
    QStringList proposed;
    QStringList undecodable;  // what the list of names that are not UTF-8 showed
    bool chooseUndecodable = false;
};

struct FileDialogs : ::testing::Test {
    void SetUp() override {
        test = std::make_unique<EditorInWindow>(
            [](PluginBase* core) { return new WatchedDialogs(core); });
        dialogs = static_cast<WatchedDialogs*>(&test->Gui());
    }
    std::unique_ptr<EditorInWindow> test;
    WatchedDialogs* dialogs = nullptr;
    TempDir library;
};

}  // namespace

TEST_F(FileDialogs, LoadAndSaveBothOpenInTheLibraryFolder) {
    const std::string path = library.File("05 Bass.prg");
    ASSERT_TRUE(WriteProgramFile(path, DefaultProgram()));
    ASSERT_TRUE(test->Editor().OpenProgramFile(path));

    test->Panel().OpenChooser(kParamProgramLoadFile);
    test->Panel().OpenChooser(kParamProgramSaveFile);
    ASSERT_EQ(dialogs->folders.size(), 2);
    const QString folder = QString::fromStdString(library.Path());
    EXPECT_EQ(dialogs->folders[0], folder);
    EXPECT_EQ(dialogs->folders[1], folder);
    EXPECT_EQ(dialogs->proposed[1], QString::fromStdString(path));
}

TEST_F(FileDialogs, AProgramFileWhoseNameIsNotUtf8IsListedAndLoadsByItsBytes) {
    // Latin-1 "café" as an older system wrote it: no UTF-8 decoder takes the lone 0xE9.
    const std::string latin1 = library.File("caf\xE9.prg");
    ProgramValues program = DefaultProgram();
    program[0] = 7;
    ASSERT_TRUE(WriteProgramFile(latin1, program));
    ASSERT_TRUE(WriteProgramFile(library.File("plain.prg"), DefaultProgram()));
    ASSERT_TRUE(WriteProgramFile(library.File("notes\xE9.txt"), DefaultProgram()));
    ASSERT_TRUE(test->Editor().OpenProgramFile(library.File("plain.prg")));

    dialogs->chooseUndecodable = true;
    test->Panel().OpenChooser(kParamProgramLoadFile);
    // Only the program file with such a name is offered, its byte shown as a replacement.
    EXPECT_EQ(dialogs->undecodable, QStringList{QString::fromUtf8("caf\uFFFD.prg")});
    EXPECT_EQ(test->Panel().ChooserPath(kParamProgramLoadFile), latin1);
    test->Editor().RedrawParamControls();
    EXPECT_EQ(test->Value(0), 7);
}
