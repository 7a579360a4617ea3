#include "shell/Shell.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "midi/MidiLink.h"
#include "midi/MidiSettings.h"
#include "shell/CommandEvent.h"
#include "shell/MainWindow.h"
#include "shell/PreferencesDialog.h"
#include "shell/ShellTestSupport.h"

namespace {
struct ShellTest : ::testing::Test {
    ShellTest() {
        options.backend = MidiBackend::Jack;
        options.clockMs = [this] { return now; };
        options.makePlugin = [this](MidiOutputPort*, const uint16_t*) -> PluginBase* {
            plugin = new CommandPlugin;
            return plugin;
        };
    }
    QApplication& app = App();
    ShellEnvironment environment;
    Shell::Options options;
    int64_t now = 0;
    CommandPlugin* plugin = nullptr;
};
}  // namespace

TEST_F(ShellTest, FirstRunWritesOffForEveryPortOnceTheWindowIsUpAndOpensNone) {
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    // Nothing is written before the window shows; then the file comes whole.
    EXPECT_FALSE(std::filesystem::exists(environment.SettingsPath()));
    QElapsedTimer waited;
    waited.start();
    while (!std::filesystem::exists(environment.SettingsPath()) && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()),
              "[midi]\nindev=off\ninBdev=off\noutdev=off\n");
    const MidiSettings& settings = *shell.Settings();
    EXPECT_EQ(settings.unitInputChannel + settings.keyboardInputChannel + settings.outputChannel,
              0);
    ASSERT_NE(shell.Window(), nullptr);
    EXPECT_TRUE(shell.Window()->isVisible());
    EXPECT_EQ(shell.Window()->centralWidget()->size(), QSize(1024, 800));
    EXPECT_EQ(shell.Plugin(), plugin);
    // What Qt's file dialog keeps goes into the settings folder too.
    EXPECT_EQ(QSettings(QSettings::UserScope, "QtProject").fileName().toStdString(),
              environment.config.Path() + "/OrvodyneEditor/QtProject.conf");
    shell.ShutDown();
    EXPECT_EQ(shell.Window(), nullptr);
    EXPECT_EQ(shell.Link(), nullptr);
}

TEST_F(ShellTest, AFirstStartEndedBeforeItsWindowShowedStillLeavesItsSettings) {
    {
        TestShell shell(options);
        ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
        shell.ShutDown();
    }
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()),
              "[midi]\nindev=off\ninBdev=off\noutdev=off\n");
    // The same through the destructor, and a finished start is not written again at its end.
    std::filesystem::remove(environment.SettingsPath());
    { TestShell(options).StartUp(); }
    EXPECT_TRUE(std::filesystem::exists(environment.SettingsPath()));
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    shell.FinishStartUp();
    TempDir::Write(environment.SettingsPath(), "[midi]\nindev=off\n");
    shell.ShutDown();
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()), "[midi]\nindev=off\n");
}

TEST_F(ShellTest, AStoredFileSetsEveryChannelToOneAndKeepsTheNameOfAMissingPort) {
    environment.WriteSettingsFile("[midi]\nindev=gone:port\noutdev=off\n");
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    const MidiSettings& settings = *shell.Settings();
    EXPECT_EQ(settings.unitInputChannel, 1);
    EXPECT_EQ(settings.keyboardInputChannel, 1);
    EXPECT_EQ(settings.outputChannel, 1);
    // No port carries the chosen name: it is kept for when the port is back. The key that was
    // not there reads "no input", which nobody chose, and turns off.
    EXPECT_STREQ(settings.unitInputName, "gone:port");
    EXPECT_STREQ(settings.keyboardInputName, "off");
    // The file learns that once the start-up has finished, not before the panel shows.
    const std::string stored = "[midi]\nindev=gone:port\noutdev=off\n";
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()), stored);
    shell.FinishStartUp();
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()), stored + "inBdev=off\n");
}

TEST_F(ShellTest, WithoutAConfigurationFolderTheExitCodeIsOne) {
    ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv home("HOME", std::nullopt);
    TestShell shell(options);
    EXPECT_EQ(shell.Run(), 1);
    EXPECT_EQ(plugin, nullptr);
}

