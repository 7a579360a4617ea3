#include "platform/qt/PanelTextEntry.h"

#include <algorithm>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>

#include "gui/ParamText.h"
#include "platform/qt/GraphicsQt.h"

PanelTextEntry::PanelTextEntry(GraphicsQt& graphics, const Parameter* param, QWidget* parent)
    : QLineEdit(parent), graphics_(&graphics), param_(param) {
    // Text may only come in through the keys filtered below.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
    setAcceptDrops(false);
    setFrame(false);
    // What was refused is said until the person types again.
    connect(this, &QLineEdit::textEdited, this, [this] { ShowRefusal(QString()); });
}

PanelTextEntry::~PanelTextEntry() {
    delete note_.data();
}

void PanelTextEntry::ShowRefusal(const QString& text) {
    if (text.isEmpty()) {
        if (note_ != nullptr) note_->hide();
        return;
    }
    if (note_ == nullptr) {
        note_ = new QLabel(parentWidget());
        note_->setObjectName("valueEntryNote");
        note_->setWordWrap(true);
        note_->setAttribute(Qt::WA_TransparentForMouseEvents);
        note_->setStyleSheet(
            "QLabel { background: #3a1414; color: #ffffff; border: 1px solid #e0603a;"
            " padding: 3px; }");
    }
    note_->setText(text);
    note_->setGeometry(NoteGeometry());
    note_->show();
    note_->raise();
}

QString PanelTextEntry::Refusal() const {
    return note_ != nullptr && !note_->isHidden() ? note_->text() : QString();
}

QRect PanelTextEntry::NoteGeometry() const {
    if (note_ == nullptr || parentWidget() == nullptr) return {};
    constexpr int kNoteWidth = 280;
    constexpr int kGap = 2;
    const QRect entry = geometry();
    const QSize panel = parentWidget()->size();
    const int width = std::min(std::max(kNoteWidth, entry.width()), panel.width());
    const int height = note_->heightForWidth(width);
    const int left = std::clamp(entry.center().x() - width / 2, 0, panel.width() - width);
    int top = entry.bottom() + 1 + kGap;
    if (top + height > panel.height()) top = std::max(0, entry.top() - kGap - height);
    return QRect(left, top, width, height);
}

void PanelTextEntry::RefuseCharacters(const QString& dropped) {
    QString why = graphics_ != nullptr ? graphics_->TypedRefusal(dropped) : QString();
    if (why.isEmpty()) why = tr("Only a number can be typed here.");
    ShowRefusal(why);
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
        const QString pasted = QGuiApplication::clipboard()->text();
        const QString kept = Filtered(pasted);
        if (kept != pasted) RefuseCharacters(pasted);
        insert(kept);
        event->accept();
        return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && Filtered(typed) != typed) {
        // Dropped; a character one can see is said so.
        if (typed.at(0).isPrint()) RefuseCharacters(typed);
        event->accept();
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
