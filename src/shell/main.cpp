#include <QApplication>

#include "platform/qt/QtPlatform.h"
#include "shell/Shell.h"

// The editor takes no command-line arguments.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QtPlatform platform;
    Shell shell;
    return shell.Run();
}
