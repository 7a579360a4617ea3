// The MIDI monitor's list: it follows the newest line unless the user scrolled up, and Pause
// holds what arrives until Resume shows it in order.
#include "shell/MidiMonitorWindow.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/ShellTestSupport.h"

namespace {

struct MidiMonitorTest : ::testing::Test {
    QApplication& app = App();
    MidiSettings settings;
    MidiLink link{settings, [] {}};
    MidiMonitorWindow monitor{link, nullptr};

    // A note on from the keyboard with the given key, taken in by the monitor's timer.
    void Arrives(int firstKey, int count) {
        for (int key = firstKey; key < firstKey + count; ++key) {
            const uint8_t note[] = {0x90, static_cast<uint8_t>(key), 0x40};
            link.Traffic().Put(MidiRole::KeyboardInput, MidiTrafficQueue::Direction::In, note,
                               sizeof note);
        }
        monitor.TakeTraffic();
    }
    QStringList Lines() const { return monitor.Text().split('\n', Qt::SkipEmptyParts); }
    QScrollBar* Scroll() const { return monitor.Lines()->verticalScrollBar(); }
};

}  // namespace

TEST_F(MidiMonitorTest, TheListFollowsTheNewestLineUnlessScrolledUp) {
    monitor.resize(400, 200);
    monitor.show();
    Arrives(10, 60);
    ASSERT_GT(Scroll()->maximum(), 0);
    EXPECT_EQ(Scroll()->value(), Scroll()->maximum());
    Arrives(70, 20);
    EXPECT_EQ(Scroll()->value(), Scroll()->maximum());

    // Scrolled up to read: the list stays where the user left it.
    Scroll()->setValue(5);
    Arrives(90, 20);
    EXPECT_EQ(Scroll()->value(), 5);
    // Back at the bottom, it follows again.
    Scroll()->setValue(Scroll()->maximum());
    Arrives(110, 5);
    EXPECT_EQ(Scroll()->value(), Scroll()->maximum());
}

TEST_F(MidiMonitorTest, PauseHoldsWhatArrivesAndResumeShowsItInOrder) {
    Arrives(10, 2);
    ASSERT_EQ(Lines().size(), 2);
    monitor.SetPaused(true);
    Arrives(20, 3);
    Arrives(30, 2);
    EXPECT_EQ(Lines().size(), 2) << "the list moved while paused";
    EXPECT_EQ(monitor.HeldCount(), 5u);
    EXPECT_TRUE(monitor.findChild<QCheckBox*>()->text().contains("5 held"));

    monitor.SetPaused(false);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(monitor.HeldCount(), 0u);
    // The held lines come in the order they arrived, each still with its own key.
    const QStringList keys = {"10", "11", "20", "21", "22", "30", "31"};
    for (int i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(lines[i].contains("note on " + keys[i])) << lines[i].toStdString();
    }
    EXPECT_EQ(monitor.findChild<QCheckBox*>()->text(), "Pause");
}

TEST_F(MidiMonitorTest, PauseHoldsNoMoreThanTheListKeepsAndSaysHowManyWentOver) {
    monitor.SetPaused(true);
    const int arrived = MidiMonitorWindow::kMaxLines + 7;
    for (int first = 0; first < arrived; first += 100)
        Arrives(0, std::min(100, arrived - first));
    const int held = MidiMonitorWindow::kMaxLines - 1;
    EXPECT_EQ(monitor.HeldCount(), static_cast<size_t>(held));
    monitor.SetPaused(false);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), MidiMonitorWindow::kMaxLines);
    EXPECT_EQ(lines.front().toStdString(),
              QString("(the %1 oldest messages that came while paused are not kept)")
                  .arg(arrived - held)
                  .toStdString());
}
