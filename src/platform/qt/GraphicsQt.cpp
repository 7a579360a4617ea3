#include "platform/qt/GraphicsQt.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFont>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegion>
#include <QStandardPaths>
#include <QThread>
#include <QToolTip>
#include <QUrl>
#include <QWindow>
#include <cstdlib>
#include <utility>
#include <vector>

#include "gui/FontCache.h"
#include "platform/qt/PanelTextEntry.h"
#include "platform/qt/PanelWidget.h"
#include "platform/qt/QtTextRenderer.h"
#include "platform/qt/UndecodableNamesList.h"
#include "plugin/Parameter.h"
#include "plugin/PluginBase.h"

namespace {

// The caption of the box that offers what the desktop could not open.
const char* const kUnopenedCaption = "Orvo Editor";

QString ToQt(const std::string& text) {
    return QString::fromUtf8(text.c_str());
}

QRect ToQt(const Rect& rect) {
    return QRect(rect.L, rect.T, rect.Width(), rect.Height());
}

// Gives a host widget a size, keeping a fixed-size window fixed.
void SetHostSize(QWidget* host, const QSize& size) {
    if (host->minimumSize() == host->maximumSize()) {
        host->setFixedSize(size);
    } else {
        host->resize(size);
    }
}

std::string WithSlash(const QString& folder) {
    std::string text = folder.toStdString();
    if (text.empty() || text.back() != '/') text += '/';
    return text;
}

}  // namespace

GraphicsQt::GraphicsQt(PluginBase* core) : Graphics(core) {}

GraphicsQt::~GraphicsQt() {
    HideTooltip();
    if (entry_ != nullptr) CloseTextEntry();
    // The panel window is gone already when its main window went first, as it does at quit.
    if (widget_ != nullptr) {
        widget_->Detach();
        delete widget_.data();
    }
}

PanelWidget* GraphicsQt::Widget() const {
    return widget_.data();
}

PanelTextEntry* GraphicsQt::TextEntry() const {
    return entry_.data();
}

int GraphicsQt::OpenWindowCount() {
    return PanelWidget::LiveCount();
}

// --- Window ---

void* GraphicsQt::CreatePanelWindow(void* parent) {
    QPoint position(0, 0);
    if (widget_ != nullptr) {
        position = widget_->pos();
        DestroyPanelWindow();
    }
    const int period = 1000 / (RefreshRate() > 0 ? RefreshRate() : kDefaultRefreshRate);
    widget_ = new PanelWidget(*this, static_cast<QWidget*>(parent), period);
    widget_->setGeometry(position.x(), position.y(), Width(), Height());
    widget_->show();
    widget_->setFocus(Qt::OtherFocusReason);
    MarkAllDirty();
    return widget_.data();
}

void GraphicsQt::DestroyPanelWindow() {
    HideTooltip();
    if (entry_ != nullptr) CloseTextEntry();
    if (widget_ == nullptr) return;
    widget_->Detach();
    widget_->hide();
    // May run inside the widget's own close event, so it goes once that has returned.
    widget_->deleteLater();
    widget_ = nullptr;
}

void* GraphicsQt::NativeWindow() const {
    return widget_.data();
}

QWidget* GraphicsQt::OwnerWindow() const {
    return widget_ != nullptr ? widget_->window() : nullptr;
}

void GraphicsQt::ResizePanel(int width, int height) {
    if (width == Width() && height == Height()) return;
    Graphics::ResizePanel(width, height);
    if (widget_ == nullptr) return;
    // The widgets that hold the panel, up to its window, keep what they hold beyond the panel
    // (the menu bar, say). Measured before the panel changes size and set as whole sizes, not
    // grown by the change, so that a host that follows the panel by itself is not grown twice.
    std::vector<std::pair<QWidget*, QSize>> hosts;
    const int hostKind = Core() != nullptr ? Core()->HostKind() : PluginBase::kHostStandalone;
    if (resizesHosts_ && hostKind != 1 && hostKind != 3) {
        for (QWidget* host = widget_->parentWidget(); host != nullptr;
             host = host->isWindow() ? nullptr : host->parentWidget()) {
            hosts.emplace_back(host, host->size() - widget_->size());
        }
    }
    widget_->resize(width, height);
    for (const auto& [host, extra] : hosts)
        SetHostSize(host, QSize(width, height) + extra);
    MarkAllDirty();
    widget_->repaint();
}

