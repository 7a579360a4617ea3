#include "platform/qt/PanelWidget.h"

#include <utility>

#include <QCloseEvent>
#include <QCursor>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>

#include "gui/PanelKeys.h"
#include "platform/qt/GraphicsQt.h"

namespace {
int liveCount = 0;  // GUI thread only
}  // namespace

int PanelWidget::LiveCount() {
    return liveCount;
}

PanelWidget::PanelWidget(GraphicsQt& graphics, QWidget* parent, int periodMs)
    : QWidget(parent), graphics_(&graphics) {
    ++liveCount;
    setObjectName("OrvoPanel");
    // Every pixel comes from the draw bitmap; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (graphics_ != nullptr) graphics_->TimerTick();
    });
    timer_.start(periodMs);
}

PanelWidget::~PanelWidget() {
    timer_.stop();
    --liveCount;
}

void PanelWidget::Detach() {
    timer_.stop();
    graphics_ = nullptr;
}

int PanelWidget::PanelKeyFor(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Space:
            return kKeySpace;
        case Qt::Key_Up:
            return kKeyUp;
        case Qt::Key_Down:
            return kKeyDown;
        case Qt::Key_Left:
            return kKeyLeft;
        case Qt::Key_Right:
            return kKeyRight;
        case Qt::Key_Escape:
            return kKeyEscape;
        default:
            break;
    }
    // Qt reports letters as upper case whatever the shift state.
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return kKeyDigit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return kKeyLetterA + (qtKey - Qt::Key_A);
    return -1;
}

MouseKeys PanelWidget::KeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    MouseKeys keys;
    keys.L = buttons.testFlag(Qt::LeftButton);
    keys.R = buttons.testFlag(Qt::RightButton);
    keys.S = modifiers.testFlag(Qt::ShiftModifier);
    keys.C = modifiers.testFlag(Qt::ControlModifier);
    keys.A = modifiers.testFlag(Qt::AltModifier);
    return keys;
}

bool PanelWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && graphics_ != nullptr) {
        // The hover moment: show the tip of the control under the pointer (none: hide).
        if (graphics_->ShowTooltips()) {
            graphics_->ShowTooltipAt(static_cast<QHelpEvent*>(event)->globalPos());
        }
        return true;
    }
    return QWidget::event(event);
}

void PanelWidget::paintEvent(QPaintEvent* event) {
    if (graphics_ == nullptr) return;
    const QRect area = event->rect();
    if (area.isEmpty()) return;
    QPainter painter(this);
    graphics_->SetActivePainter(&painter);
    graphics_->DrawDirty({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    graphics_->SetActivePainter(nullptr);
    if (!painted_ && window()->isVisible()) {
        painted_ = true;
        emit FirstPainted();
    }
}

void PanelWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    update();
}

void PanelWidget::mousePressEvent(QMouseEvent* event) {
    if (graphics_ == nullptr) return;
    if (EntryHoldsFocus() && event->button() == Qt::MiddleButton) return;
    graphics_->HideTooltip();
    // A click on the panel closes an open value entry and goes no further, its release
    // included.
    if (graphics_->PressWhileEntryOpen()) {
        swallowRelease_ = true;
        return;
    }
    swallowRelease_ = false;
    setFocus(Qt::MouseFocusReason);
    captured_ = true;
    const QPoint at = event->position().toPoint();
    graphics_->MouseDown(at.x(), at.y(), KeysOf(event->buttons(), event->modifiers()));
}

void PanelWidget::mouseReleaseEvent(QMouseEvent* event) {
    // Every release reaches the panel, also the one after a double-click that no control
    // captured: a momentary button pressed by it must come up again.
    if (graphics_ == nullptr || std::exchange(swallowRelease_, false)) return;
    captured_ = false;
    const QPoint at = event->position().toPoint();
    graphics_->MouseUp(at.x(), at.y(), KeysOf(event->buttons(), event->modifiers()));
}

void PanelWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (graphics_ == nullptr) return;
    if (event->button() != Qt::LeftButton || graphics_->TextEntry() != nullptr) {
        mousePressEvent(event);
        return;
    }
    graphics_->HideTooltip();
    const QPoint at = event->position().toPoint();
    if (graphics_->MouseDoubleClick(at.x(), at.y(), KeysOf(event->buttons(), event->modifiers()))) {
        captured_ = true;
    }
}

// While the value entry has just taken the focus, the panel leaves everything but a press to
// the entry.
bool PanelWidget::EntryHoldsFocus() const {
    return graphics_ != nullptr && graphics_->TextEntry() != nullptr &&
           graphics_->EntryState() == GraphicsQt::kEntryFocused;
}

void PanelWidget::mouseMoveEvent(QMouseEvent* event) {
    if (graphics_ == nullptr || EntryHoldsFocus()) return;
    const QPoint at = event->position().toPoint();
    const MouseKeys keys = KeysOf(event->buttons(), event->modifiers());
    if (event->buttons() != Qt::NoButton) {
        if (captured_ && graphics_->TextEntry() == nullptr)
            graphics_->MouseDrag(at.x(), at.y(), keys);
        return;
    }
    if (!graphics_->MouseMove(at.x(), at.y(), keys)) return;
    if (graphics_->ShowTooltips() && graphics_->MouseOverIndex() != graphics_->TooltipIndex()) {
        graphics_->SetTooltipIndex(graphics_->MouseOverIndex());
        graphics_->HideTooltip();
    }
}

void PanelWidget::wheelEvent(QWheelEvent* event) {
    if (graphics_ == nullptr || EntryHoldsFocus()) return;
    if (graphics_->TextEntry() != nullptr) {
        graphics_->CancelTextEntry();
        return;
    }
    // Whole detents of 120; the smaller steps of fine-grained wheels and touchpads add up
    // instead of being lost.
    wheelRemainder_ += event->angleDelta().y();
    const int steps = wheelRemainder_ / 120;
    wheelRemainder_ -= steps * 120;
    if (steps == 0) return;
    const QPoint at = event->position().toPoint();
    graphics_->MouseWheel(at.x(), at.y(), KeysOf(event->buttons(), event->modifiers()), steps);
}

void PanelWidget::keyPressEvent(QKeyEvent* event) {
    const int key = PanelKeyFor(event->key());
    if (graphics_ == nullptr || key < 0 || EntryHoldsFocus()) {
        event->ignore();  // on to the main window
        return;
    }
    const QPoint at = mapFromGlobal(QCursor::pos());
    const MouseKeys keys = KeysOf(QGuiApplication::mouseButtons(), event->modifiers());
    if (graphics_->KeyDown(at.x(), at.y(), key, keys)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void PanelWidget::keyReleaseEvent(QKeyEvent* event) {
    event->ignore();
}

void PanelWidget::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (graphics_ == nullptr) return;
    graphics_->HideTooltip();
    graphics_->MouseLeave();
}

void PanelWidget::closeEvent(QCloseEvent* event) {
    event->accept();
    if (graphics_ != nullptr) graphics_->DestroyPanelWindow();
}
