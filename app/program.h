// The window program's start-up and shutdown, kept out of main() so that tests can run them.
#pragma once

// Starts the GUI runtime and the program state, shows the main window, dispatches messages until
// it has been destroyed, then runs the exit routines. Returns the process's exit code.
int RunProgram();
