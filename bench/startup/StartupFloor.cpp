// The floor of the editor's start-up: an empty Qt main window with a menu bar and a client area
// the size of the panel at a zoom (the first argument, 1 when none), which reports its first paint
// as the editor does (ORVO_REPORT_STARTUP). Nothing in it can be made faster than Qt itself.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

#include "platform/qt/StartupReport.h"

namespace {

constexpr int kClientWidth = 1024;
constexpr int kClientHeight = 800;

class FloorClient : public QWidget {
public:
    FloorClient(QWidget* parent, double zoom) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(static_cast<int>(kClientWidth * zoom), static_cast<int>(kClientHeight * zoom));
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
    const double zoom = argc > 1 ? std::atof(argv[1]) : 1.0;
    window.setCentralWidget(new FloorClient(&window, zoom > 0 ? zoom : 1.0));
    window.show();
    return QApplication::exec();
}
