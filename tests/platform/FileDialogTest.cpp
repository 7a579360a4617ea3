// The program file dialogs of the Load and Save choosers: where they open, and which files they
// list.
#include <gtest/gtest.h>

#include <QFileDialog>

#include "EditorInWindow.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "library/ProgramFile.h"
#include "library/SectionOperations.h"
#include "platform/qt/GraphicsQt.h"
#include "support/TempDir.h"

namespace {

// Notes where each file dialog opened and what it proposed, and cancels it.
class WatchedDialogs : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;

    QString ExecFileDialog(QFileDialog& dialog) override {
        folders << dialog.directory().absolutePath();
        proposed << dialog.selectedFiles().value(0);
        return {};
    }

    QStringList folders;
    QStringList proposed;
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
