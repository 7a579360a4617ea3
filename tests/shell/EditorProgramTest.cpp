// The program as a user runs it: RunEditor builds the application, the Qt platform, the shell,
// the editor with its panel in the Qt panel window, and tears them down as main does. The test
// works the real menu of the real main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/Graphics.h"
#include "plugin/PluginBase.h"
#include "shell/Application.h"
#include "shell/MainWindow.h"
#include "shell/ShellTestSupport.h"

namespace {

// Qt's offscreen platform moves a window by its made-up frame whenever the window changes size,
// so where the window stands is checked on a real X server only (see tools/xvfb).
const bool kRealWindows = QString(std::getenv("QT_QPA_PLATFORM")) != "offscreen";

// Runs the program with a driver that gets the running shell; the program's exit code. The
// drivers stand for the user at a panel already connected, unless offerFirstStart.
int RunProgram(std::function<void(Shell&)> driver, bool offerFirstStart = false) {
    static char name[] = "orvo-editor";
    char* argv[] = {name, nullptr};
    Shell::Options options;
    options.offerFirstStart = offerFirstStart;
    options.running = [driver](Shell& shell) {
        QTimer::singleShot(0, [driver, &shell] {
            driver(shell);
            // A driver that stopped on a failed assertion leaves the program to end here.
            if (shell.Window() != nullptr && shell.Window()->isVisible()) shell.Window()->close();
        });
    };
    return RunEditor(1, argv, options);
}

// The action of the main window's menu bar with this text.
QAction* MenuAction(MainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions()) {
        for (QAction* item : menu->menu()->actions()) {
            if (item->text() == text) return item;
        }
    }
    return nullptr;
}

// Lets the window system and the panel's timer catch up.
void Settle() {
    for (int i = 0; i < 5; ++i) {
        QApplication::processEvents();
        QApplication::sendPostedEvents();
    }
}

// A mouse event on the panel window, with the left button held from press to release.
void SendMouse(QWidget* panel, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, panel->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(panel, &event);
}

// The client area is the panel, no more and no less, right below the menu bar; the status bar
// follows right below it and takes the rest of the window.
void ExpectWindowFitsPanel(MainWindow& window, QWidget* panel, const std::string& what) {
    const QSize size = panel->size();
    const int menuHeight = window.menuBar()->height();
    const QStatusBar* status = window.statusBar();
    EXPECT_EQ(window.centralWidget()->geometry(), QRect(QPoint(0, menuHeight), size)) << what;
    EXPECT_EQ(panel->geometry(), QRect(QPoint(0, 0), size)) << what;
    EXPECT_EQ(status->geometry(),
              QRect(QPoint(0, menuHeight + size.height()), QSize(size.width(), status->height())))
        << what;
    EXPECT_GT(status->height(), 0) << what;
    EXPECT_EQ(window.size(), QSize(size.width(), size.height() + menuHeight + status->height()))
        << what;
}

struct ViewStep {
    QString menuText;  // empty: the identifier goes straight to the window, as other senders do
    int id;
    int width, height;
};

}  // namespace

