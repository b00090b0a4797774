// ShellState: the program-wide globals of the window program. InitShellState sets them up at
// start-up; ReleaseShellState, an exit routine, takes them down once at program end.
#pragma once

#include <memory>
#include <string>

#include "printing/printer_manager.h"

// The one printer manager of the program; null before InitShellState and after ReleaseShellState.
extern std::unique_ptr<PrinterManager> printerManager;
// The printer names listed when the window was created.
extern TextList printerNames;
// The default printer when the window was created; restored when it is destroyed.
extern std::string savedDefaultPrinter;

// Creates the printer manager (no code of the class runs) and empties printerNames.
void InitShellState();
// Destroys and releases the printer manager, then releases savedDefaultPrinter and printerNames.
void ReleaseShellState();
// How many times ReleaseShellState has run in this process (for tests).
int ShellStateReleaseCount();
