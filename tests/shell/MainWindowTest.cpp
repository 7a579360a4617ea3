#include "shell/MainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "shell/CommandEvent.h"
#include "shell/ShellTestSupport.h"

namespace {
struct MenuCase {
    const char* menu;
    const char* item;
    int command;  // the DoCommand number it must reach
};
// What each menu item must do, as the user sees it.
const MenuCase kEditorItems[] = {
    {"&File", "Select Directory...", 1},
    {"&File", "Load Program...", 2},
    {"&File", "Save Program...", 3},
    {"&File", "Write Program from File to Orvo...", 4},
    {"&File", "Write all Programs from Files to Orvo...", 5},
    {"&File", "Save Program from Orvo to File...", 20},
    {"&File", "Save All Programs from Orvo to Files...", 21},
    {"&File", "Firmware update...", 6},
    {"&Edit", "&Undo", 22},
    {"&Edit", "&Redo", 23},
    {"&Edit", "&Compare", 24},
    {"&View", "Zoom &In", 25},
    {"&View", "Zoom &Out", 26},
    {"&View", "70%", 12},
    {"&View", "80%", 13},
    {"&View", "90%", 14},
    {"&View", "100%", 15},
    {"&View", "110%", 16},
    {"&View", "120%", 17},
    {"&View", "130%", 18},
    {"&Help", "&User Guide", 7},
    {"&Help", "&Program Database", 8},
};

QAction* FindItem(MainWindow& window, const QString& menuTitle, const QString& text) {
    for (QAction* top : window.menuBar()->actions()) {
        if (top->text() != menuTitle || top->menu() == nullptr) continue;
        for (QAction* item : top->menu()->actions()) {
            if (item->text() == text) return item;
        }
    }
    return nullptr;
}

struct MainWindowTest : ::testing::Test {
    QApplication& app = App();
    CommandPlugin plugin;
    RecordingHooks hooks;
    MainWindow window{&plugin, hooks};
};
}  // namespace

TEST_F(MainWindowTest, EveryEditorMenuItemReachesItsCommand) {
    for (const MenuCase& c : kEditorItems) {
        QAction* action = FindItem(window, c.menu, c.item);
        ASSERT_NE(action, nullptr) << c.item;
        plugin.commands.clear();
        action->trigger();
        EXPECT_EQ(plugin.commands, std::vector<int>{c.command}) << c.item;
    }
    QStringList titles;
    for (QAction* top : window.menuBar()->actions())
        titles << top->text();
    EXPECT_EQ(titles, (QStringList{"&File", "&Edit", "&MIDI", "&View", "&Help"}));
    EXPECT_EQ(window.windowTitle(), "Orvo Editor");
}

TEST_F(MainWindowTest, TheTitleNamesTheProgramOnThePanel) {
    window.ShowProgramName("Deep Sub");
    EXPECT_EQ(window.windowTitle(), "Orvo Editor \u2014 Deep Sub");
    window.ShowProgramName("");
    EXPECT_EQ(window.windowTitle(), "Orvo Editor");
}

TEST_F(MainWindowTest, EntriesHaveTheUsualKeysAndTheZoomShownIsChecked) {
    const struct {
        const char* menu;
        const char* item;
        const char* keys;
    } keyed[] = {
        {"&File", "Load Program...", "Ctrl+O"}, {"&File", "Save Program...", "Ctrl+S"},
        {"&File", "&Quit", "Ctrl+Q"},           {"&View", "Zoom &In", "Ctrl++; Ctrl+="},
        {"&View", "Zoom &Out", "Ctrl+-"},       {"&View", "100%", "Ctrl+0"},
    };
    for (const auto& k : keyed) {
        QAction* action = FindItem(window, k.menu, k.item);
        ASSERT_NE(action, nullptr) << k.item;
        EXPECT_EQ(QKeySequence::listToString(action->shortcuts()), k.keys) << k.item;
    }
    plugin.checked = 16;  // the editor stands at 110 %
    window.UpdateCommandStates();
    for (const MenuCase& c : kEditorItems) {
        if (QString(c.menu) != "&View") continue;
        QAction* action = FindItem(window, c.menu, c.item);
        EXPECT_EQ(action->isChecked(), c.command == 16) << c.item;
    }
}

TEST_F(MainWindowTest, CommandsWithoutMenuItemsAreTakenFromAnySender) {
    for (auto [id, command] : {std::pair{40044, 19}, {40033, 11}, {40034, 10}}) {
        plugin.commands.clear();
        CommandEvent event(id);
        QCoreApplication::sendEvent(&window, &event);
        EXPECT_EQ(plugin.commands, std::vector<int>{command}) << id;
    }
    plugin.commands.clear();
    QCoreApplication::postEvent(&window, new CommandEvent(40036));  // nobody's
    QCoreApplication::postEvent(&window, new CommandEvent(40043));
    QCoreApplication::processEvents();
    EXPECT_EQ(plugin.commands, std::vector<int>{18});
}

