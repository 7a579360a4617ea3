// The whole application on the virtual Orvo built into it, with no MIDI system: the first start's
// offer, the choice kept for the next start, and every feature that talks to the unit, through
// the real main window's menu with the real editor and panel on Qt's offscreen platform.

#include <QAbstractButton>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "library/MakePlugin.h"
#include "midi/MidiLink.h"
#include "platform/qt/GraphicsQt.h"
#include "shell/MainWindow.h"
#include "shell/MenuTable.h"
#include "shell/MidiMonitorWindow.h"
#include "shell/PreferencesDialog.h"
#include "shell/ShellTestSupport.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "unit/UnitParameters.h"

namespace {

// The editor's dialogs answered: a folder dialog gets folder, a file dialog the next of files;
// every message box is noted as "title: text" and answered with OK.
class AnsweringGraphics : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;
    static inline std::string folder;
    static inline std::deque<std::string> files;
    static inline std::vector<std::string> boxes;

protected:
    int ExecMessageBox(QMessageBox& box) override {
        boxes.push_back(box.windowTitle().toStdString() + ": " + box.text().toStdString());
        return QMessageBox::Ok;
    }
    QString ExecFileDialog(QFileDialog& dialog) override {
        if (dialog.fileMode() == QFileDialog::Directory) return QString::fromStdString(folder);
        if (files.empty()) return {};
        const std::string file = files.front();
        files.pop_front();
        return QString::fromStdString(file);
    }
};

// Clicks the offer's button with the given text; notes the texts of all its buttons.
std::function<int(QDialog&)> Choose(const QString& text, QStringList* buttons) {
    return [text, buttons](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box == nullptr) return static_cast<int>(QDialog::Rejected);
        for (QAbstractButton* button : box->buttons()) {
            buttons->push_back(button->text());
            if (button->text() == text) button->click();
        }
        return 0;
    };
}

class VirtualOrvoShell : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        AnsweringGraphics::folder.clear();
        AnsweringGraphics::files.clear();
        AnsweringGraphics::boxes.clear();
        SetGraphicsFactory([](PluginBase* core) { return new AnsweringGraphics(core); });
    }
    void TearDown() override {
        if (shell_) shell_->ShutDown();
        SetGraphicsFactory({});
    }

    // A start as main makes it, on the ALSA sequencer only: without one (as on the machines of
    // the test runs) there is no MIDI system at all.
    void Start() {
        if (shell_) shell_->ShutDown();
        Shell::Options options;
        options.backend = MidiBackend::Alsa;
        options.makePlugin = [this](MidiOutputPort* output, const uint16_t* channel) {
            editor_ = MakePlugin(output, channel, environment_.SettingsPath());
            return static_cast<PluginBase*>(editor_);
        };
        shell_ = std::make_unique<TestShell>(options);
        ASSERT_EQ(shell_->StartUp(), Shell::Start::Running);
    }
    // The event loop with the editor's tick, until done() holds or the time is up.
    bool RunUntil(const std::function<bool()>& done, int ms) {
        return RunWithTicks(*editor_, done, ms);
    }
    void Menu(int id) { shell_->Window()->HandleCommand(id); }
    template <typename F>
    void WithUnit(F&& f) {
        VirtualOrvoPort* unit = shell_->Link()->VirtualUnit();
        ASSERT_NE(unit, nullptr);
        unit->WithUnit(f);
    }
    ProgramValues UnitProgram(int n) {
        ProgramValues values{};
        WithUnit([&](VirtualOrvo& unit) { values = UnitBytesToProgramSlots(unit.Program(n)); });
        return values;
    }
    std::string ProgramKept(int n) const {
        return environment_.data.File("OrvodyneEditor/Virtual Orvo/" + TwoDigits(n) + ".prg");
    }

    ShellEnvironment environment_;
    std::unique_ptr<TestShell> shell_;
    OrvoEditor* editor_ = nullptr;
};

}  // namespace

TEST_F(VirtualOrvoShell, TheFirstStartOffersOnceAndTheVirtualOrvoIsKeptForTheNextStart) {
    Start();
    QStringList buttons;
    shell_->answer = Choose("Use the Virtual Orvo", &buttons);
    shell_->OfferFirstStart();
    EXPECT_EQ(buttons,
              (QStringList{"Find the Orvo", "Choose Ports...", "Use the Virtual Orvo", "Close"}));
    const std::string settings = TempDir::Read(environment_.SettingsPath());
    EXPECT_NE(settings.find("indev=Virtual Orvo\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("outdev=Virtual Orvo\n"), std::string::npos) << settings;
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::UnitInput));
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::Output));
    EXPECT_TRUE(shell_->Window()->ConnectionText().contains("Connected to the virtual Orvo"))
        << shell_->Window()->ConnectionText().toStdString();

    // Offered once: neither this run nor the next asks again.
    shell_->OfferFirstStart();
    Start();
    shell_->OfferFirstStart();
    EXPECT_EQ(shell_->modalRuns, 0);
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::UnitInput));
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::Output));
}

TEST_F(VirtualOrvoShell, ChoosingPortsFromTheOfferOpensThePreferencesAndAClosedOfferIsNotRepeated) {
    Start();
    QStringList buttons;
    bool preferencesShown = false;
    shell_->answer = [&](QDialog& dialog) {
        if (qobject_cast<QMessageBox*>(&dialog) != nullptr)
            return Choose("Choose Ports...", &buttons)(dialog);
        preferencesShown = dialog.windowTitle() == "Preferences";
        return static_cast<int>(QDialog::Rejected);
    };
    shell_->OfferFirstStart();
    EXPECT_TRUE(preferencesShown);
    EXPECT_FALSE(shell_->Link()->IsRoleOpen(MidiRole::Output));
    EXPECT_TRUE(shell_->Window()->ConnectionText().contains("Output: off"));

    // Nothing was chosen, but the offer was made: the next start opens straight to the panel.
    Start();
    shell_->OfferFirstStart();
    EXPECT_EQ(shell_->modalRuns, 0);

    // The menu entry does what the offer would have done.
    Menu(menu::kUseVirtualOrvo);
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::UnitInput));
    EXPECT_TRUE(shell_->Link()->IsRoleVirtual(MidiRole::Output));
    EXPECT_NE(TempDir::Read(environment_.SettingsPath()).find("outdev=Virtual Orvo\n"),
              std::string::npos);
}

