#include "library/Librarian.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gui/Graphics.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "library/MakePlugin.h"
#include "library/SectionOperations.h"
#include "support/CaptureOutputPort.h"
#include "support/EditorWithLibrarian.h"
#include "support/FakeEditorPanel.h"
#include "support/LibrarianFixture.h"
#include "support/SimOutputPort.h"
#include "support/TempDir.h"
#include "unit/ProgramText.h"
#include "util/ProfileFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

class LibrarianTest : public LibrarianFixture<CaptureOutputPort> {
protected:
    int Param(int index) const { return IntValue(*editor_.GetParam(index)); }
    std::vector<int> Params(int first, int last) const {
        std::vector<int> values;
        for (int i = first; i <= last; ++i)
            values.push_back(Param(i));
        return values;
    }
    void Press(int index) {
        editor_.SetParameterValue(index, 1.0);
        editor_.SetParameterValue(index, 0.0);
    }
    // Every parameter 3..124 set by a program of this effect type, the rest of the values wild.
    ProgramValues SampleProgram(int effectType) const {
        ProgramValues program{};
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effectType);
            if (position < 0) continue;
            const int low = PositionMinimum(position);
            const int high = PositionMaximum(position);
            program[static_cast<size_t>(slot)] = low + (slot * 37) % (high - low + 1);
        }
        program[kEffectTypeSlot] = effectType;
        return program;
    }

    TempDir dir_;
};

}  // namespace

TEST_F(LibrarianTest, WithoutALastFileTheDefaultProgramIsApplied) {
    EXPECT_EQ(Param(6), 127) << "VCO1 saw env decay of the default program";
    EXPECT_EQ(Param(3 + 36), -12);
    EXPECT_EQ(Param(92), 0);
}

TEST_F(LibrarianTest, SaveAndLoadRoundTripForEveryEffectType) {
    for (int effectType = 0; effectType <= 3; ++effectType) {
        SCOPED_TRACE(effectType);
        const ProgramValues program = SampleProgram(effectType);
        editor_.ApplyProgram(program);
        const std::string path = dir_.File("0" + std::to_string(effectType) + " sample.prg");
        ASSERT_TRUE(librarian_->SaveProgramFile(path));
        const std::optional<ProgramValues> saved = ParseProgramText(TempDir::Read(path));
        ASSERT_TRUE(saved);
        EXPECT_EQ(*saved, program) << "unused effect slots are written as 0";

        editor_.ApplyProgram(SampleProgram(effectType == 3 ? 1 : 3));
        port_.Clear();
        ASSERT_TRUE(librarian_->LoadProgramFile(path));
        EXPECT_EQ(editor_.SnapshotProgram(ProgramValues{}), program);
        EXPECT_EQ(Param(kParamSevenSegment), effectType);
        EXPECT_EQ(panel_->status, ProgramNameOf(path)) << "the name, without the extension";
        const Bytes sent = port_.Stream();
        ASSERT_GE(sent.size(), 18u);
        EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 9),
                  (Bytes{0xB0, 0x63, 10, 0xB0, 0x62, 1, 0xB0, 0x06, 0}));
        EXPECT_EQ(Bytes(sent.end() - 9, sent.end()),
                  (Bytes{0xB0, 0x63, 10, 0xB0, 0x62, 1, 0xB0, 0x06, 1}));
    }
}

TEST_F(LibrarianTest, ValueOutsideTheFileRangeAppliesAndSendsNothing) {
    ProgramValues program = SampleProgram(1);
    std::string text = FormatProgramText(program);
    for (const char* bad : {"128  ", "-65  "}) {
        std::string broken = text;
        broken.replace(broken.find("; field:  0  poti:  3") - 6, 5, bad);
        const std::string path = dir_.File("05 broken.prg");
        TempDir::Write(path, broken);
        const ProgramValues before = editor_.SnapshotProgram(ProgramValues{});
        port_.Clear();
        EXPECT_FALSE(librarian_->LoadProgramFile(path));
        EXPECT_EQ(editor_.SnapshotProgram(ProgramValues{}), before);
        EXPECT_EQ(port_.Stream(), Bytes{}) << bad;
    }
    std::string edge = text;
    edge.replace(edge.find("; field:  0  poti:  3") - 6, 5, "127  ");
    const std::string path = dir_.File("edge.prg");
    TempDir::Write(path, edge);
    EXPECT_TRUE(librarian_->LoadProgramFile(path));
    EXPECT_EQ(Param(6), 127);
}