TEST_F(ShellTest, TheTickRunsOnlyInTheOutermostLoop) {
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    size_t ticksInNestedLoop = 99;
    // Each step is scheduled by the one before, so the loop waits between any two of them
    // however late a loaded machine runs the timers.
    QTimer::singleShot(0, [&] {
        now = 1000;  // not more than a second yet
        QTimer::singleShot(20, [&] {
            now = 1001;
            QTimer::singleShot(20, [&] {
                now = 12000;
                QEventLoop nested;  // as a modal dialog runs it
                QTimer::singleShot(30, &nested, &QEventLoop::quit);
                nested.exec();
                ticksInNestedLoop = plugin->commands.size();
                QTimer::singleShot(40, [&] { shell.Window()->close(); });
            });
        });
    });
    shell.RunLoop();
    EXPECT_EQ(ticksInNestedLoop, 1u);
    EXPECT_EQ(plugin->commands, (std::vector<int>{9, 9}));
}

TEST_F(ShellTest, QuitEndsTheLoopAndShutdownTakesEverythingDown) {
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    QTimer::singleShot(10, [&] {
        CommandEvent quit(40007);
        QCoreApplication::sendEvent(shell.Window(), &quit);
    });
    shell.RunLoop();
    EXPECT_FALSE(shell.Window()->isVisible());
    shell.ShutDown();
    EXPECT_EQ(shell.Plugin(), nullptr);
    EXPECT_EQ(shell.Settings(), nullptr);
}

TEST_F(ShellTest, QuitDuringATransferAsksWhetherToStopItAndATerminationDoesNot) {
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    plugin->transferRunning = true;
    QString question;
    bool noIsDefault = false;
    int answer = QMessageBox::No;
    shell.answer = [&](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box == nullptr) return 0;
        question = box->text();
        noIsDefault =
            box->defaultButton() == qobject_cast<QPushButton*>(box->button(QMessageBox::No));
        return answer;
    };
    const auto quit = [&] {
        CommandEvent event(40007);
        QCoreApplication::sendEvent(shell.Window(), &event);
    };
    quit();
    EXPECT_EQ(question,
              "A transfer with the Orvo is still running.\nStop it and quit? Programs not yet "
              "transferred stay where they are.");
    EXPECT_TRUE(noIsDefault);
    EXPECT_TRUE(shell.Window()->isVisible()) << "No lets the transfer go on";
    EXPECT_EQ(plugin->commands, std::vector<int>{});

    answer = QMessageBox::Yes;
    quit();
    EXPECT_FALSE(shell.Window()->isVisible());
    EXPECT_EQ(plugin->commands, std::vector<int>{kCommandStopTransfer});
    EXPECT_EQ(shell.modalRuns, 2);

    // A termination signal asks nobody: the transfer stops and the window goes.
    shell.Window()->show();
    plugin->transferRunning = true;
    plugin->commands.clear();
    shell.Terminate();
    EXPECT_FALSE(shell.Window()->isVisible());
    EXPECT_EQ(plugin->commands, std::vector<int>{kCommandStopTransferForQuit});
    EXPECT_EQ(shell.modalRuns, 2);
}

TEST_F(ShellTest, ShellDialogsShowTheirTextsAndOnlyOkWritesTheFile) {
    plugin = nullptr;
    TestShell shell(options);
    ASSERT_EQ(shell.StartUp(), Shell::Start::Running);
    plugin->answer = false;  // an editor without an about view of its own
    QString aboutText, aboutCaption;
    shell.answer = [&](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (box == nullptr) return static_cast<int>(QDialog::Rejected);
        aboutText = box->text();
        aboutCaption = box->windowTitle();
        return static_cast<int>(QMessageBox::Ok);
    };
    shell.Window()->HandleCommand(40005);
    EXPECT_EQ(aboutText, "Brindle-Audio\nBuilt on May  7 2019");
    EXPECT_EQ(aboutCaption, "OrvodyneEditor");

    const std::string changed = "[midi]\nindev=x\ninBdev=off\noutdev=off\n";
    TempDir::Write(environment.SettingsPath(), changed);
    shell.answer = [](QDialog& dialog) {
        EXPECT_NE(qobject_cast<PreferencesDialog*>(&dialog), nullptr);
        return static_cast<int>(QDialog::Rejected);
    };
    shell.Window()->HandleCommand(40006);
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()), changed);
    shell.answer = [](QDialog&) { return static_cast<int>(QDialog::Accepted); };
    shell.Window()->HandleCommand(40006);
    EXPECT_EQ(TempDir::Read(environment.SettingsPath()),
              "[midi]\nindev=off\ninBdev=off\noutdev=off\n");
    EXPECT_EQ(shell.modalRuns, 3);
}
