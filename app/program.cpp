// Start-up and shutdown of the window program, in their fixed order.
#include "app/program.h"

#include "app/main_window.h"
#include "app/shell_state.h"
#include "platform/gui.h"

int RunProgram() {
    if (!gui::Initialize()) {
        return 1;
    }
    InitShellState();
    gui::AddExitRoutine(ReleaseShellState);
    const bool loaded = LoadMainWindow();
    if (loaded) {
        gui::RunMessageLoop();
    }
    gui::RunExitRoutines();
    return loaded ? 0 : 1;
}