TEST_F(LibrarianTest, ProgramNumberComesFromTheFileName) {
    const std::string path = dir_.File("07 Deep Bass.prg");
    ASSERT_TRUE(librarian_->SaveProgramFile(path));
    EXPECT_EQ(panel_->status, "Saved 07 Deep Bass");
    librarian_->LoadProgramFile(path);
    EXPECT_EQ(Param(kParamSevenSegment), 7);
    const std::string last = dir_.File("lastprogram.prg");
    ASSERT_TRUE(librarian_->SaveProgramFile(last));
    librarian_->LoadProgramFile(last);
    EXPECT_EQ(Param(kParamSevenSegment), 0);
    EXPECT_EQ(ProgramNumberOfName(" 9x"), 9);
    EXPECT_EQ(ProgramNumberOfName(""), 0);
}

TEST_F(LibrarianTest, FailedSaveKeepsTheEarlierFileAndSaysSo) {
    const std::string path = dir_.File("01 Keep.prg");
    ASSERT_TRUE(librarian_->SaveProgramFile(path));
    const std::string earlier = TempDir::Read(path);
    editor_.ApplyProgram(SampleProgram(3));
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(librarian_->SaveProgramFile(path));
    EXPECT_EQ(TempDir::Read(path), earlier);
    EXPECT_EQ(panel_->status, "Could not save 01 Keep.prg!");
    EXPECT_FALSE(librarian_->SaveProgramFile(dir_.File("gone/02 Lost.prg")));
    EXPECT_EQ(panel_->status, "Could not save 02 Lost.prg!");
    // Each in a box that names the file and the reason.
    editor_.ShowReports();
    EXPECT_EQ(
        panel_->reports,
        (std::vector<FakePanel::Shown>{
            {ReportKind::kError, "The program could not be saved to\n" + path +
                                     "\n(the file is read-only: Permission denied)."},
            {ReportKind::kError, "The program could not be saved to\n" +
                                     dir_.File("gone/02 Lost.prg") + "\n(cannot create a file in " +
                                     dir_.File("gone/") + ": No such file or directory)."}}));
}

// A file that is refused leaves everything as it was, whichever way it was chosen, and says in a
// box which file, which line and why.
TEST_F(LibrarianTest, ARefusedFileChangesNothingAndNamesTheLine) {
    const std::string good = dir_.File("03 Good.prg");
    TempDir::Write(good, FormatProgramText(SampleProgram(1)));
    std::string text = FormatProgramText(SampleProgram(2));
    text.replace(text.find("; field:  0  poti:  3") - 6, 6, "loud  ");
    const std::string bad = dir_.File("05 Bad.prg");
    TempDir::Write(bad, text);
    ASSERT_TRUE(librarian_->OpenProgramFile(good));
    const std::string reason = "The program file \"" + bad +
                               "\" cannot be used: line 4 holds \"loud\" where a number belongs.";

    const ProgramValues before = editor_.SnapshotProgram(ProgramValues{});
    const std::map<int, std::string> choosers = panel_->choosers;
    auto nothingChanged = [&](const char* how) {
        SCOPED_TRACE(how);
        EXPECT_EQ(editor_.SnapshotProgram(ProgramValues{}), before);
        EXPECT_EQ(port_.Stream(), Bytes{});
        EXPECT_EQ(panel_->status, "03 Good");
        EXPECT_EQ(Param(kParamSevenSegment), 3);
        EXPECT_EQ(librarian_->Library().Selected()->fileName, "03 Good.prg");
        editor_.ShowReports();
        EXPECT_EQ(panel_->reports, (std::vector<FakePanel::Shown>{{ReportKind::kError, reason}}));
        panel_->reports.clear();
    };
    port_.Clear();
    panel_->reports.clear();
    EXPECT_FALSE(librarian_->OpenProgramFile(bad));
    nothingChanged("opened from outside");
    EXPECT_EQ(panel_->choosers, choosers);

    panel_->choosers[kParamProgramLoadFile] = bad;
    editor_.SetParameterValue(kParamProgramLoadFile, 1.0);
    nothingChanged("the Load button");
    EXPECT_EQ(panel_->ChooserPath(kParamProgramSaveFile), choosers.at(kParamProgramSaveFile))
        << "SAVE proposes the program that is shown";
    EXPECT_EQ(panel_->ChooserPath(kParamProgramWriteFile), choosers.at(kParamProgramWriteFile));

    Press(kParamNextProgram);
    nothingChanged("the next arrow");
    Press(kParamNextProgram);
    nothingChanged("the next arrow again: still on the program shown");

    panel_->choosers[kParamProgramWriteFile] = bad;
    editor_.SetParameterValue(kParamProgramWriteFile, 1.0);
    EXPECT_FALSE(librarian_->Transfers().SingleWritePending()) << "nothing waits for the unit";
    nothingChanged("Write Program");
}

