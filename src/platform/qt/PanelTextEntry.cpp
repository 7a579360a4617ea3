#include "platform/qt/PanelTextEntry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include "gui/ParamText.h"
#include "platform/qt/GraphicsQt.h"

PanelTextEntry::PanelTextEntry(GraphicsQt& graphics, const Parameter* param, QWidget* parent)
    : QLineEdit(parent), graphics_(&graphics), param_(param) {
    // Text may only come in through the keys filtered below.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    setFrame(false);
}

void PanelTextEntry::SetState(int state) {
    if (graphics_ != nullptr) graphics_->SetEntryState(state);
}

QString PanelTextEntry::Filtered(const QString& text) const {
    QString kept;
    for (char32_t c : text.toUcs4()) {
        if (EntryAcceptsChar(param_, c)) kept += QString::fromUcs4(&c, 1);
    }
    return kept;
}

bool PanelTextEntry::event(QEvent* event) {
    if (graphics_ != nullptr) graphics_->HideTooltip();
    return QLineEdit::event(event);
}

void PanelTextEntry::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            SetState(GraphicsQt::kEntryCommit);
            event->accept();
            return;
        case Qt::Key_Escape:
            SetState(GraphicsQt::kEntryCancel);
            event->accept();
            return;
        case Qt::Key_Backspace:
            QLineEdit::keyPressEvent(event);
            return;
        default:
            break;
    }
    if (event->matches(QKeySequence::Paste)) {
        insert(Filtered(QGuiApplication::clipboard()->text()));
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && Filtered(typed) != typed) {
        event->accept();  // dropped
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void PanelTextEntry::focusInEvent(QFocusEvent* event) {
    SetState(GraphicsQt::kEntryFocused);
    QLineEdit::focusInEvent(event);
}

void PanelTextEntry::focusOutEvent(QFocusEvent* event) {
    // Focus moving elsewhere commits what was typed.
    SetState(GraphicsQt::kEntryCommit);
    QLineEdit::focusOutEvent(event);
}
