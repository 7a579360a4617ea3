#pragma once

// orvo-prg library import|list|export: the editor's program library from the command line.
// args are what follows "library"; returns the exit status.
int RunLibraryCommand(int argc, char** argv);
