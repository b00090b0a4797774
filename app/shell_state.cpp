// The program-wide globals and their set-up and release.
#include "app/shell_state.h"

#include <utility>

std::unique_ptr<PrinterManager> printerManager;
TextList printerNames;
std::string savedDefaultPrinter;

namespace {
int releaseCount = 0;
}  // namespace

void InitShellState() {
    printerManager = std::make_unique<PrinterManager>();
    printerNames.clear();
}

void ReleaseShellState() {
    ++releaseCount;
    if (printerManager) {
        printerManager->Destroy();
        printerManager.reset();
    }
    // Swapped with empty ones so that their memory goes too.
    std::string().swap(savedDefaultPrinter);
    TextList().swap(printerNames);
}

int ShellStateReleaseCount() {
    return releaseCount;
}