TEST(EditorProgram, EveryViewCommandFitsTheWindowToThePanelAndQuitEndsCleanly) {
    ShellEnvironment environment;
    // Scales of the View menu; 40044 zooms to 200 %, 40033 and 40034 set 1024 x 400 and
    // 1024 x 800 pixels. The panel is as large as its background at each scale, 1024 x 800
    // with every coordinate c placed at trunc((c + 0.4999) x scale).
    const std::vector<ViewStep> steps = {
        {"130%", 40043, 1331, 1040}, {"100%", 40040, 1024, 800}, {"70%", 40037, 717, 560},
        {"80%", 40038, 819, 640},    {"90%", 40039, 922, 720},   {"110%", 40041, 1126, 880},
        {"120%", 40042, 1229, 960},  {"", 40044, 2048, 1600},    {"100%", 40040, 1024, 800},
        {"", 40033, 1024, 400},      {"", 40034, 1024, 800},
    };
    std::vector<std::string> seen;
    bool quitFound = false;
    const int code = RunProgram([&](Shell& shell) {
        MainWindow& window = *shell.Window();
        window.activateWindow();
        Settle();
        auto* graphics = dynamic_cast<Graphics*>(shell.Plugin()->Gui());
        ASSERT_NE(graphics, nullptr);
        QWidget* panel = static_cast<QWidget*>(graphics->NativeWindow());
        ASSERT_NE(panel, nullptr);
        const QPoint placed = window.pos();
        for (const ViewStep& step : steps) {
            if (step.menuText.isEmpty()) {
                window.HandleCommand(step.id);
            } else {
                QAction* action = MenuAction(window, step.menuText);
                ASSERT_NE(action, nullptr) << step.menuText.toStdString();
                action->trigger();
            }
            Settle();
            const std::string what = std::to_string(step.id);
            seen.push_back(what);
            EXPECT_EQ(graphics->Width(), step.width) << what;
            EXPECT_EQ(graphics->Height(), step.height) << what;
            EXPECT_EQ(panel->size(), QSize(step.width, step.height)) << what;
            ExpectWindowFitsPanel(window, panel, what);
            if (kRealWindows) {
                EXPECT_EQ(window.pos(), placed) << what << ": the window moved";
            }
        }
        // The grip in the lower right corner, dragged out and let go: the window follows.
        const QPoint grip(panel->width() - 4, panel->height() - 4);
        SendMouse(panel, QEvent::MouseButtonPress, grip);
        SendMouse(panel, QEvent::MouseMove, grip + QPoint(60, 60));
        SendMouse(panel, QEvent::MouseMove, grip + QPoint(100, 100));
        SendMouse(panel, QEvent::MouseButtonRelease, grip + QPoint(100, 100));
        Settle();
        EXPECT_GT(graphics->Width(), 1024);
        EXPECT_EQ(panel->size(), QSize(graphics->Width(), graphics->Height()));
        ExpectWindowFitsPanel(window, panel, "grip drag");
        if (kRealWindows) {
            EXPECT_EQ(window.pos(), placed) << "grip drag: the window moved";
        }
        QAction* quit = MenuAction(window, "&Quit");
        ASSERT_NE(quit, nullptr);
        quitFound = true;
        quit->trigger();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(quitFound);
    EXPECT_EQ(seen.size(), steps.size());
}

// The window manager resizes the window: once the resize rests the panel takes the largest zoom
// at which it fits, centred, and the window keeps the size it was given; within 50..200 %.
TEST(EditorProgram, WindowManagersResizeZoomsThePanelToFit) {
    ShellEnvironment environment;
    bool ran = false;
    const int code = RunProgram([&](Shell& shell) {
        MainWindow& window = *shell.Window();
        Settle();
        auto* graphics = dynamic_cast<Graphics*>(shell.Plugin()->Gui());
        ASSERT_NE(graphics, nullptr);
        QWidget* panel = static_cast<QWidget*>(graphics->NativeWindow());
        ASSERT_NE(panel, nullptr);
        const int bars = window.height() - window.centralWidget()->height();
        const struct {
            QSize client;
            QSize panel;
        } cases[] = {
            {{1636, 1200}, {1536, 1200}},  // 150 %, as high as the window
            {{768, 700}, {768, 600}},      // as wide as the window
            {{300, 200}, {512, 400}},      // never below 50 %, nor the window below it
        };
        for (const auto& c : cases) {
            window.resize(c.client.width(), c.client.height() + bars);
            QTest::qWait(MainWindow::kFitDelayMs + 150);
            Settle();
            EXPECT_EQ(panel->size(), c.panel) << c.client.width();
            EXPECT_EQ(QSize(graphics->Width(), graphics->Height()), c.panel);
            const QSize room = window.centralWidget()->size();
            EXPECT_EQ(room, c.client.expandedTo(QSize(512, 400))) << "the window keeps its size";
            EXPECT_EQ(panel->pos(), QPoint((room.width() - c.panel.width()) / 2,
                                           (room.height() - c.panel.height()) / 2));
        }
        ran = true;
        shell.Quit();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(ran);
}

// On a screen of 1280 x 1024 the panel never has the window reach past the screen's free
// area: the stored 200 % opens at the largest zoom that fits, the View menu offers only zooms
// that fit, and Zoom In and the grip stop at the largest.
TEST(EditorProgram, ZoomIsHeldToTheScreenWhateverAsksForIt) {
    ShellEnvironment environment;
    environment.WriteSettingsFile("[gui]\nguiscale=2.000000000000000\n");
    const std::string screens = environment.config.File("screens.json");
    TempDir::Write(screens, R"({"screens": [{"name": "small", "x": 0, "y": 0,)"
                            R"( "width": 1280, "height": 1024, "logicalDpi": 96}]})");
    ScopedEnv platform{"QT_QPA_PLATFORM", "offscreen:configfile=" + screens};
    bool ran = false;
    const int code = RunProgram([&](Shell& shell) {
        MainWindow& window = *shell.Window();
        Settle();
        auto* graphics = dynamic_cast<Graphics*>(shell.Plugin()->Gui());
        ASSERT_NE(graphics, nullptr);
        QWidget* panel = static_cast<QWidget*>(graphics->NativeWindow());
        ASSERT_NE(panel, nullptr);
        const QRect free = window.screen()->availableGeometry();
        ASSERT_EQ(free.size(), QSize(1280, 1024));
        const auto fits = [&](const std::string& what) {
            const QSize whole = window.frameGeometry().size();
            EXPECT_LE(whole.width(), free.width()) << what;
            EXPECT_LE(whole.height(), free.height()) << what;
            EXPECT_EQ(window.centralWidget()->size(), panel->size()) << what;
        };
        const QSize room = window.LargestClientArea();
        fits("at start");
        // Held by the frame as estimated before the window showed: close to the largest.
        EXPECT_LE(panel->height(), room.height());
        EXPECT_GE(panel->height(), room.height() - 40);
        EXPECT_EQ(TempDir::Read(environment.SettingsPath()).find("guiscale=2.0"),
                  std::string::npos);

        QAction* zoom100 = MenuAction(window, "100%");
        ASSERT_NE(zoom100, nullptr);
        zoom100->trigger();
        Settle();
        EXPECT_EQ(panel->size(), QSize(1024, 800));
        window.UpdateCommandStates();
        EXPECT_TRUE(MenuAction(window, "120%")->isEnabled());
        EXPECT_FALSE(MenuAction(window, "130%")->isEnabled());
        window.HandleCommand(40044);  // 200 %, not offered
        Settle();
        EXPECT_EQ(panel->size(), QSize(1024, 800));
        for (int i = 0; i < 4; ++i) {
            window.HandleCommand(40060);  // Zoom In
            Settle();
            fits("zoom in " + std::to_string(i));
        }
        EXPECT_EQ(panel->height(), room.height()) << "the largest zoom that fits";
        const QSize largest = panel->size();

        const QPoint grip(panel->width() - 4, panel->height() - 4);
        SendMouse(panel, QEvent::MouseButtonPress, grip);
        SendMouse(panel, QEvent::MouseMove, grip + QPoint(300, 300));
        SendMouse(panel, QEvent::MouseButtonRelease, grip + QPoint(300, 300));
        Settle();
        EXPECT_EQ(panel->size(), largest);
        fits("grip drag");
        ran = true;
        shell.Quit();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(ran);
}

TEST(EditorProgram, UndoRedoAndCompareFromTheKeysAndTheEditMenu) {
    ShellEnvironment environment;
    bool ran = false;
    const int code = RunProgram([&](Shell& shell) {
        MainWindow& window = *shell.Window();
        // The shortcuts work in the active window, as a user's keys do.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        Settle();
        auto* editor = dynamic_cast<OrvoEditor*>(shell.Plugin());
        ASSERT_NE(editor, nullptr);
        QWidget* panel =
            static_cast<QWidget*>(static_cast<Graphics*>(editor->Gui())->NativeWindow());
        QAction* undo = MenuAction(window, "&Undo");
        QAction* redo = MenuAction(window, "&Redo");
        QAction* compare = MenuAction(window, "&Compare");
        ASSERT_TRUE(undo && redo && compare);
        // What the Edit menu offers when it opens. The menu is told it is about to show, as it
        // is when it pops up; a real popup would take the keyboard focus from the main window,
        // which a window system without a window manager gives back whenever it gets to it.
        QMenu* edit = window.menuBar()->actions().at(1)->menu();
        auto offered = [&] {
            emit edit->aboutToShow();
            return std::vector<bool>{undo->isEnabled(), redo->isEnabled(), compare->isEnabled(),
                                     compare->isChecked()};
        };
        EXPECT_EQ(offered(), (std::vector<bool>{false, false, false, false}));

        // The "VCO1 volume" fader dragged up by its cap.
        const int index = ParamIndexOfPosition(11);
        const int start = IntValue(*editor->GetParam(index));
        const Rect cap =
            static_cast<OrvoPanel*>(editor->Panel())->PositionControl(11)->TargetRect();
        const QPoint at((cap.L + cap.R) / 2, cap.B - 4);
        SendMouse(panel, QEvent::MouseButtonPress, at);
        SendMouse(panel, QEvent::MouseMove, at - QPoint(0, 20));
        SendMouse(panel, QEvent::MouseMove, at - QPoint(0, 40));
        SendMouse(panel, QEvent::MouseButtonRelease, at - QPoint(0, 40));
        Settle();
        const int dragged = IntValue(*editor->GetParam(index));
        ASSERT_GT(dragged, start);

        // The key works at once, though the menu last showed nothing to undo.
        auto value = [&] { return IntValue(*editor->GetParam(index)); };
        QTest::keyClick(panel, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(value(), start) << "Ctrl+Z";
        EXPECT_EQ(offered(), (std::vector<bool>{false, true, false, false}));
        QTest::keyClick(panel, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(value(), dragged) << "Ctrl+Shift+Z";
        EXPECT_EQ(offered(), (std::vector<bool>{true, false, true, false}));
        QTest::keyClick(panel, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(panel, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(value(), dragged) << "Ctrl+Y";

        compare->trigger();
        EXPECT_EQ(value(), start);
        EXPECT_EQ(offered(), (std::vector<bool>{true, false, true, true}));
        compare->trigger();
        EXPECT_EQ(value(), dragged);
        ran = true;
        window.close();
    });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(ran);
}

TEST(EditorProgram, TheCloseBoxEndsCleanlyAndKeepsTheLastProgram) {
    ShellEnvironment environment;
    const int code = RunProgram([](Shell& shell) { shell.Window()->close(); });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(
        std::filesystem::exists(environment.config.Path() + "/OrvodyneEditor/lastprogram.prg"));
}

TEST(EditorProgram, ATerminationSignalQuitsAsTheMenuDoes) {
    ShellEnvironment environment;
    const int code = RunProgram([](Shell&) { std::raise(SIGTERM); });
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(
        std::filesystem::exists(environment.config.Path() + "/OrvodyneEditor/lastprogram.prg"));
}

TEST(EditorProgram, AFreshStartOffersTheVirtualOrvoOverTheShownWindow) {
    ShellEnvironment environment;
    QString offer;
    bool windowShown = false;
    const int code = RunProgram(
        [&](Shell& shell) {
            // The driver's turn comes inside the offer's own loop, the box up over the window.
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) return;
            offer = box->text();
            windowShown = shell.Window()->isVisible();
            for (QAbstractButton* button : box->buttons()) {
                if (button->text() == "Use the Virtual Orvo") button->click();
            }
        },
        true);
    EXPECT_EQ(code, Shell::kExitOk);
    EXPECT_TRUE(offer.startsWith("No MIDI ports are chosen for the Orvo yet."))
        << offer.toStdString();
    EXPECT_TRUE(windowShown);
    // The choice was taken and kept for the next start.
    const std::string settings = TempDir::Read(environment.SettingsPath());
    EXPECT_NE(settings.find("outdev=Virtual Orvo\n"), std::string::npos) << settings;
    EXPECT_NE(settings.find("firstStartOffer=done\n"), std::string::npos) << settings;
}

TEST(EditorProgram, AnErrorInTheLoopEndsWithAnErrorCode) {
    ShellEnvironment environment;
    const int code = RunProgram([](Shell&) { throw std::runtime_error("broken handler"); });
    EXPECT_EQ(code, Shell::kExitError);
}
