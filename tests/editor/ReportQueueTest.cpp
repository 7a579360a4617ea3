#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "editor/OrvoEditor.h"
#include "support/CaptureOutputPort.h"
#include "support/FakeEditorPanel.h"

namespace {

// A panel whose boxes look at the plug-in lock from another thread, as the MIDI input would,
// and run the GUI idle hook the way a box's own event loop runs the panel's timer.
class LockProbePanel : public FakePanel {
public:
    explicit LockProbePanel(OrvoEditor& editor) : editor_(editor) {}
    bool ShowReport(const Report& report) override {
        bool free = false;
        std::thread midiInput([&] {
            std::unique_lock<std::recursive_mutex> hold(editor_.PluginLock(), std::try_to_lock);
            free = hold.owns_lock();
        });
        midiInput.join();
        lockFreeWhileShown.push_back(free);
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        editor_.GuiIdle();
        --depth;
        return FakePanel::ShowReport(report);
    }
    std::vector<bool> lockFreeWhileShown;
    int depth = 0;
    int maxDepth = 0;

private:
    OrvoEditor& editor_;
};

class Reports : public ::testing::Test {
protected:
    void SetUp() override {
        auto panel = std::make_unique<LockProbePanel>(editor_);
        panel_ = panel.get();
        editor_.AttachPanel(std::move(panel));
    }
    template <typename F>
    void UnderLock(F decide) {
        std::lock_guard<std::recursive_mutex> hold(editor_.PluginLock());
        decide(editor_.Reports());
    }

    CaptureOutputPort port_;
    uint16_t channel_ = 1;
    OrvoEditor editor_{&port_, &channel_};
    LockProbePanel* panel_ = nullptr;
};

using Shown = FakePanel::Shown;

}  // namespace

TEST_F(Reports, AreShownInTheirOrderWithTheLockReleasedAndOneAtATime) {
    UnderLock([](ReportQueue& reports) {
        reports.Post(ReportKind::kError, "Communication error has occurred!");
        reports.Post(ReportKind::kDone, "Finished successfully!");
    });
    EXPECT_TRUE(panel_->reports.empty()) << "nothing is shown while the lock is held";
    editor_.GuiIdle();
    EXPECT_EQ(panel_->reports,
              (std::vector<Shown>{{ReportKind::kError, "Communication error has occurred!"},
                                  {ReportKind::kDone, "Finished successfully!"}}));
    EXPECT_EQ(panel_->lockFreeWhileShown, (std::vector<bool>{true, true}));
    EXPECT_EQ(panel_->maxDepth, 1) << "a box's event loop does not open the next box inside it";
    editor_.GuiIdle();
    EXPECT_EQ(panel_->reports.size(), 2u) << "each report is shown once";
}

TEST_F(Reports, AWarningsAnswerGoesBackToTheOperationThatAskedUnderTheLock) {
    for (bool ok : {true, false}) {
        panel_->reports.clear();
        panel_->warningAnswer = ok;
        std::vector<bool> answers;
        bool lockHeldForAnswer = false;
        UnderLock([&](ReportQueue& reports) {
            reports.Post(ReportKind::kWarning, "Fill the holes?", [&](bool accepted) {
                answers.push_back(accepted);
                std::thread other([&] {
                    std::unique_lock<std::recursive_mutex> hold(editor_.PluginLock(),
                                                                std::try_to_lock);
                    lockHeldForAnswer = !hold.owns_lock();
                });
                other.join();
                // What the answer decides is shown in the same round.
                editor_.Reports().Post(ReportKind::kDone, accepted ? "filled" : "skipped");
            });
        });
        EXPECT_TRUE(editor_.DoCommand(kCommandTick));
        EXPECT_EQ(answers, std::vector<bool>{ok});
        EXPECT_TRUE(lockHeldForAnswer);
        ASSERT_EQ(panel_->reports.size(), 2u);
        EXPECT_EQ(panel_->reports[1].text, ok ? "filled" : "skipped");
    }
}

TEST(ReportsWithoutPanel, AWarningCountsAsCancelled) {
    CaptureOutputPort port;
    uint16_t channel = 1;
    OrvoEditor editor(&port, &channel);
    std::optional<bool> answer;
    std::optional<std::optional<std::string>> folder;
    {
        std::lock_guard<std::recursive_mutex> hold(editor.PluginLock());
        editor.Reports().Post(ReportKind::kWarning, "?", [&](bool ok) { answer = ok; });
        editor.Reports().PostFolderChoice(
            "/tmp/", [&](const std::optional<std::string>& chosen) { folder = chosen; });
    }
    editor.GuiIdle();
    EXPECT_EQ(answer, false);
    ASSERT_TRUE(folder.has_value());
    EXPECT_FALSE(folder->has_value());
}

TEST_F(Reports, TheFolderDialogOpensWhereAskedAndHandsBackTheChoice) {
    panel_->chosenFolder = "/home/user/bass programs";
    std::optional<std::string> chosen;
    UnderLock([&](ReportQueue& reports) {
        reports.PostFolderChoice(
            "/home/user/old/", [&](const std::optional<std::string>& folder) { chosen = folder; });
    });
    editor_.GuiIdle();
    EXPECT_EQ(panel_->folderShownAt, "/home/user/old/");
    EXPECT_EQ(chosen, std::optional<std::string>("/home/user/bass programs"));
}
