#include "library/LibraryFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "library/Librarian.h"
#include "support/CaptureOutputPort.h"
#include "support/EditorWithLibrarian.h"
#include "support/TempDir.h"
#include "unit/ProgramText.h"
#include "util/ProfileFile.h"

namespace {

std::vector<std::string> FileNames(const std::vector<LibraryFolder::Entry>& entries) {
    std::vector<std::string> names;
    for (const LibraryFolder::Entry& entry : entries)
        names.push_back(entry.fileName);
    return names;
}

ProgramValues ProgramWithCoarse(int coarse) {
    ProgramValues program{};
    program[0] = coarse;
    return program;
}

}  // namespace

TEST(LibraryFolder, ListsProgramFilesSortedByNameAndSkipsTheRest) {
    TempDir dir;
    for (const char* name : {"10 Lead.prg", "02 Bass.Prg", "2 Sub.PRG", "01 Pad.prg", "03 Odd.pRg",
                             "notes.txt", "archive.prg.bak", ".prg"})
        TempDir::Write(dir.File(name), "");
    std::filesystem::create_directory(dir.File("04 folder.prg"));
    const std::vector<LibraryFolder::Entry> entries = LibraryFolder::ListProgramFiles(dir.Path());
    EXPECT_EQ(FileNames(entries), (std::vector<std::string>{".prg", "01 Pad.prg", "02 Bass.Prg",
                                                            "10 Lead.prg", "2 Sub.PRG"}));
    EXPECT_EQ(entries[2].baseName, "02 Bass");
}

TEST(LibraryFolder, KeepsMoreThanAThousandFilesAndLongPathsWhole) {
    TempDir dir;
    // A folder path well beyond 255 characters.
    std::string folder = dir.Path();
    while (folder.size() < 300)
        folder += "/a long folder name for the library";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < 1100; ++i)
        TempDir::Write(folder + "/" + std::to_string(10000 + i) + ".prg", "");
    LibraryFolder library;
    const std::optional<LibraryFolder::Entry> selected = library.Scan(folder + "/11099.prg");
    ASSERT_TRUE(selected);
    EXPECT_EQ(library.Entries().size(), 1100u);
    EXPECT_EQ(library.SelectedIndex(), 1099);
    EXPECT_EQ(library.Folder(), folder + "/");
    EXPECT_EQ(library.PathOf(*selected), folder + "/11099.prg");
}

TEST(LibraryFolder, PreviousAndNextStayWithinTheListAndNeedOne) {
    LibraryFolder library;
    EXPECT_FALSE(library.Step(1));
    TempDir dir;
    for (const char* name : {"01.prg", "02.prg", "03.prg"})
        TempDir::Write(dir.File(name), "");
    library.Scan(dir.File("02.prg"));
    EXPECT_EQ(library.Step(1)->fileName, "03.prg");
    EXPECT_EQ(library.Step(1)->fileName, "03.prg");
    EXPECT_EQ(library.Step(-1)->fileName, "02.prg");
    EXPECT_EQ(library.Step(-5)->fileName, "01.prg");
    // A file that is not in the list selects none: no other file is taken (and kept) for it.
    EXPECT_FALSE(library.Scan(dir.File("gone.prg")));
    EXPECT_FALSE(library.Selected());
    EXPECT_EQ(library.Step(1)->fileName, "01.prg");
    library.Scan(dir.File("gone.prg"));
    EXPECT_EQ(library.Step(-1)->fileName, "01.prg");
}

// The arrows of the real editor, and where they start after a restart.
TEST(LibraryFolderInEditor, ArrowsLoadTheNeighboursAndGoOnAfterARestart) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    std::filesystem::create_directory(dir.File("library"));
    for (int n = 1; n <= 3; ++n) {
        TempDir::Write(dir.File("library/0" + std::to_string(n) + " Sound.prg"),
                       FormatProgramText(ProgramWithCoarse(n)));
    }
    CaptureOutputPort port;
    auto press = [](OrvoEditor& editor, int index) {
        editor.SetParameterValue(index, 1.0);
        editor.SetParameterValue(index, 0.0);
    };
    auto coarse = [](OrvoEditor& editor) { return IntValue(*editor.GetParam(3)); };

    auto rig = std::make_unique<EditorWithLibrarian>(port, settings);
    OrvoEditor* editor = &rig->editor;
    FakePanel* panel = rig->panel;
    press(*editor, kParamNextProgram);
    EXPECT_EQ(panel->status, "Default") << "no list before a folder was chosen";
    panel->choosers[kParamProgramLoadFile] = dir.File("library/01 Sound.prg");
    editor->SetParameterValue(kParamProgramLoadFile, 1.0);
    EXPECT_EQ(panel->ChooserPath(kParamProgramWriteFile), dir.File("library/01 Sound.prg"));
    press(*editor, kParamNextProgram);
    EXPECT_EQ(coarse(*editor), 2);
    EXPECT_EQ(panel->status, "02 Sound");
    EXPECT_EQ(panel->ChooserPath(kParamProgramSaveFile), dir.File("library/02 Sound.prg"));
    EXPECT_EQ(IntValue(*editor->GetParam(kParamSevenSegment)), 2);
    rig.reset();
    EXPECT_EQ(ReadProfileString(settings, "program", "lastfile", "", 4096),
              dir.File("library/02 Sound.prg"));

    rig = std::make_unique<EditorWithLibrarian>(port, settings);
    editor = &rig->editor;
    panel = rig->panel;
    EXPECT_EQ(panel->status, "02 Sound") << "the last program goes by the last file's name";
    press(*editor, kParamNextProgram);
    EXPECT_EQ(coarse(*editor), 3) << "the list of the last file, with it selected";
    press(*editor, kParamPreviousProgram);
    press(*editor, kParamPreviousProgram);
    press(*editor, kParamPreviousProgram);
    EXPECT_EQ(coarse(*editor), 1);
}

TEST(LibraryFolderInEditor, SelectDirectoryListsTheChosenFolderAndACancelKeepsIt) {
    TempDir dir;
    TempDir::Write(dir.File("07 Acid.prg"), FormatProgramText(ProgramWithCoarse(7)));
    CaptureOutputPort port;
    EditorWithLibrarian rig(port);
    OrvoEditor& editor = rig.editor;
    FakePanel* panel = rig.panel;
    const Librarian* library = rig.librarian;
    panel->chosenFolder = dir.Path();
    editor.DoCommand(kCommandSelectDirectory);
    EXPECT_EQ(library->Library().Folder(), dir.Path() + "/");
    EXPECT_EQ(panel->ChooserPath(kParamProgramLoadFile), dir.File("07 Acid.prg"));
    panel->chosenFolder.reset();
    editor.DoCommand(kCommandSelectDirectory);
    EXPECT_EQ(panel->folderShownAt, dir.Path() + "/");
    EXPECT_EQ(library->Library().Folder(), dir.Path() + "/");
    EXPECT_TRUE(library->Library().Loaded());
}
