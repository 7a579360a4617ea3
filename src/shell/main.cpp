#include <QApplication>

#include "shell/Shell.h"

// The editor takes no command-line arguments.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Shell shell;
    return shell.Run();
}