// --- Timer and painting ---

void GraphicsQt::TimerTick() {
    if (entry_ != nullptr && entryState_ != kEntryIdle) {
        switch (entryState_) {
            case kEntryFocused:
                // While the entry has the keyboard focus the panel does not draw at all: its
                // ticks wait until the entry is committed, cancelled or loses the focus.
                return;
            case kEntryCancel:
                CloseTextEntry();
                break;
            case kEntryCommit:
                if (CommitTextEntry()) CloseTextEntry();
                break;
            default:
                // After the panel was repainted around the entry, one tick passes without
                // drawing.
                entryState_ = kEntryIdle;
                break;
        }
        return;
    }
    Rect dirty;
    if (!CollectDirty(dirty) || widget_ == nullptr) return;
    const QWindow* window = widget_->window()->windowHandle();
    if (!widget_->isVisible() || window == nullptr || !window->isExposed()) {
        // A hidden or minimised window gets no paint events. The controls are drawn into the
        // bitmap all the same, so that they are clean again and the idle hook (which sends the
        // transfers' next requests) keeps being called.
        DrawDirty(dirty);
        return;
    }
    QRegion area(ToQt(dirty));
    if (entry_ != nullptr) {
        // The entry is a window of its own; the panel must not paint over it.
        area -= QRegion(entry_->geometry());
        widget_->repaint(area);
        entryState_ = kEntryRepainted;
    } else {
        widget_->repaint(area);
    }
}

bool GraphicsQt::PresentToScreen(const Rect& rect) {
    raster::SysBitmap* bitmap = DrawBitmap();
    if (widget_ == nullptr || bitmap == nullptr || !bitmap->HasPixels()) return true;
    if (painter_ == nullptr) {
        widget_->update(ToQt(rect));
        return true;
    }
    // The draw bitmap's pixels are already in Qt's 32-bit order; wrap them, copy nothing. The
    // panel is opaque on screen whatever alpha a pixel holds (controls blend into the bitmap
    // and may leave alpha below 255), so the alpha byte is ignored, as RGB32 does.
    const QImage image(reinterpret_cast<const uchar*>(bitmap->Pixels()), bitmap->Width(),
                       bitmap->Height(), bitmap->Span() * 4, QImage::Format_RGB32);
    const QRect area = ToQt(rect).intersected(image.rect());
    painter_->setCompositionMode(QPainter::CompositionMode_Source);
    painter_->drawImage(area.topLeft(), image, area);
    return true;
}

// --- Value entry ---

void GraphicsQt::OpenTextEntry(Control* control, const TextStyle& style, const Rect& rect,
                               const std::string& text, Parameter* param) {
    if (control == nullptr || entry_ != nullptr || widget_ == nullptr) return;
    entry_ = new PanelTextEntry(*this, param, widget_);
    editedControl_ = control;
    editedParam_ = param;
    entryState_ = kEntryIdle;
    entryRefused_ = false;
    entry_->setGeometry(rect.L, rect.T, rect.Width() + 1, rect.Height() + 1);
    // The entry's text has the size of the value text it stands over.
    entry_->setFont(QtTextRenderer::MakeQFont(FontCache::NativeFontOf(style)));
    static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    entry_->setAlignment(kAlign[style.align >= 0 && style.align <= 2 ? style.align : 1] |
                         Qt::AlignVCenter);
    QPalette palette = entry_->palette();
    const ColorARGB& back = style.entryBackground;
    const ColorARGB& fore = style.entryText;
    palette.setColor(QPalette::Base, QColor(back.R, back.G, back.B));
    palette.setColor(QPalette::Text, QColor(fore.R, fore.G, fore.B));
    entry_->setPalette(palette);
    entry_->setAutoFillBackground(true);
    entry_->setMaxLength(control->EntryLength());
    entry_->setText(ToQt(text));
    entry_->selectAll();
    entry_->show();
    entry_->setFocus(Qt::OtherFocusReason);
}

void GraphicsQt::CancelTextEntry() {
    entryState_ = kEntryCancel;
}

bool GraphicsQt::PressWhileEntryOpen() {
    if (entry_ == nullptr) return false;
    entryState_ = entryState_ == kEntryFocused || entryRefused_ ? kEntryCancel : kEntryCommit;
    return true;
}

