// The File menu's library entries and the write-all switch of the real main window, with the
// real editor and its panel on Qt's offscreen platform, against the virtual unit. The dialogs
// and message boxes are answered by the test through the window layer's modal steps.

#include <QAction>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>

#include "editor/OrvoEditor.h"
#include "gui/GraphicsFactory.h"
#include "library/Librarian.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/PanelWidget.h"
#include "shell/MainWindow.h"
#include "shell/ShellTestSupport.h"
#include "support/DistinctProgram.h"
#include "support/TempDir.h"
#include "unit/ProgramConversion.h"
#include "unit/ProgramFile.h"
#include "unit/ProgramText.h"
#include "unit/VirtualOrvo.h"

namespace {

// The unit on the far side of a cable: what the editor sends it reads at once, and its replies
// reach the editor on a MIDI input thread of their own.
class CableToUnit : public MidiOutputPort {
public:
    CableToUnit() {
        unit.SetReplySink([this](const uint8_t* bytes, size_t size) {
            std::lock_guard<std::mutex> hold(lock_);
            replies_.emplace_back(bytes, bytes + size);
            arrived_.notify_one();
        });
    }
    ~CableToUnit() override { Stop(); }
    void SendMessage(const uint8_t* bytes, size_t size) override { unit.Feed(bytes, size, 0); }
    void SendLongMessage(const uint8_t* bytes, size_t size, const SendProgress& progress) override {
        SendInOneGo(bytes, size, progress);
    }
    void Start(PluginBase* editor) {
        input_ = std::thread([this, editor] {
            std::unique_lock<std::mutex> hold(lock_);
            while (!stop_) {
                if (replies_.empty() || passed_ >= passing_) {
                    arrived_.wait(hold);
                    continue;
                }
                const std::vector<uint8_t> reply = std::move(replies_.front());
                replies_.pop_front();
                ++passed_;
                hold.unlock();
                editor->HandleSysEx({0, static_cast<int32_t>(reply.size()), reply.data()});
                hold.lock();
            }
        });
    }
    void Stop() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
            arrived_.notify_one();
        }
        if (input_.joinable()) input_.join();
    }
    // From now on only count replies more reach the editor; the rest wait on the cable until
    // PassAll. The unit answers at once, so a transfer can end before a test looks: this keeps
    // one running.
    void PassOnly(size_t count) {
        std::lock_guard<std::mutex> hold(lock_);
        passing_ = passed_ + count;
    }
    void PassAll() {
        std::lock_guard<std::mutex> hold(lock_);
        passing_ = SIZE_MAX;
        arrived_.notify_one();
    }
    // The unit is touched under the plug-in lock, as the editor's sends are.
    VirtualOrvo unit;

private:
    std::mutex lock_;
    std::condition_variable arrived_;
    std::deque<std::vector<uint8_t>> replies_;
    std::thread input_;
    bool stop_ = false;
    size_t passed_ = 0;
    size_t passing_ = SIZE_MAX;
};

struct Box {
    QString title;
    QString text;
    bool operator==(const Box&) const = default;
};

// The Qt window layer with a person in front of it: the folder dialog gets folder, a file
// dialog the next of files, a warning answer; every box is noted with whether the plug-in lock
// was free while it was up.
class AnsweredGraphics : public GraphicsQt {
public:
    using GraphicsQt::GraphicsQt;
    std::string folder;
    std::deque<std::string> files;
    int warningAnswer = QMessageBox::Ok;
    std::vector<Box> boxes;
    std::vector<bool> cancelIsDefault;
    std::vector<QString> folderDialogTitles;
    bool lockAlwaysFree = true;

protected:
    int ExecMessageBox(QMessageBox& box) override {
        NoteLock();
        boxes.push_back({box.windowTitle(), box.text()});
        cancelIsDefault.push_back(box.defaultButton() != nullptr &&
                                  box.defaultButton() ==
                                      qobject_cast<QPushButton*>(box.button(QMessageBox::Cancel)));
        return box.windowTitle() == "Warning" ? warningAnswer : QMessageBox::Ok;
    }
    QString ExecFileDialog(QFileDialog& dialog) override {
        NoteLock();
        if (dialog.fileMode() == QFileDialog::Directory) {
            folderDialogTitles.push_back(dialog.windowTitle());
            return QString::fromStdString(folder);
        }
        if (files.empty()) return {};
        const std::string file = files.front();
        files.pop_front();
        return QString::fromStdString(file);
    }

private:
    void NoteLock() {
        bool free = false;
        std::thread midiInput([&] {
            std::unique_lock<std::recursive_mutex> hold(Core()->PluginLock(), std::try_to_lock);
            free = hold.owns_lock();
        });
        midiInput.join();
        lockAlwaysFree = lockAlwaysFree && free;
    }
};

