// The printer part of the window: the printer list at start-up with the default chosen, making the
// chosen printer the default, and the print-setup dialog.
#include <cstdint>
#include <string>

#include "app/main_window.h"
#include "app/shell_state.h"
#include "platform/gui.h"
#include "platform/spooler.h"

using namespace main_window;

void OnWindowCreated() {
    Components().拖放对象1.RegisterWindow(gui::GetWindowHandle(kWindow));
    printerManager->ListPrinters(printerNames);
    savedDefaultPrinter = printerManager->GetDefaultPrinter();
    // The default is asked for afresh for every printer; each one equal to it becomes the choice,
    // so the last equal one stays chosen.
    for (const std::string& name : printerNames) {
        const int index = gui::ComboAddItem(组合框1, name);
        if (printerManager->GetDefaultPrinter() == name) {
            gui::SetComboCurrentItem(组合框1, index);
        }
    }
}

void OnSetDefaultPrinterClicked() {
    // No chosen printer gives the empty name, which lets the spooler choose the default.
    printerManager->SetDefaultPrinter(gui::ComboItemText(组合框1, gui::ComboCurrentItem(组合框1)));
}

void OnPrinterSetupClicked() {
    ShowPrintSetupDialog();
}

std::int32_t ShowPrintSetupDialog() {
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.Flags = PD_PRINTSETUP;
    return static_cast<std::int32_t>(PrintDlgA(&dialog));
}