TEST_F(LibrarianTest, DefaultWithOnlyEffectOnTurnsTheEffectOff) {
    editor_.ApplyProgram(SampleProgram(2));
    editor_.SetParameterValue(160, 1.0);
    const std::vector<int> kept = Params(3, 91);
    port_.Clear();
    Press(kParamSectionDefault);
    EXPECT_EQ(Param(92), 0);
    EXPECT_EQ(Params(3, 91), kept);
    const Bytes sent = port_.Stream();
    // Bracket 0, the 89 positions before the effect type, the type with its full address, and
    // bracket 1: nothing of the overdrive any more.
    ASSERT_EQ(sent.size() % 3, 0u);
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 9),
              (Bytes{0xB0, 0x63, 10, 0xB0, 0x62, 1, 0xB0, 0x06, 0}));
    EXPECT_EQ(Bytes(sent.end() - 18, sent.end()),
              (Bytes{0xB0, 0x63, 21, 0xB0, 0x62, 1, 0xB0, 0x06, 0, 0xB0, 0x63, 10, 0xB0, 0x62, 1,
                     0xB0, 0x06, 1}));
    int dataEntries = 0;
    for (size_t i = 0; i < sent.size(); i += 3)
        dataEntries += sent[i + 1] == 0x06;
    EXPECT_EQ(dataEntries, 1 + 90 + 1);
}

TEST_F(LibrarianTest, NoSectionTickedDoesNothing) {
    const ProgramValues before = editor_.SnapshotProgram(ProgramValues{});
    port_.Clear();
    Press(kParamSectionDefault);
    Press(kParamSectionRandom);
    Press(kParamSectionReset);
    EXPECT_EQ(port_.Stream(), Bytes{});
    EXPECT_EQ(editor_.SnapshotProgram(ProgramValues{}), before);
}

TEST_F(LibrarianTest, RandomOnOneOscillatorTouchesOnlyItsParameters) {
    editor_.SetParameterValue(kParamFirstSectionSwitch, 1.0);
    for (int round = 0; round < 20; ++round) {
        const std::vector<int> others = Params(15, 124);
        Press(kParamSectionRandom);
        EXPECT_EQ(Params(15, 124), others);
        EXPECT_GE(Param(9), 1) << "a drawn 0 for the PWM LFO frequency is set as 1";
    }
    editor_.SetParameterValue(kParamSelectAllSections, 1.0);
    const int midiChannel = Param(83);
    for (int round = 0; round < 20; ++round) {
        Press(kParamSectionRandom);
        EXPECT_EQ(Param(83), midiChannel) << "MIDI channel is never randomised";
    }
}

TEST_F(LibrarianTest, ResetOnEffectKeepsTheTypeAndSetsTheEqualizerQs) {
    editor_.ApplyProgram(SampleProgram(3));
    editor_.SetParameterValue(160, 1.0);
    Press(kParamSectionReset);
    EXPECT_EQ(Param(92), 3);
    EXPECT_EQ(Param(117), 10);
    EXPECT_EQ(Param(120), 10);
    EXPECT_EQ(Param(115), 0);
    editor_.SetParameterValue(kParamSelectAllSections, 1.0);
    Press(kParamSectionReset);
    EXPECT_EQ(Param(92), 3) << "a full reset keeps the effect type too";
    EXPECT_EQ(Param(72), -1);
}

