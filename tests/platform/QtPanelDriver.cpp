#include "QtPanelDriver.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <cstdlib>

#include "platform/qt/QtTextRenderer.h"
#include "raster/TextRenderer.h"

QApplication& OffscreenApp() {
    static QApplication* app = [] {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int argc = 1;
        static char name[] = "orvo-panel-test";
        static char* argv[] = {name, nullptr};
        auto* made = new QApplication(argc, argv);
        static QtTextRenderer renderer;
        raster::SetTextRenderer(&renderer);
        return made;
    }();
    return *app;
}

namespace synth {

namespace {

void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    const QPointF local(at);
    QMouseEvent event(type, local, widget->mapToGlobal(local), button, buttons, modifiers);
    QCoreApplication::sendEvent(widget, &event);
}

}  // namespace

void Press(QWidget* widget, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    Mouse(widget, QEvent::MouseButtonPress, at, button, button, modifiers);
}

void Move(QWidget* widget, QPoint at, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    Mouse(widget, QEvent::MouseMove, at, Qt::NoButton, buttons, modifiers);
}

void Release(QWidget* widget, QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    Mouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
}

void DoubleClick(QWidget* widget, QPoint at) {
    Press(widget, at, Qt::LeftButton);
    Release(widget, at, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    Release(widget, at, Qt::LeftButton);
}

void Wheel(QWidget* widget, QPoint at, int angleDelta, Qt::KeyboardModifiers modifiers) {
    const QPointF local(at);
    QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, angleDelta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(widget, &event);
}

void Key(QWidget* widget, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(widget, &release);
}

void Drag(QWidget* widget, QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
    Press(widget, from, Qt::LeftButton, modifiers);
    // In a few steps, as a hand would move it.
    for (int step = 1; step <= 4; ++step) {
        const QPoint at = from + (to - from) * step / 4;
        Move(widget, at, Qt::LeftButton, modifiers);
    }
    Release(widget, to, Qt::LeftButton, modifiers);
}

}  // namespace synth