QString GraphicsQt::TypedRefusal(const QString& typed) const {
    return ToQt(EntryRefusal(editedControl_, typed.toStdString()));
}

bool GraphicsQt::CommitTextEntry() {
    if (entry_ == nullptr) return true;
    const std::string text = entry_->text().left(32).toStdString();
    std::string refusal;
    if (CommitEntryText(editedControl_, editedParam_, text, &refusal)) return true;
    // Said in place; the entry stays open with its text chosen, for a better value. Escape or
    // a click on the panel closes it.
    entryRefused_ = true;
    entry_->ShowRefusal(ToQt(refusal));
    entry_->selectAll();
    entryState_ = entry_->hasFocus() ? kEntryFocused : kEntryIdle;
    return false;
}

void GraphicsQt::CloseTextEntry() {
    if (entry_ == nullptr) return;
    entry_->Detach();
    const bool hadFocus = entry_->hasFocus();
    delete entry_.data();
    editedControl_ = nullptr;
    editedParam_ = nullptr;
    entryState_ = kEntryIdle;
    entryRefused_ = false;
    if (hadFocus && widget_ != nullptr) widget_->setFocus(Qt::OtherFocusReason);
}

// --- Menus ---

namespace {

void BuildMenu(QMenu& target, const PopupMenu& menu) {
    for (int i = 0; i < menu.ItemCount(); ++i) {
        const PopupMenu::Item& item = menu.ItemAt(i);
        if (item.flags & PopupMenu::kItemSeparator) {
            target.addSeparator();
            continue;
        }
        const QString text = QString::fromStdString(menu.ShownText(i));
        if (item.submenu) {
            BuildMenu(*target.addMenu(text), *item.submenu);
            continue;
        }
        QAction* action = target.addAction(text);
        action->setData(menu.CommandOf(i));
        if (item.flags & (PopupMenu::kItemGrayed | PopupMenu::kItemDisabled)) {
            action->setEnabled(false);
        }
        if (item.flags & PopupMenu::kItemChecked) {
            action->setCheckable(true);
            action->setChecked(true);
        }
    }
}

}  // namespace

PopupMenu* GraphicsQt::ShowPopupMenu(PopupMenu& menu, const Rect& rect) {
    ClearCapture();
    menu.AssignCommands(1);
    QMenu shown(widget_);
    BuildMenu(shown, menu);
    const QPoint corner(rect.L, rect.B);
    const QPoint at = widget_ != nullptr ? widget_->mapToGlobal(corner) : corner;
    QAction* chosen = ExecMenu(shown, at);
    PopupMenu* owner = nullptr;
    if (chosen != nullptr && chosen->data().isValid()) owner = menu.Choose(chosen->data().toInt());
    if (widget_ != nullptr) {
        MarkAllDirty();
        widget_->update();
    }
    return owner;
}

QAction* GraphicsQt::ExecMenu(QMenu& menu, const QPoint& globalPos) {
    return menu.exec(globalPos);
}

// --- Message boxes, choosers, links ---

int GraphicsQt::ShowMessage(const std::string& text, const std::string& caption, int type) {
    if (QCoreApplication::instance() == nullptr) return kAnswerNone;
    if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
        // Boxes belong to the GUI thread; from elsewhere the request is posted and nobody
        // waits for the answer.
        QPointer<PanelWidget> widget = widget_;
        if (widget) {
            QMetaObject::invokeMethod(
                widget, [this, text, caption, type] { ShowMessage(text, caption, type); },
                Qt::QueuedConnection);
        }
        return kAnswerNone;
    }
    QMessageBox box(OwnerWindow());
    box.setWindowTitle(ToQt(caption));
    box.setText(ToQt(text));
    switch (type) {
        case kMessageError:
            box.setIcon(QMessageBox::Critical);
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case kMessageWarning:
        case kMessageWarningCancelDefault:
            box.setIcon(QMessageBox::Warning);
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            if (type == kMessageWarningCancelDefault) box.setDefaultButton(QMessageBox::Cancel);
            break;
        case kMessageQuestion:
            box.setIcon(QMessageBox::Question);
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        default:
            box.setIcon(QMessageBox::Information);
            box.setStandardButtons(QMessageBox::Ok);
            break;
    }
    switch (ExecMessageBox(box)) {
        case QMessageBox::Ok:
            return kAnswerOk;
        case QMessageBox::Cancel:
            return kAnswerCancel;
        case QMessageBox::Yes:
            return kAnswerYes;
        case QMessageBox::No:
            return kAnswerNo;
        default:
            return kAnswerNone;
    }
}

