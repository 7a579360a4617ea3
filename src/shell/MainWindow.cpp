#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>

#include "plugin/PluginBase.h"
#include "shell/CommandEvent.h"
#include "shell/MenuTable.h"
#include "shell/ShellHooks.h"
#include "util/DebugPrint.h"

MainWindow::MainWindow(PluginBase* plugin, ShellHooks& hooks)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      plugin_(plugin),
      hooks_(hooks) {
    setWindowTitle("OrvoEditor");
    setCentralWidget(new QWidget(this));
    BuildMenu();
    connection_ = new QLabel(this);
    // The label never widens the window, whose width is the panel's. A passing note covers it
    // for a while, then it shows again.
    connection_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    statusBar()->addWidget(connection_, 1);
    // The window's size is the panel's; a grip would offer a resizing that does nothing.
    statusBar()->setSizeGripEnabled(false);
    SetClientSize(kTemplateWidth, kTemplateHeight);
}

void MainWindow::PrepareWidgets() {
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(menu::kMenuTitles[0]);
    menu->addAction(menu::kItems[0].text);
    window.statusBar()->addWidget(new QLabel(menu::kMenuTitles[0], &window), 1);
    window.ensurePolished();
    (void)window.menuBar()->sizeHint();
    (void)window.statusBar()->sizeHint();
}

void MainWindow::BuildMenu() {
    QMenu* menus[menu::kMenuCount];
    for (int i = 0; i < menu::kMenuCount; ++i) {
        menus[i] = menuBar()->addMenu(menu::kMenuTitles[i]);
        connect(menus[i], &QMenu::aboutToShow, this, &MainWindow::UpdateCommandStates);
    }
    for (int i = 0; i < menu::kItemCount; ++i) {
        const menu::Item& item = menu::kItems[i];
        if (item.text == nullptr) {
            menus[item.menu]->addSeparator();
            continue;
        }
        QAction* action = menus[item.menu]->addAction(item.text);
        action->setData(item.id);
        if (item.keys != nullptr) {
            action->setShortcuts(
                QKeySequence::listFromString(item.keys, QKeySequence::PortableText));
        }
        action->setCheckable(item.toggle);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { HandleCommand(id); });
        if (const std::optional<int> command = menu::EditorCommandFor(id)) {
            editorActions_.push_back({action, *command});
        }
    }
    // A key reaches an entry only while it is enabled: the entries follow the editor before
    // each key is matched against them, wherever the keyboard focus is.
    qApp->installEventFilter(this);
}

void MainWindow::UpdateCommandStates() {
    if (plugin_ == nullptr) return;
    for (const EditorAction& entry : editorActions_) {
        entry.action->setEnabled(plugin_->CommandEnabled(entry.command));
        if (entry.action->isCheckable())
            entry.action->setChecked(plugin_->CommandChecked(entry.command));
    }
}

void MainWindow::HandleCommand(int id) {
    switch (id) {
        case menu::kAbout:
            if (plugin_ == nullptr || !plugin_->DoCommand(kCommandAbout)) hooks_.ShowAboutBox(this);
            return;
        case menu::kPreferences:
            if (hooks_.RunPreferences(this) == 1) hooks_.WriteSettings();
            return;
        case menu::kMidiMonitor:
            hooks_.ShowMidiMonitor(this);
            return;
        case menu::kQuit:
            close();
            return;
        default:
            break;
    }
    const std::optional<EditorCommand> command = menu::EditorCommandFor(id);
    if (command && plugin_ != nullptr) plugin_->DoCommand(*command);
    UpdateCommandStates();
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == CommandEvent::EventType()) {
        HandleCommand(static_cast<CommandEvent*>(event)->Id());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!hooks_.MayClose(this)) {
        event->ignore();
        return;
    }
    event->accept();
    hooks_.MainWindowClosed();
}

void MainWindow::SetClientSize(int width, int height) {
    centralWidget()->setFixedSize(width, height);
    setFixedSize(width, height + menuBar()->sizeHint().height() + StatusBarHeight());
}

void MainWindow::PlaceOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int width = centralWidget()->width();
    const int screenWidth = screen ? screen->availableGeometry().width() : width;
    move(screenWidth / 2 - width / 2, 0);
}

int MainWindow::NonClientHeight() const {
    int frame = frameGeometry().height() - geometry().height();
    if (frame <= 0) {
        frame = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this) +
                2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    }
    return frame + menuBar()->sizeHint().height() + StatusBarHeight();
}

int MainWindow::StatusBarHeight() const {
    return statusBar()->sizeHint().height();
}

void MainWindow::SetConnectionText(const QString& text) {
    if (connection_->text() == text) return;
    connection_->setText(text);
    // The window is as wide as the panel; at a small zoom the line is cut, the tip shows it all.
    connection_->setToolTip(text);
}

QString MainWindow::ConnectionText() const {
    return connection_->text();
}

void MainWindow::ShowNote(const QString& note) {
    constexpr int kNoteShownMs = 10000;
    statusBar()->showMessage(note, kNoteShownMs);
}

void MainWindow::FollowPanel(QWidget* panel) {
    if (panel_ != nullptr) panel_->removeEventFilter(this);
    panel_ = panel;
    if (panel_ == nullptr) return;
    panel_->installEventFilter(this);
    SetClientSize(panel_->width(), panel_->height());
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) UpdateCommandStates();
    if (watched == panel_ && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        if (size != centralWidget()->size()) SetClientSize(size.width(), size.height());
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::BringToFront() {
    DebugPrint("another start: raising the main window");
    showNormal();
    raise();
    activateWindow();
}