TEST_F(LibrarianTest, CopyFromTwoOntoOneThreeFourSendsTheFirstFortyEightPositions) {
    editor_.ApplyProgram(SampleProgram(1));
    editor_.SetParameterValue(146, 1.0);
    for (int target : {149, 151, 152})
        editor_.SetParameterValue(target, 1.0);
    const std::vector<int> second = Params(15, 26);
    const std::vector<int> rest = Params(51, 124);
    port_.Clear();
    Press(kParamSectionCopy);
    EXPECT_EQ(Params(3, 14), second);
    EXPECT_EQ(Params(27, 38), second);
    EXPECT_EQ(Params(39, 50), second);
    EXPECT_EQ(Params(51, 124), rest);
    const Bytes sent = port_.Stream();
    EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 9),
              (Bytes{0xB0, 0x63, 10, 0xB0, 0x62, 1, 0xB0, 0x06, 0}));
    // Every one of the 48 positions goes out: 3 bytes each, plus the address changes.
    int dataEntries = 0;
    for (size_t i = 0; i + 2 < sent.size(); i += 3)
        dataEntries += sent[i + 1] == 0x06;
    EXPECT_EQ(dataEntries, 48 + 2);
}

TEST(LastProgram, StoredAtCloseAndRestoredAtStart) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    const std::string libraryFile = dir.File("12 Acid.prg");
    CaptureOutputPort port;
    uint16_t channel = 1;
    ProgramValues program{};
    {
        OrvoEditor* editor = MakePlugin(&port, &channel, settings);
        auto* librarian = static_cast<Librarian*>(editor->Programs());
        ASSERT_TRUE(librarian->SaveProgramFile(libraryFile));
        editor->Panel()->SetChooserPath(kParamProgramLoadFile, libraryFile);
        editor->SetParameterValue(kParamProgramLoadFile, 1.0);
        editor->SetParameterValue(3, 30.0);
        program = editor->SnapshotProgram(ProgramValues{});
        delete editor;
    }
    EXPECT_EQ(ReadProfileString(settings, "program", "lastfile", "", 4096), libraryFile);
    ASSERT_TRUE(ParseProgramText(TempDir::Read(dir.File("lastprogram.prg"))));
    EXPECT_EQ(*ParseProgramText(TempDir::Read(dir.File("lastprogram.prg"))), program);

    auto editor = std::make_unique<OrvoEditor>(&port, &channel);
    auto panel = std::make_unique<FakePanel>();
    FakePanel* shown = panel.get();
    editor->AttachPanel(std::move(panel));
    editor->AttachPrograms(std::make_unique<Librarian>(*editor, settings));
    EXPECT_EQ(editor->SnapshotProgram(ProgramValues{}), program);
    EXPECT_EQ(shown->status, "12 Acid");
    EXPECT_EQ(IntValue(*editor->GetParam(kParamSevenSegment)), 0);
    EXPECT_EQ(shown->ChooserPath(kParamProgramWriteFile), libraryFile);
    editor->AttachPrograms(nullptr);
}

namespace {

// An editor made as at start, with settings in dir, and what its panel shows.
struct Restart {
    explicit Restart(const std::string& settings) : rig(port, settings) {
        rig.editor.ShowReports();
    }
    ProgramValues Program() const { return rig.editor.SnapshotProgram(ProgramValues{}); }
    CaptureOutputPort port;
    EditorWithLibrarian rig;
};

ProgramValues Edited() {
    ProgramValues program = DefaultProgram();
    program[0] = 30;
    program[12] = -5;
    return program;
}

}  // namespace

TEST(LastProgram, TheEditsComeBackWithOrWithoutALibraryFile) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    {
        Restart first(settings);
        EXPECT_EQ(first.Program(), DefaultProgram());
        EXPECT_EQ(first.rig.panel->status, "Default") << "never the placeholder";
        first.rig.editor.ApplyProgram(Edited());
        ASSERT_EQ(first.Program(), Edited());
    }
    EXPECT_EQ(ReadProfileString(settings, "program", "lastfile", "-", 4096), "")
        << "no bare extension for a file never chosen";
    Restart second(settings);
    EXPECT_EQ(second.Program(), Edited());
    EXPECT_EQ(second.rig.panel->status, "Last program");
    EXPECT_TRUE(second.rig.panel->reports.empty());
}

TEST(LastProgram, WithoutTheKeptProgramTheDefaultComesNeverABlankPanel) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    TempDir::Write(dir.File("07 Old.prg"), FormatProgramText(Edited()));
    ASSERT_TRUE(
        WriteProfileString(settings, "program", "lastfile", dir.File("07 Old.prg").c_str()));
    Restart missing(settings);
    EXPECT_EQ(missing.Program(), DefaultProgram());
    EXPECT_EQ(missing.rig.panel->status, "Default");
    EXPECT_EQ(missing.rig.panel->ChooserPath(kParamProgramLoadFile), dir.File("07 Old.prg"));
}

