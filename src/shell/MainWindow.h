#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <vector>

class QAction;

class PluginBase;
class QLabel;
class QTimer;
class ShellHooks;

// The top-level window "Orvo Editor": the menu bar, the editor panel inside once it is attached,
// and a status bar below the panel that tells whether the unit is connected. The window follows
// the panel when the panel is zoomed from the menu or its grip; when the window manager resizes
// or maximises the window, the panel is zoomed to fit it (through the panel fitter), centred on
// a plain dark ground where the window is larger than the panel.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kTemplateWidth = 1024;
    static constexpr int kTemplateHeight = 800;
    static constexpr const char* kTitle = "Orvo Editor";

    MainWindow(PluginBase* plugin, ShellHooks& hooks);

    // Loads what the first main window needs from the window system, the fonts and the style
    // (the bulk of its making), by making and measuring a window like it that is never shown.
    static void PrepareWidgets();

    // A command identifier from the menu or any other sender: the shell's own commands here,
    // every other known one to the editor's DoCommand, unknown ones nowhere.
    void HandleCommand(int id);

    // Gives the client area (between the menu bar and the status bar) this size; the window
    // stays where it is.
    void SetClientSize(int width, int height);
    // What zooms the panel to fit a client area the window manager gave; called a moment after
    // the last resize of a run, so that a resize dragged by its edge zooms once it rests.
    void SetPanelFitter(std::function<void(const QSize&)> fitter) { fitPanel_ = std::move(fitter); }
    static constexpr int kFitDelayMs = 120;
    // Whether the panel's grip is being dragged: the window, growing with the panel, is then
    // kept on the screen.
    void SetGripDragQuery(std::function<bool()> dragging) { gripDragging_ = std::move(dragging); }
    // The smallest client area: the panel at its smallest zoom.
    static constexpr int kMinimumClientWidth = kTemplateWidth / 2;
    static constexpr int kMinimumClientHeight = kTemplateHeight / 2;
    // Left edge so that the client area is centred on the screen, top edge at the top. Done
    // once, when the window first shows.
    void PlaceOnScreen();
    // The window's height beyond its client area: the menu bar, the status bar, and the title
    // bar and borders that the desktop adds (estimated from the style until the window has
    // shown).
    int NonClientHeight() const;
    // The height the status bar takes below the client area.
    int StatusBarHeight() const;
    // The largest client area the free part of the window's screen has room for, with the
    // menu bar, the status bar and the frame the desktop adds (estimated until the window has
    // shown).
    QSize LargestClientArea() const;
    // What holds the panel's zoom to the room the screen has; called when the window has shown
    // with its frame, and whenever it moves to another screen or the screen's free area changes.
    void SetScreenFitter(std::function<void()> fitter);
    // The connection's state, shown in the status bar for as long as it holds.
    void SetConnectionText(const QString& text);
    QString ConnectionText() const;
    // What the status bar shows now: the connection, or a passing note.
    QString StatusText() const;
    // A passing note (a port that went or came back), shown over the connection for a while.
    void ShowNote(const QString& note);
    void BringToFront();
    // The title names the program on the panel: "Orvo Editor — NAME", or "Orvo Editor"
    // alone while the panel holds no named program.
    void ShowProgramName(const QString& name);
    // The client area takes the panel's size now and whenever the panel is zoomed.
    void FollowPanel(QWidget* panel);
    // The entries that issue editor commands are enabled only while the editor can act on
    // them, and checked while it reports them on.
    void UpdateCommandStates();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildMenu();
    void CentrePanel();
    void FollowScreen();
    void FitPanel();
    // Moves the window up and left as far as it reaches past the screen's free area, but never
    // past that area's top left.
    void KeepOnScreen();
    void ShowStatusText(const QString& text);

    struct EditorAction {
        QAction* action;
        int command;
    };
    std::vector<EditorAction> editorActions_;
    QWidget* panel_ = nullptr;
    std::function<void(const QSize&)> fitPanel_;
    std::function<bool()> gripDragging_;
    std::function<void()> fitToScreen_;
    QMetaObject::Connection windowFollowed_;
    QMetaObject::Connection screenFollowed_;
    QTimer fitTimer_;
    // While the panel is zoomed to the window, the window does not follow the panel.
    bool fittingPanel_ = false;
    QLabel* connection_ = nullptr;
    QString connectionText_;
    int oneLineBarHeight_ = 0;
    QTimer* noteTimer_ = nullptr;
    PluginBase* plugin_;
    ShellHooks& hooks_;
};
