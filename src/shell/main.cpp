#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("OrvoEditor");
    window.resize(1024, 800);
    window.show();
    return app.exec();
}
