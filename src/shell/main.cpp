#include "shell/Application.h"

// The editor takes no command-line arguments.
int main(int argc, char** argv) {
    return RunEditor(argc, argv);
}
