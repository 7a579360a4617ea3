// The floor of the editor's start-up: an empty Qt main window with a menu bar and a client area
// the size of the panel, which reports its first paint as the editor does (ORVO_REPORT_STARTUP).
// Nothing in it can be made faster than Qt itself.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "platform/qt/StartupReport.h"

namespace {

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 800;

class FloorClient : public QWidget {
public:
    explicit FloorClient(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kClientWidth, kClientHeight);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        painter.fillRect(event->rect(), QColor(40, 40, 40));
        if (painted_ || !window()->isVisible()) return;
        painted_ = true;
        const StartupReport::Mode mode = StartupReport::ModeFromEnvironment();
        if (mode == StartupReport::Mode::Off) return;
        StartupReport::Print(stderr, StartupReport::MsSinceProcessStart());
        if (mode == StartupReport::Mode::ReportAndQuit)
            QTimer::singleShot(0, window(), &QWidget::close);
    }

private:
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Start-up floor");
    for (const char* title : {"File", "MIDI", "View", "Help"})
        window.menuBar()->addMenu(title)->addAction("Quit", &window, &QWidget::close);
    window.setCentralWidget(new FloorClient(&window));
    window.show();
    return QApplication::exec();
}