int GraphicsQt::ExecMessageBox(QMessageBox& box) {
    return box.exec();
}

bool GraphicsQt::PromptForFileName(std::string& name, int action, std::string& folder,
                                   const std::string& extensions) {
    if (widget_ == nullptr) {
        name.clear();
        return false;
    }
    QFileDialog dialog(OwnerWindow());
    // Load and Save alike open where the proposed file lies (the library keeps its choosers on
    // the library folder), else where the chooser was last, else in the documents folder.
    const size_t slash = name.rfind('/');
    std::string start = name.starts_with('/') ? name.substr(0, slash + 1) : folder;
    if (start.empty()) start = DocumentsFolder();
    dialog.setDirectory(ToQt(start));
    const std::string proposed = slash == std::string::npos ? name : name.substr(slash + 1);
    // A bare extension (a library folder without files) proposes no name.
    if (!proposed.empty() && !proposed.starts_with('.')) dialog.selectFile(ToQt(proposed));
    const QStringList list = ToQt(extensions).split(' ', Qt::SkipEmptyParts);
    if (!list.isEmpty()) {
        QStringList patterns;
        for (const QString& extension : list)
            patterns << "*." + extension;
        dialog.setNameFilter(patterns.join(';') + " (" + patterns.join(' ') + ")");
        dialog.setDefaultSuffix(list.first().left(15));
    }
    UndecodableNamesList* undecodable = nullptr;
    if (action == kFileSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        // Qt's own dialog, so that the files it cannot list are offered below it.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        undecodable = new UndecodableNamesList(dialog, list);
        undecodable->ShowFolder(dialog.directory().absolutePath());
    }
    const QString chosen = ExecFileDialog(dialog);
    if (undecodable != nullptr && !undecodable->Chosen().empty()) {
        name = undecodable->Chosen();
    } else if (chosen.isEmpty()) {
        name.clear();
        return false;
    } else {
        name = chosen.toStdString();
    }
    const size_t chosenSlash = name.rfind('/');
    folder = chosenSlash == std::string::npos ? std::string() : name.substr(0, chosenSlash + 1);
    return true;
}

