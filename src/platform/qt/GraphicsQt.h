#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <memory>
#include <string>

#include "gui/Graphics.h"

class QAction;
class QColorDialog;
class QFileDialog;
class QMenu;
class QMessageBox;
class QPainter;
class QWidget;
class PanelTextEntry;
class PanelWidget;

// The graphics core in a Qt child widget: the panel's window with its redraw timer, painting
// of dirty areas straight from the draw bitmap, the mapping of mouse, wheel and keys, the
// in-place value entry, pop-up menus, tooltips, choosers, message boxes, clipboard and cursor.
// Every modal step runs through one of the Exec operations, which tests override to answer
// without a person.
class GraphicsQt : public Graphics {
public:
    // The value entry's states, in the order they happen.
    enum EntryState : int {
        kEntryIdle = 0,
        kEntryFocused = 1,
        kEntryRepainted = 2,
        kEntryCancel = 3,
        kEntryCommit = 4,
    };

    explicit GraphicsQt(PluginBase* core);
    ~GraphicsQt() override;

    bool PresentToScreen(const Rect& rect) override;
    void CancelTextEntry() override;
    void ResizePanel(int width, int height) override;
    std::string BackendName() const override { return "Qt"; }
    int ShowMessage(const std::string& text, const std::string& caption, int type) override;
    PopupMenu* ShowPopupMenu(PopupMenu& menu, const Rect& rect) override;
    void OpenTextEntry(Control* control, const TextStyle& style, const Rect& rect,
                       const std::string& text, Parameter* param) override;
    std::string HostFolder() const override;
    std::string ModuleFolder() const override;
    std::string DesktopFolder() const override;
    std::string DocumentsFolder() const override;
    std::string AppDataFolder(bool shared) const override;
    bool PromptForFileName(std::string& name, int action, std::string& folder,
                           const std::string& extensions) override;
    bool PromptForFolder(std::string& folder, const std::string& title) override;
    bool ChooseColor(ColorARGB& colour, const std::string& prompt) override;
    bool OpenLink(const std::string& url, const std::string& caption,
                  const std::string& confirmText, const std::string& errorText) override;
    // A box with the path or the address, and buttons that open the file's folder or copy the
    // path or address to the clipboard.
    void ShowUnopenedAddress(const std::string& address) override;
    void* CreatePanelWindow(void* parent) override;
    void DestroyPanelWindow() override;
    void* NativeWindow() const override;
    bool ReadClipboardText(std::string& text) override;
    void HideCursor() override;
    void RestoreCursor() override;
    void SetCursorShape(int shape) override;

    // Whether a new panel size also resizes the widgets that hold the panel, up to its window
    // (on by default). Off while the panel is zoomed to fit a window the window manager sized.
    void SetResizesHosts(bool on) { resizesHosts_ = on; }

    // One tick of the redraw timer: finish a value entry, or collect and repaint the dirty area.
    void TimerTick();
    PanelWidget* Widget() const;
    PanelTextEntry* TextEntry() const;
    int EntryState() const { return entryState_; }
    void SetEntryState(int state) { entryState_ = state; }
    // A press on the panel while the entry is open: in its first state it cancels the entry,
    // after a repaint it commits it; an entry whose value was refused is cancelled. False when
    // no entry is open.
    bool PressWhileEntryOpen();
    // Why the edited control's parameter takes no such characters, in the editor's words.
    QString TypedRefusal(const QString& typed) const;
    // Where a tooltip stands; the widget keeps the rules of when it shows and hides.
    int TooltipIndex() const { return tooltipIndex_; }
    void SetTooltipIndex(int index) { tooltipIndex_ = index; }
    bool TooltipShown() const { return tooltipShown_; }
    void ShowTooltipAt(const QPoint& globalPos);
    void HideTooltip();

    // Process-wide count of open panel windows (panel widgets that exist).
    static int OpenWindowCount();

    // The painter of the paint event in progress, so presenting draws instead of scheduling.
    void SetActivePainter(QPainter* painter) { painter_ = painter; }

protected:
    // The modal steps. Each returns what the person chose.
    virtual QAction* ExecMenu(QMenu& menu, const QPoint& globalPos);
    virtual int ExecMessageBox(QMessageBox& box);
    // The chosen file, or an empty text on cancel.
    virtual QString ExecFileDialog(QFileDialog& dialog);
    // True on OK; the chosen colour is then the dialog's current colour.
    virtual bool ExecColorDialog(QColorDialog& dialog);
    virtual bool OpenUrl(const QString& url);

private:
    void CloseTextEntry();
    // False when the value was refused: the entry then stays open and says why.
    bool CommitTextEntry();
    QWidget* OwnerWindow() const;

    // Qt owns both (the main window the panel window, the panel window the entry) and may
    // destroy them first: the pointers go null then.
    QPointer<PanelWidget> widget_;
    QPointer<PanelTextEntry> entry_;
    Control* editedControl_ = nullptr;
    Parameter* editedParam_ = nullptr;
    int entryState_ = kEntryIdle;
    bool entryRefused_ = false;
    bool resizesHosts_ = true;
    bool tooltipShown_ = false;
    int tooltipIndex_ = -1;
    unsigned customColours_[16] = {};
    bool cursorHidden_ = false;
    QPoint savedCursor_{-1, -1};
    QPainter* painter_ = nullptr;
};
