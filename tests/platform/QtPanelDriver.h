#pragma once

#include <QPoint>
#include <Qt>
#include <memory>

#include "TestPanel.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/QtTextRenderer.h"

class QApplication;
class QWidget;

// The Qt application of the offscreen tests and the review render, made once per process on
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

// The test panel in a Qt main window: core, panel and window, torn down in the right order.
struct QtTestPanel {
    template <typename GraphicsType>
    static std::unique_ptr<QtTestPanel> Make();

    ~QtTestPanel();
    QWidget* Panel() const;
    // Runs timer ticks (and posted events) until nothing is dirty, at most n of them.
    void Settle(int n = 4);

    std::unique_ptr<QWidget> window;
    std::unique_ptr<TestPanelCore> core;
    std::unique_ptr<TestPanel> panel;
    GraphicsQt* graphics = nullptr;
};

void OpenInWindow(QtTestPanel& test);

template <typename GraphicsType>
std::unique_ptr<QtTestPanel> QtTestPanel::Make() {
    OffscreenApp();
    auto test = std::make_unique<QtTestPanel>();
    test->core = std::make_unique<TestPanelCore>();
    test->graphics = new GraphicsType(test->core.get());
    test->panel = std::make_unique<TestPanel>(*test->core, test->graphics);
    OpenInWindow(*test);
    return test;
}