TEST_F(MainWindowTest, AboutShowsTheShellBoxOnlyWhenTheEditorHasNone) {
    QAction* about = FindItem(window, "&Help", "&About");
    ASSERT_NE(about, nullptr);
    about->trigger();
    EXPECT_EQ(plugin.commands, std::vector<int>{0});
    EXPECT_EQ(hooks.aboutBoxes, 0);
    plugin.answer = false;
    about->trigger();
    EXPECT_EQ(hooks.aboutBoxes, 1);
}

TEST_F(MainWindowTest, PreferencesWriteTheSettingsOnlyAfterOk) {
    QAction* preferences = FindItem(window, "&MIDI", "Preferences...");
    ASSERT_NE(preferences, nullptr);
    preferences->trigger();
    EXPECT_EQ(hooks.preferencesRuns, 1);
    EXPECT_EQ(hooks.writes, 0);
    hooks.preferencesResult = 1;
    preferences->trigger();
    EXPECT_EQ(hooks.writes, 1);
    EXPECT_TRUE(plugin.commands.empty());
}

TEST_F(MainWindowTest, UseTheVirtualOrvoIsTheShells) {
    QAction* use = FindItem(window, "&MIDI", "Use the virtual Orvo");
    ASSERT_NE(use, nullptr);
    use->trigger();
    EXPECT_EQ(hooks.virtualOrvoUses, 1);
    EXPECT_TRUE(plugin.commands.empty());
}

TEST_F(MainWindowTest, QuitAndTheCloseBoxBothEndTheLoop) {
    window.show();
    FindItem(window, "&File", "&Quit")->trigger();
    EXPECT_EQ(hooks.closes, 1);
    EXPECT_FALSE(window.isVisible());
    window.show();
    window.close();
    EXPECT_EQ(hooks.closes, 2);
    EXPECT_TRUE(plugin.commands.empty());
}

TEST_F(MainWindowTest, WindowTakesTheClientAreaAndLetsTheWindowManagerResizeIt) {
    window.SetClientSize(1024, 400);
    EXPECT_EQ(window.centralWidget()->size(), QSize(1024, 400));
    EXPECT_NE(window.minimumSize(), window.maximumSize());
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(window.centralWidget()->minimumSize(), QSize(512, 400));
}

// The window manager's resize zooms the panel to fit, once the resize rests; a zoom from the
// menu or the grip resizes the window around the panel; extra room centres the panel.
TEST_F(MainWindowTest, WindowManagersResizeFitsThePanelAndTheMenusZoomFitsTheWindow) {
    QWidget* panel = new QWidget(window.centralWidget());
    panel->resize(1024, 800);
    std::vector<QSize> asked;
    window.SetPanelFitter([&](const QSize& area) {
        asked.push_back(area);
        // As the editor does: the largest zoom of 1024 x 800 that fits.
        const double scale = std::min(area.width() / 1024.0, area.height() / 800.0);
        panel->resize(static_cast<int>(1024 * scale), static_cast<int>(800 * scale));
    });
    window.FollowPanel(panel);
    window.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(window.centralWidget()->size(), QSize(1024, 800));

    const int bars = window.height() - window.centralWidget()->height();
    window.resize(1636, 1200 + bars);  // dragged by its edge
    QCoreApplication::processEvents();
    EXPECT_TRUE(asked.empty()) << "nothing before the resize rests";
    QTest::qWait(MainWindow::kFitDelayMs + 100);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], QSize(1636, 1200));
    EXPECT_EQ(panel->size(), QSize(1536, 1200));
    EXPECT_EQ(window.centralWidget()->size(), QSize(1636, 1200)) << "the window keeps its size";
    EXPECT_EQ(panel->pos(), QPoint(50, 0));

    panel->resize(819, 640);  // 80 % from the View menu
    QCoreApplication::processEvents();
    EXPECT_EQ(window.centralWidget()->size(), QSize(819, 640));
    EXPECT_EQ(panel->pos(), QPoint(0, 0));
    QTest::qWait(MainWindow::kFitDelayMs + 100);
    EXPECT_EQ(asked.size(), 1u) << "the window followed the panel: nothing to fit";
}

// A grip drag that grows the window past the screen's free area moves the window up and left
// into it; a zoom from the menu leaves the window where it is.
TEST_F(MainWindowTest, GripDragKeepsTheWindowOnTheScreen) {
    QWidget* panel = new QWidget(window.centralWidget());
    panel->resize(512, 400);
    bool dragging = false;
    window.SetGripDragQuery([&dragging] { return dragging; });
    window.FollowPanel(panel);
    window.show();
    QCoreApplication::processEvents();
    ASSERT_NE(window.screen(), nullptr);
    const QRect free = window.screen()->availableGeometry();
    const QPoint corner(free.right() + 1 - window.frameGeometry().width() - 10,
                        free.bottom() + 1 - window.frameGeometry().height() - 10);
    window.move(corner);
    QCoreApplication::processEvents();
    panel->resize(612, 480);  // from the menu
    QCoreApplication::processEvents();
    EXPECT_EQ(window.pos(), corner);
    window.move(corner);
    QCoreApplication::processEvents();
    dragging = true;
    panel->resize(662, 520);
    QCoreApplication::processEvents();
    const QRect frame = window.frameGeometry();
    EXPECT_LE(frame.right(), free.right());
    EXPECT_LE(frame.bottom(), free.bottom());
    EXPECT_GE(frame.top(), free.top());
}