class LibraryMenu : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        SetGraphicsFactory([this](PluginBase* core) {
            graphics_ = new AnsweredGraphics(core);
            return graphics_;
        });
        editor_.reset(MakePlugin(&cable_, &channel_, ""));
        SetGraphicsFactory({});
        window_ = std::make_unique<MainWindow>(editor_.get(), hooks_);
        auto* panel = static_cast<QWidget*>(graphics_->CreatePanelWindow(window_->centralWidget()));
        window_->FollowPanel(panel);
        window_->show();
        cable_.Start(editor_.get());
        RunFor(50);
    }
    void TearDown() override {
        cable_.Stop();
        graphics_->DestroyPanelWindow();
        window_.reset();
        editor_.reset();
        Graphics::ReleaseCaches();
    }
    // The event loop with the shell's once-a-second tick, until done() or the time is up.
    bool RunUntil(const std::function<bool()>& done, int ms) {
        return RunWithTicks(
            *editor_,
            [&] {
                std::lock_guard<std::recursive_mutex> hold(editor_->PluginLock());
                return done();
            },
            ms);
    }
    void RunFor(int ms) {
        RunUntil([] { return false; }, ms);
    }
    void Trigger(const QString& item) {
        for (QAction* top : window_->menuBar()->actions()) {
            if (top->text() != "&File") continue;
            for (QAction* action : top->menu()->actions()) {
                if (action->text() == item) return action->trigger();
            }
        }
        ADD_FAILURE() << "no File menu item " << item.toStdString();
    }
    ProgramTransfers& Transfers() {
        return static_cast<Librarian*>(editor_->Programs())->Transfers();
    }
    ProgramValues UnitProgram(int n) {
        std::lock_guard<std::recursive_mutex> hold(editor_->PluginLock());
        return UnitBytesToProgramSlots(cable_.unit.Program(n));
    }

    TempDir dir_;
    CableToUnit cable_;
    uint16_t channel_ = 1;
    RecordingHooks hooks_;
    std::unique_ptr<OrvoEditor> editor_;
    AnsweredGraphics* graphics_ = nullptr;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace

TEST_F(LibraryMenu, SaveAllAndWriteAllFromTheFileMenu) {
    for (int n = 1; n <= 99; ++n)
        cable_.unit.SetProgram(n, ProgramSlotsToUnitBytes(DistinctProgram(n)));
    graphics_->folder = dir_.Path();
    Trigger("Save All Programs from Orvo to Files...");
    ASSERT_TRUE(RunUntil([&] { return !graphics_->boxes.empty(); }, 8000));
    EXPECT_EQ(graphics_->folderDialogTitles, std::vector<QString>{"Browse for folder..."});
    EXPECT_EQ(graphics_->boxes,
              (std::vector<Box>{{"Done", "Finished successfully!\nSaved 99 of 99 programs."}}));
    for (int n = 1; n <= 99; ++n) {
        ASSERT_EQ(ReadProgramFile(dir_.File(TwoDigits(n) + ".prg")), DistinctProgram(n)) << n;
    }

    // Files 01..03 with other programs, written back; the holes are skipped.
    TempDir library;
    for (int n = 1; n <= 3; ++n) {
        TempDir::Write(library.File(TwoDigits(n) + " new.prg"),
                       FormatProgramText(DistinctProgram(n + 50)));
    }
    graphics_->boxes.clear();
    graphics_->cancelIsDefault.clear();
    graphics_->folder = library.Path();
    graphics_->warningAnswer = QMessageBox::Cancel;
    Trigger("Write all Programs from Files to Orvo...");
    ASSERT_TRUE(RunUntil([&] { return UnitProgram(3) == DistinctProgram(53); }, 8000));
    RunFor(1200);
    EXPECT_EQ(graphics_->boxes,
              (std::vector<Box>{
                  {"Warning",
                   "The folder has program files for 3 of the 99 locations; 96 locations have "
                   "none.\n\nOK writes 01 new.prg into those 96 locations as well, replacing the "
                   "programs the Orvo holds there.\nCancel writes only the 3 files, each into its "
                   "own location; the other locations keep their programs."},
                  {"Done", "Finished successfully!\n3 programs went to the Orvo."}}));
    EXPECT_EQ(graphics_->cancelIsDefault, (std::vector<bool>{true, false}))
        << "Enter overwrites nothing more than the files";
    EXPECT_EQ(UnitProgram(1), DistinctProgram(51));
    EXPECT_EQ(UnitProgram(4), DistinctProgram(4));
    EXPECT_TRUE(graphics_->lockAlwaysFree) << "no dialog was up while the lock was held";
}

