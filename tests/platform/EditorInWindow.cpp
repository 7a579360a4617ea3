#include "EditorInWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include "QtPanelDriver.h"
#include "editor/OrvoEditor.h"
#include "editor/OrvoPanel.h"
#include "gui/GuiLayoutStore.h"
#include "gui/GuiResize.h"
#include "library/MakePlugin.h"
#include "platform/qt/GraphicsQt.h"
#include "platform/qt/PanelWidget.h"

EditorInWindow::EditorInWindow(GraphicsFactory makeGraphics) {
    OffscreenApp();
    // The stored layout is the process's: each test's panel starts from the editor's own.
    GuiLayoutStore::Process().Clear();
    if (!makeGraphics) makeGraphics = [](PluginBase* core) { return new GraphicsQt(core); };
    SetGraphicsFactory(std::move(makeGraphics));
    editor_.reset(MakePlugin(&port_, &channel_, SettingsPath()));
    SetGraphicsFactory({});
    graphics_ = dynamic_cast<GraphicsQt*>(editor_->Gui());
    EXPECT_NE(graphics_, nullptr) << "the panel was not built on the Qt window layer";
    window_ = std::make_unique<QWidget>();
    window_->setWindowTitle("OrvoEditor");
    window_->resize(graphics_->Width(), graphics_->Height());
    graphics_->CreatePanelWindow(window_.get());
    editor_->Resize()->ApplyAtOpening();
    window_->show();
    Settle();
}

EditorInWindow::~EditorInWindow() {
    // In the program's order: the window (and the panel window in it) first, then the editor.
    window_.reset();
    editor_.reset();
    // The image cache is the process's: leave it as the next test expects to find it.
    Graphics::ReleaseCaches();
    GuiLayoutStore::Process().Clear();
}

OrvoPanel& EditorInWindow::Panel() const {
    return *static_cast<OrvoPanel*>(editor_->Panel());
}

QWidget* EditorInWindow::Widget() const {
    return graphics_->Widget();
}

int EditorInWindow::Value(int position) const {
    return IntValue(*editor_->GetParam(ParamIndexOfPosition(position)));
}

QPoint EditorInWindow::Reach(const Control& control) const {
    const Rect& target = control.TargetRect();
    // From the middle outwards, so that the point lies well inside the control.
    const int cx = (target.L + target.R) / 2, cy = (target.T + target.B) / 2;
    for (int dy = 0; dy <= target.Height() / 2; ++dy) {
        for (int y : {cy - dy, cy + dy}) {
            for (int dx = 0; dx <= target.Width() / 2; ++dx) {
                for (int x : {cx - dx, cx + dx}) {
                    if (target.Contains(x, y) && graphics_->HitControl(x, y) == control.ListIndex())
                        return {x, y};
                }
            }
        }
    }
    return {-1, -1};
}

QPoint EditorInWindow::Reach(int position) const {
    const Control* control = Panel().PositionControl(position);
    return control != nullptr ? Reach(*control) : QPoint(-1, -1);
}

bool EditorInWindow::Activate() {
    window_->raise();
    window_->activateWindow();
    QApplication::setActiveWindow(window_.get());
    return QTest::qWaitForWindowActive(window_.get(), 2000);
}

void EditorInWindow::Settle(int n) {
    for (int i = 0; i < n; ++i) {
        QCoreApplication::processEvents();
        graphics_->TimerTick();
    }
}

void EditorInWindow::RunFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}
