#include "library/ProgramLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/CaptureOutputPort.h"
#include "support/DistinctProgram.h"
#include "support/EditorWithLibrarian.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramText.h"
#include "unit/UnitParameters.h"

namespace {

class ProgramLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TempDir::Write(settings_, "");
        library_ = std::make_unique<ProgramLibrary>(dir_.File("library.sqlite"), &unit_.editor,
                                                    unit_.librarian, settings_);
        unit_.librarian->SetProgramSeen(
            [this](const ProgramValues& values, const std::string& name,
                   const LibrarySource& source) { library_->Notice(values, name, source); });
    }
    int64_t Keep(int seed, const std::string& name) {
        EXPECT_TRUE(library_->Open().Usable());
        return library_->Database()
            .AddProgram(ClampProgramValues(DistinctProgram(seed)), name, {})
            ->id;
    }
    ProgramValues Panel() { return *library_->PanelProgram(); }

    TempDir dir_;
    std::string settings_ = dir_.File("settings.ini");
    CaptureOutputPort port_;
    EditorWithLibrarian unit_{port_};
    std::unique_ptr<ProgramLibrary> library_;
};

TEST_F(ProgramLibraryTest, AuditionPutsTheProgramOnThePanelAndIntoTheUnitAsOneUndoStep) {
    const ProgramValues before = Panel();
    const int64_t id = Keep(3, "Growl");
    port_.Clear();
    ASSERT_TRUE(library_->Audition(id));
    EXPECT_EQ(Panel(), ClampProgramValues(DistinctProgram(3)));
    EXPECT_FALSE(port_.Messages().empty());
    EXPECT_EQ(unit_.editor.ProgramName(), "Growl");
    EXPECT_GT(library_->Database().Entry(id)->lastUsed, 0);
    ASSERT_TRUE(unit_.editor.Undo());
    EXPECT_EQ(Panel(), before);
    EXPECT_FALSE(library_->Audition(id + 1000));
}

TEST_F(ProgramLibraryTest, AuditionNotePlaysOnTheEditorsChannelAndEnds) {
    const int64_t id = Keep(1, "one");
    unit_.channel = 5;  // as chosen in the MIDI preferences
    EXPECT_FALSE(library_->StartAuditionNote());
    library_->Settings() = {false, true, 40, 90, 500};
    ASSERT_TRUE(library_->Audition(id));
    port_.Clear();
    ASSERT_TRUE(library_->StartAuditionNote());
    library_->EndAuditionNote();
    library_->EndAuditionNote();
    const auto messages = port_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], (CaptureOutputPort::Message{0x94, 40, 90}));
    EXPECT_EQ(messages[1][0], 0x84);
    EXPECT_EQ(messages[1][1], 40);
}

TEST_F(ProgramLibraryTest, LoadsSavesAndReadsAreAddedOnlyWithTheSettingOn) {
    const std::string file = dir_.File("07 Fat bass.prg");
    TempDir::Write(file, FormatProgramText(ClampProgramValues(DistinctProgram(2))));
    ASSERT_TRUE(unit_.librarian->LoadProgramFile(file));
    EXPECT_EQ(library_->AddNoticed(), 0);
    // Not even opened: the setting is off.
    EXPECT_FALSE(std::filesystem::exists(dir_.File("library.sqlite")));

    library_->Settings().addEveryProgram = true;
    ASSERT_TRUE(unit_.librarian->LoadProgramFile(file));
    ASSERT_TRUE(unit_.librarian->SaveProgramFile(dir_.File("saved.prg")));
    const ProgramBlock block = ProgramSlotsToUnitBytes(ClampProgramValues(DistinctProgram(4)));
    ASSERT_TRUE(unit_.librarian->SaveProgramDump(dir_.File("12.prg"), block));
    EXPECT_EQ(library_->AddNoticed(), 3);
    EXPECT_EQ(library_->Database().Count(), 2);  // the save is the loaded program
    const LibraryEntry fat = *library_->Database().EntryOfValues(DistinctProgram(2));
    EXPECT_EQ(fat.metadata.name, "Fat bass");
    const auto sources = library_->Database().Sources(fat.id);
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[0].kind, SourceKind::kLoad);
    EXPECT_EQ(sources[1].kind, SourceKind::kSave);
    const LibraryEntry read = *library_->Database().EntryOfValues(DistinctProgram(4));
    EXPECT_EQ(library_->Database().Sources(read.id).at(0).location, 12);
}

TEST_F(ProgramLibraryTest, ThePanelsProgramIsKeptUnderItsName) {
    const int64_t id = Keep(5, "old name");
    ASSERT_TRUE(library_->Audition(id));
    EXPECT_EQ(library_->SavePanelProgram("New name"), id);
    EXPECT_EQ(library_->Database().Entry(id)->metadata.name, "New name");
    EXPECT_EQ(library_->Database().Sources(id).back().kind, SourceKind::kPanel);
}

TEST_F(ProgramLibraryTest, SettingsAreKeptInTheSettingsFile) {
    library_->Settings() = {true, true, 48, 64, 1200};
    ASSERT_TRUE(library_->WriteSettings());
    ProgramLibrary again(dir_.File("library.sqlite"), nullptr, nullptr, settings_);
    EXPECT_TRUE(again.Settings().addEveryProgram);
    EXPECT_TRUE(again.Settings().auditionNote);
    EXPECT_EQ(again.Settings().note, 48);
    EXPECT_EQ(again.Settings().velocity, 64);
    EXPECT_EQ(again.Settings().lengthMs, 1200);
    EXPECT_FALSE(again.Audition(1));
}

}  // namespace