TEST_F(LibraryMenu, OneProgramEachWayAndTheWriteAllSwitch) {
    const std::string file = dir_.File("33 Wobble.prg");
    TempDir::Write(file, FormatProgramText(DistinctProgram(33)));
    graphics_->files = {file};
    Trigger("Write Program from File to Orvo...");
    ASSERT_TRUE(RunUntil([&] { return !Transfers().SingleWritePending(); }, 4000));
    EXPECT_EQ(UnitProgram(33), DistinctProgram(33));

    cable_.unit.SetProgram(17, ProgramSlotsToUnitBytes(DistinctProgram(70)));
    graphics_->folder = dir_.Path();
    Trigger("Select Directory...");
    graphics_->files = {dir_.File("17 From unit.prg")};
    Trigger("Save Program from Orvo to File...");
    ASSERT_TRUE(
        RunUntil([&] { return std::filesystem::exists(dir_.File("17 From unit.prg")); }, 4000));
    EXPECT_EQ(ReadProgramFile(dir_.File("17 From unit.prg")), DistinctProgram(70));

    // The switch under the choosers starts a write-all, as the menu entry does.
    graphics_->boxes.clear();
    graphics_->folder = dir_.Path();
    graphics_->warningAnswer = QMessageBox::Ok;
    QTest::mouseClick(graphics_->Widget(), Qt::LeftButton, {}, QPoint(60, 68));
    ASSERT_TRUE(RunUntil([&] { return !graphics_->boxes.empty(); }, 4000));
    EXPECT_EQ(graphics_->boxes[0].title, "Warning");
    ASSERT_TRUE(RunUntil([&] { return !Transfers().BatchActive(); }, 8000));
    EXPECT_EQ(UnitProgram(99), DistinctProgram(70)) << "the holes hold the first listed file";
    EXPECT_EQ(UnitProgram(33), DistinctProgram(33));
}

TEST_F(LibraryMenu, EscapeStopsTheRunningTransferAndOnlyThenIsStopTransferOn) {
    EXPECT_FALSE(editor_->CommandEnabled(kCommandStopTransfer));
    graphics_->folder = dir_.Path();
    cable_.PassOnly(3);
    Trigger("Save All Programs from Orvo to Files...");
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(dir_.File("03.prg")); }, 8000));
    EXPECT_TRUE(editor_->CommandEnabled(kCommandStopTransfer));
    QTest::keyClick(graphics_->Widget(), Qt::Key_Escape);
    EXPECT_EQ(Transfers().Running(), nullptr);
    const size_t saved = LibraryFolder::ListProgramFiles(dir_.Path()).size();
    EXPECT_EQ(saved, 3u);
    // The answer that was on its way when the user stopped arrives late and is not saved.
    cable_.PassAll();
    RunFor(1500);
    EXPECT_EQ(LibraryFolder::ListProgramFiles(dir_.Path()).size(), saved);
    EXPECT_EQ(graphics_->boxes, std::vector<Box>{}) << "stopped by the user: no box";
    EXPECT_FALSE(editor_->CommandEnabled(kCommandStopTransfer));
}
