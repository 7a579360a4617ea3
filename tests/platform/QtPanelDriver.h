#pragma once

#include <QPoint>
#include <QString>
#include <Qt>

class QApplication;
class QWidget;

// The Qt application of the offscreen tests and the GUI benchmarks, made once per process on
// the offscreen platform unless another platform is asked for, with the Qt text renderer.
QApplication& OffscreenApp();

// Sends synthetic input to a widget the way the window system would.
namespace synth {
void Press(QWidget* widget, QPoint at, Qt::MouseButton button,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Move(QWidget* widget, QPoint at, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Release(QWidget* widget, QPoint at, Qt::MouseButton button,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void DoubleClick(QWidget* widget, QPoint at);
void Wheel(QWidget* widget, QPoint at, int angleDelta,
           Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void Key(QWidget* widget, int key, const QString& text = {});
void Drag(QWidget* widget, QPoint from, QPoint to,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier);
}  // namespace synth
