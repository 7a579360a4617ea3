#include "shell/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QWindow>

#include <algorithm>

#include "plugin/PluginBase.h"
#include "shell/CommandEvent.h"
#include "shell/MenuTable.h"
#include "shell/ShellHooks.h"
#include "util/DebugPrint.h"

MainWindow::MainWindow(PluginBase* plugin, ShellHooks& hooks)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                               Qt::WindowCloseButtonHint),
      plugin_(plugin),
      hooks_(hooks) {
    setWindowTitle(kTitle);
    auto* ground = new QWidget(this);
    // Where the window is larger than the panel, a plain ground of the panel's darkest colour.
    ground->setAutoFillBackground(true);
    QPalette palette = ground->palette();
    palette.setColor(QPalette::Window, QColor(0x14, 0x15, 0x18));
    ground->setPalette(palette);
    ground->setMinimumSize(kMinimumClientWidth, kMinimumClientHeight);
    setCentralWidget(ground);
    fitTimer_.setSingleShot(true);
    fitTimer_.setInterval(kFitDelayMs);
    connect(&fitTimer_, &QTimer::timeout, this, &MainWindow::FitPanel);
    BuildMenu();
    connection_ = new QLabel(this);
    // The label never widens the window, whose width is the panel's: in a narrow window its
    // line wraps and the status bar grows by the lines it needs. A passing note takes its
    // place for a while, then it shows again.
    connection_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    statusBar()->addWidget(connection_, 1);
    oneLineBarHeight_ = statusBar()->sizeHint().height();
    connection_->setWordWrap(true);
    noteTimer_ = new QTimer(this);
    noteTimer_->setSingleShot(true);
    connect(noteTimer_, &QTimer::timeout, this, [this] { ShowStatusText(connectionText_); });
    // The panel has its own grip, in the same corner.
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
        case menu::kUseVirtualOrvo:
            hooks_.UseVirtualOrvo();
            return;
        case menu::kMidiMonitor:
            hooks_.ShowMidiMonitor(this);
            return;
        case menu::kProgramLibrary:
            hooks_.ShowLibrary(this);
            return;
        case menu::kBank:
            hooks_.ShowBank(this);
            return;
        case menu::kControllerAssignments:
            hooks_.ShowControllerAssignments(this);
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
    centralWidget()->resize(width, height);
    statusBar()->setFixedHeight(StatusBarHeight());
    resize(width, height + menuBar()->sizeHint().height() + StatusBarHeight());
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    CentrePanel();
    // A size the window did not take from the panel came from the window manager.
    if (panel_ != nullptr && !fittingPanel_ && fitPanel_ &&
        centralWidget()->size() != panel_->size())
        fitTimer_.start();
}

void MainWindow::FitPanel() {
    if (panel_ == nullptr || !fitPanel_ || centralWidget()->size() == panel_->size()) return;
    fittingPanel_ = true;
    fitPanel_(centralWidget()->size());
    fittingPanel_ = false;
    CentrePanel();
}

void MainWindow::KeepOnScreen() {
    const QScreen* shown = screen();
    if (shown == nullptr) return;
    const QRect free = shown->availableGeometry();
    // The frame's size as it will be once the window has taken its new size.
    const QRect frame = frameGeometry();
    const QSize extra = frame.size() - geometry().size();
    const QSize whole = size() + extra;
    int x = frame.x(), y = frame.y();
    if (x + whole.width() > free.right() + 1)
        x = std::max(free.left(), free.right() + 1 - whole.width());
    if (y + whole.height() > free.bottom() + 1)
        y = std::max(free.top(), free.bottom() + 1 - whole.height());
    if (x != frame.x() || y != frame.y()) move(x, y);
}

void MainWindow::CentrePanel() {
    if (panel_ == nullptr) return;
    const QSize room = centralWidget()->size();
    panel_->move(std::max(0, (room.width() - panel_->width()) / 2),
                 std::max(0, (room.height() - panel_->height()) / 2));
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

QSize MainWindow::LargestClientArea() const {
    const QScreen* shown = screen();
    if (shown == nullptr) return {};
    int sides = frameGeometry().width() - geometry().width();
    if (sides <= 0) sides = 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    const QSize free = shown->availableGeometry().size();
    return {free.width() - sides, free.height() - NonClientHeight()};
}

void MainWindow::SetScreenFitter(std::function<void()> fitter) {
    fitToScreen_ = std::move(fitter);
    FollowScreen();
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FollowScreen();
    // The frame the desktop adds is known once the window is up.
    QTimer::singleShot(0, this, [this] {
        if (fitToScreen_) fitToScreen_();
    });
}

void MainWindow::FollowScreen() {
    if (!fitToScreen_ || windowHandle() == nullptr) return;
    if (!windowFollowed_) {
        windowFollowed_ = connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            FollowScreen();
            fitToScreen_();
        });
    }
    static_cast<void>(disconnect(screenFollowed_));
    if (QScreen* shown = windowHandle()->screen()) {
        screenFollowed_ =
            connect(shown, &QScreen::availableGeometryChanged, this, [this] { fitToScreen_(); });
    }
}

int MainWindow::StatusBarHeight() const {
    // The bar's own height holds one line; a wrapped text adds the height of its other lines.
    const int oneLine = connection_->fontMetrics().lineSpacing();
    // The bar's margins and the label's frame, with room to spare.
    constexpr int kBarMargins = 16;
    const int textWidth = centralWidget()->width() - kBarMargins;
    const int wrapped = connection_->heightForWidth(std::max(textWidth, oneLine));
    return oneLineBarHeight_ + std::max(wrapped - oneLine, 0);
}

void MainWindow::SetConnectionText(const QString& text) {
    if (connectionText_ == text) return;
    connectionText_ = text;
    if (!noteTimer_->isActive()) ShowStatusText(text);
}

QString MainWindow::ConnectionText() const {
    return connectionText_;
}

QString MainWindow::StatusText() const {
    return connection_->text();
}

void MainWindow::ShowNote(const QString& note) {
    constexpr int kNoteShownMs = 10000;
    ShowStatusText(note);
    noteTimer_->start(kNoteShownMs);
}

void MainWindow::ShowStatusText(const QString& text) {
    if (connection_->text() == text) return;
    const int before = StatusBarHeight();
    connection_->setText(text);
    // More or fewer lines: the window keeps the panel's size and fits the bar around it.
    if (StatusBarHeight() != before)
        SetClientSize(centralWidget()->width(), centralWidget()->height());
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
        // Zoomed from the menu or the grip, the window takes the panel's size; zoomed to fit
        // the window, the panel is only centred in it.
        if (!fittingPanel_ && size != centralWidget()->size() && !isMaximized() &&
            !isFullScreen()) {
            SetClientSize(size.width(), size.height());
            if (gripDragging_ && gripDragging_()) KeepOnScreen();
        }
        CentrePanel();
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowProgramName(const QString& name) {
    setWindowTitle(name.isEmpty() ? QString(kTitle) : QString(kTitle) + " \u2014 " + name);
}

void MainWindow::BringToFront() {
    DebugPrint("another start: raising the main window");
    showNormal();
    raise();
    activateWindow();
}