TEST(LastProgram, ADamagedKeptProgramGivesTheDefaultAndANote) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    TempDir::Write(dir.File("lastprogram.prg"), std::string(""
                                                            "ELF",
                                                            6));
    Restart damaged(settings);
    EXPECT_EQ(damaged.Program(), DefaultProgram());
    EXPECT_EQ(damaged.rig.panel->status, "Default");
    ASSERT_EQ(damaged.rig.panel->reports.size(), 1u);
    EXPECT_EQ(damaged.rig.panel->reports[0].text,
              "The program file \"" + dir.File("lastprogram.prg") +
                  "\" cannot be used: line 1 holds binary data, not text.\n"
                  "The default program is loaded instead.");
}

// The shell hands one settings file down: the panel's zoom is kept in it beside the last
// program, and the next editor opens at that zoom.
TEST(LastProgram, ZoomIsKeptInTheSettingsFileTheEditorWasGiven) {
    TempDir dir;
    const std::string settings = dir.File("settings.ini");
    CaptureOutputPort port;
    uint16_t channel = 1;
    {
        std::unique_ptr<OrvoEditor> editor(MakePlugin(&port, &channel, settings));
        ASSERT_TRUE(editor->DoCommand(kCommandZoom120));
    }
    EXPECT_NEAR(std::stod(ReadProfileString(settings, "gui", "guiscale", "0", 64)), 1.2, 1e-9);

    {
        std::unique_ptr<OrvoEditor> again(MakePlugin(&port, &channel, settings));
        EXPECT_NEAR(again->Resize()->Scale(), 1.2, 1e-9);
        // Without a settings file the zoom is kept nowhere, whatever folder the user has.
        std::unique_ptr<OrvoEditor> unkept(MakePlugin(&port, &channel));
        EXPECT_EQ(unkept->Resize()->SettingsPath(), "");
    }
    // The zoomed layout is the process's: the next test starts from the editor's own.
    GuiLayoutStore::Process().Clear();
    Graphics::ReleaseCaches();
}

TEST(LibrarianWithUnit, UnitHoldsWhatThePanelShowsAfterLoadAndRandom) {
    TempDir dir;
    VirtualOrvo unit;
    SimOutputPort port(unit);
    uint16_t channel = 1;
    OrvoEditor editor(&port, &channel);
    editor.AttachPanel(std::make_unique<FakePanel>());
    auto owned = std::make_unique<Librarian>(editor, "");
    Librarian* librarian = owned.get();
    editor.AttachPrograms(std::move(owned));
    auto unitMatchesPanel = [&](int effectType) {
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effectType);
            if (position < 0) continue;
            ASSERT_EQ(unit.EditValue(position), IntValue(*editor.GetParam(position + 3)))
                << "position " << position;
        }
    };

    for (int effectType = 0; effectType <= 3; ++effectType) {
        ProgramValues program{};
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effectType);
            if (position < 0) continue;
            const int low = PositionMinimum(position);
            const int span = PositionMaximum(position) - low + 1;
            program[static_cast<size_t>(slot)] = low + (slot * 7 + effectType) % span;
        }
        program[kEffectTypeSlot] = effectType;
        const std::string path = dir.File("program.prg");
        TempDir::Write(path, FormatProgramText(program));
        ASSERT_TRUE(librarian->LoadProgramFile(path));
        unitMatchesPanel(effectType);
        for (int slot = 0; slot < kProgramSlotCount; ++slot) {
            const int position = SlotPosition(slot, effectType);
            if (position >= 0) {
                EXPECT_EQ(unit.EditValue(position), program[static_cast<size_t>(slot)]) << slot;
            }
        }
        EXPECT_FALSE(unit.InUpdate()) << "the bracket is closed";
    }

    editor.SetParameterValue(kParamSelectAllSections, 1.0);
    for (int round = 0; round < 10; ++round) {
        editor.SetParameterValue(kParamSectionRandom, 1.0);
        editor.SetParameterValue(kParamSectionRandom, 0.0);
        unitMatchesPanel(editor.EffectType());
    }
}
