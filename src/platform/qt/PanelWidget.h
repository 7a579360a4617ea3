#pragma once

#include <QTimer>
#include <QWidget>

#include "gui/MouseKeys.h"

class GraphicsQt;

// The panel's child window. Its timer drives all redrawing; its events become the graphics
// core's entry points in panel coordinates (the widget is exactly as large as the panel).
class PanelWidget : public QWidget {
    Q_OBJECT

public:
    PanelWidget(GraphicsQt& graphics, QWidget* parent, int periodMs);
    ~PanelWidget() override;

    // The panel's key code for a Qt key, or -1 for keys the panel leaves to the main window.
    static int PanelKeyFor(int qtKey);
    static MouseKeys KeysOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

    QTimer& Timer() { return timer_; }
    // How many panel widgets exist in the process.
    static int LiveCount();
    // The graphics object is going away: no more calls into it.
    void Detach();

signals:
    // The panel has been painted on screen for the first time, its window shown.
    void FirstPainted();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool EntryHoldsFocus() const;

    GraphicsQt* graphics_;
    QTimer timer_;
    bool captured_ = false;        // a press went to the panel and its release has not come yet
    bool swallowRelease_ = false;  // the press closed a value entry: its release goes nowhere
    int wheelRemainder_ = 0;
    bool painted_ = false;
};
