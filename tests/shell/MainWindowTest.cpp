#include "shell/MainWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <utility>

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
    {"&File", "Select Directory", 1},
    {"&File", "Load Program", 2},
    {"&File", "Save Program", 3},
    {"&File", "Write Program from File to Orvo", 4},
    {"&File", "Write all Programs from Files to Orvo", 5},
    {"&File", "Save Program from Orvo to File", 20},
    {"&File", "Save All Programs from Orvo to Files", 21},
    {"&File", "Firmware update", 6},
    {"&Edit", "&Undo", 22},
    {"&Edit", "&Redo", 23},
    {"&Edit", "&Compare", 24},
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

TEST_F(MainWindowTest, WindowHasAFixedSizeFromTheClientArea) {
    window.SetClientSize(1024, 400);
    EXPECT_EQ(window.centralWidget()->size(), QSize(1024, 400));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.y(), 0);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
}