QString GraphicsQt::ExecFileDialog(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

bool GraphicsQt::PromptForFolder(std::string& folder, const std::string& title) {
    if (widget_ == nullptr) return false;
    QFileDialog dialog(OwnerWindow(), ToQt(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    dialog.setDirectory(ToQt(folder.empty() ? DocumentsFolder() : folder));
    QString chosen = ExecFileDialog(dialog);
    if (chosen.isEmpty()) return false;
    while (chosen.size() > 1 && chosen.endsWith('/'))
        chosen.chop(1);
    folder = chosen.toStdString();
    return true;
}

bool GraphicsQt::ChooseColor(ColorARGB& colour, const std::string& prompt) {
    QColorDialog dialog(QColor(colour.R, colour.G, colour.B), OwnerWindow());
    dialog.setWindowTitle(ToQt(prompt));
    for (int i = 0; i < 16; ++i)
        QColorDialog::setCustomColor(i, QColor::fromRgb(customColours_[i]));
    const bool chosen = ExecColorDialog(dialog);
    for (int i = 0; i < 16; ++i)
        customColours_[i] = QColorDialog::customColor(i).rgb();
    if (!chosen) return false;
    const QColor picked = dialog.currentColor();
    colour.R = picked.red();
    colour.G = picked.green();
    colour.B = picked.blue();
    return true;
}

bool GraphicsQt::ExecColorDialog(QColorDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

bool GraphicsQt::OpenLink(const std::string& url, const std::string& caption,
                          const std::string& confirmText, const std::string& errorText) {
    if (!confirmText.empty() && ShowMessage(confirmText, caption, kMessageQuestion) != kAnswerYes) {
        return false;
    }
    if (OpenUrl(ToQt(url))) return true;
    if (!errorText.empty()) ShowMessage(errorText, caption, kMessageError);
    return false;
}

bool GraphicsQt::OpenUrl(const QString& url) {
    return QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

void GraphicsQt::ShowUnopenedAddress(const std::string& address) {
    const QString shown = ToQt(address);
    // A file's path starts at the root; anything else is a web address.
    const bool isFile = shown.startsWith('/');
    QMessageBox box(OwnerWindow());
    box.setWindowTitle(kUnopenedCaption);
    box.setIcon(QMessageBox::Warning);
    box.setTextFormat(Qt::PlainText);
    box.setText(isFile ? "This desktop has no program that opens the document."
                       : "This desktop has no web browser that opens the address.");
    box.setInformativeText(shown);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton* openFolder =
        isFile ? box.addButton("Open Folder", QMessageBox::ActionRole) : nullptr;
    QPushButton* copy =
        box.addButton(isFile ? "Copy Path" : "Copy Address", QMessageBox::ActionRole);
    box.addButton(QMessageBox::Close);
    box.setDefaultButton(copy);
    ExecMessageBox(box);
    const QString folder = shown.left(shown.lastIndexOf('/') + 1);
    if (box.clickedButton() == openFolder && openFolder != nullptr && !OpenUrl(folder)) {
        // The folder needs the same desktop that just failed; the path is kept for the user.
        QGuiApplication::clipboard()->setText(shown);
        ShowMessage(
            "The folder could not be opened either. The path is on the clipboard:\n" + address,
            kUnopenedCaption, kMessageDone);
    } else if (box.clickedButton() == copy) {
        QGuiApplication::clipboard()->setText(shown);
    }
}

// --- Folders, clipboard, cursor, tooltips ---

std::string GraphicsQt::HostFolder() const {
    return WithSlash(QCoreApplication::applicationDirPath());
}

std::string GraphicsQt::ModuleFolder() const {
    return HostFolder();
}

std::string GraphicsQt::DesktopFolder() const {
    return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation).toStdString();
}

std::string GraphicsQt::DocumentsFolder() const {
    // A home without a documents folder: the home itself.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (QDir(documents).exists()) return documents.toStdString();
    return QDir::homePath().toStdString();
}

std::string GraphicsQt::AppDataFolder(bool shared) const {
    if (shared) {
        const char* dirs = std::getenv("XDG_CONFIG_DIRS");
        std::string first = dirs != nullptr ? dirs : "";
        first = first.substr(0, first.find(':'));
        return first.empty() ? "/etc/xdg" : first;
    }
    return Graphics::AppDataFolder(false);
}

bool GraphicsQt::ReadClipboardText(std::string& text) {
    text.clear();
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard != nullptr ? clipboard->mimeData() : nullptr;
    if (data == nullptr || !data->hasText()) return false;
    text = data->text().toStdString();
    return true;
}

void GraphicsQt::HideCursor() {
    if (cursorHidden_) return;
    savedCursor_ = QCursor::pos();
    if (widget_ != nullptr) widget_->setCursor(Qt::BlankCursor);
    cursorHidden_ = true;
}

void GraphicsQt::RestoreCursor() {
    if (!cursorHidden_) return;
    QCursor::setPos(savedCursor_);
    if (widget_ != nullptr) widget_->unsetCursor();
    cursorHidden_ = false;
}

void GraphicsQt::SetCursorShape(int shape) {
    if (widget_ == nullptr || cursorHidden_) return;
    switch (shape) {
        case kCursorResizeDiagonal:
            widget_->setCursor(Qt::SizeFDiagCursor);
            break;
        case kCursorResizeHorizontal:
            widget_->setCursor(Qt::SizeHorCursor);
            break;
        case kCursorResizeVertical:
            widget_->setCursor(Qt::SizeVerCursor);
            break;
        default:
            widget_->setCursor(Qt::ArrowCursor);
            break;
    }
}

void GraphicsQt::ShowTooltipAt(const QPoint& globalPos) {
    const Control* control = GetControl(MouseOverIndex());
    const QString text = control != nullptr ? ToQt(control->Tooltip()) : QString();
    if (text.isEmpty()) {
        HideTooltip();
        return;
    }
    QToolTip::showText(globalPos, text, widget_);
    tooltipShown_ = true;
}

void GraphicsQt::HideTooltip() {
    if (!tooltipShown_) return;
    QToolTip::hideText();
    tooltipShown_ = false;
}
