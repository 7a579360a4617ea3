#include "shell/Application.h"

// orvo-editor [FILE.prg]: see CommandLine for what it takes.
int main(int argc, char** argv) {
    return RunEditor(argc, argv);
}