TEST_F(VirtualOrvoShell, FindTheOrvoFromTheOfferSearchesAtOnce) {
    Start();
    QStringList buttons;
    QString searchText;
    shell_->answer = [&](QDialog& dialog) {
        if (qobject_cast<QMessageBox*>(&dialog) != nullptr)
            return Choose("Find the Orvo", &buttons)(dialog);
        QCoreApplication::processEvents();
        if (auto* preferences = qobject_cast<PreferencesDialog*>(&dialog))
            searchText = preferences->SearchText()->text();
        return static_cast<int>(QDialog::Rejected);
    };
    shell_->OfferFirstStart();
    // Without a MIDI system the search has nothing to ask, and says so.
    EXPECT_EQ(searchText, "There are no MIDI ports to search.");
}

TEST_F(VirtualOrvoShell, EveryFeatureWorksAgainstTheVirtualOrvo) {
    environment_.WriteSettingsFile("[midi]\nindev=Virtual Orvo\noutdev=Virtual Orvo\n");
    Start();
    shell_->ShowMidiMonitor(shell_->Window());

    // A live edit reaches the unit's edit buffer.
    const int position = 10;
    const int value = PositionMaximum(position);
    editor_->SetParameterValue(ParamIndexOfPosition(position), value);
    int edited = -1;
    EXPECT_TRUE(RunUntil(
        [&] {
            WithUnit([&](VirtualOrvo& unit) { edited = unit.EditValue(position); });
            return edited == value;
        },
        4000));

    // One program each way.
    TempDir library;
    const std::string file = library.File("33 Wobble.prg");
    TempDir::Write(file, FormatProgramText(DistinctProgram(33)));
    AnsweringGraphics::files = {file};
    Menu(menu::kWriteProgram);
    EXPECT_TRUE(RunUntil([&] { return UnitProgram(33) == DistinctProgram(33); }, 4000));
    AnsweringGraphics::folder = library.Path();
    Menu(menu::kSelectDirectory);
    AnsweringGraphics::files = {library.File("33 From unit.prg")};
    Menu(menu::kSaveFromUnit);
    EXPECT_TRUE(
        RunUntil([&] { return std::filesystem::exists(library.File("33 From unit.prg")); }, 4000));
    EXPECT_EQ(ReadProgramFile(library.File("33 From unit.prg")), DistinctProgram(33));

    // All 99 each way.
    TempDir all;
    for (int n = 1; n <= 99; ++n)
        TempDir::Write(all.File(TwoDigits(n) + ".prg"), FormatProgramText(DistinctProgram(n)));
    AnsweringGraphics::folder = all.Path();
    AnsweringGraphics::boxes.clear();
    Menu(menu::kWriteAllPrograms);
    ASSERT_TRUE(RunUntil([] { return !AnsweringGraphics::boxes.empty(); }, 15000));
    EXPECT_EQ(AnsweringGraphics::boxes[0],
              "Done: Finished successfully!\n99 programs went to the Orvo.");
    EXPECT_EQ(UnitProgram(99), DistinctProgram(99));
    TempDir saved;
    AnsweringGraphics::folder = saved.Path();
    AnsweringGraphics::boxes.clear();
    Menu(menu::kSaveAllFromUnit);
    ASSERT_TRUE(RunUntil([] { return !AnsweringGraphics::boxes.empty(); }, 15000));
    EXPECT_EQ(AnsweringGraphics::boxes[0],
              "Done: Finished successfully!\nSaved 99 of 99 programs.");
    EXPECT_EQ(ReadProgramFile(saved.File("42.prg")), DistinctProgram(42));

    // A firmware update, with a short flash erase.
    WithUnit([](VirtualOrvo& unit) { unit.SetEraseDelayMs(100); });
    std::vector<uint8_t> image(7000);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 29 + 3);
    TempDir::Write(library.File("update.ldr"), std::string(image.begin(), image.end()));
    AnsweringGraphics::files = {library.File("update.ldr")};
    AnsweringGraphics::boxes.clear();
    Menu(menu::kFirmwareUpdate);
    EXPECT_TRUE(
        RunUntil([&] { return editor_->Panel()->StatusLine() == "Update successful!"; }, 8000))
        << editor_->Panel()->StatusLine();
    WithUnit([&](VirtualOrvo& unit) { EXPECT_TRUE(unit.FirmwareImage() == image); });
    EXPECT_EQ(AnsweringGraphics::boxes, std::vector<std::string>{});

    // The monitor saw it all go by.
    RunUntil([] { return false; }, 300);
    const std::string traffic = shell_->Monitor()->Text().toStdString();
    for (const char* line : {"checksum good", "firmware update start", "firmware data, "})
        EXPECT_NE(traffic.find(line), std::string::npos) << line;

    // The unit's programs are there again at the next start.
    Start();
    EXPECT_TRUE(std::filesystem::exists(ProgramKept(99)));
    EXPECT_EQ(UnitProgram(33), DistinctProgram(33));
    EXPECT_EQ(UnitProgram(7), DistinctProgram(7));
}
