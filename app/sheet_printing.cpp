// Printing sheets of the loaded workbook: the checked ones, or all of them. Each sheet prints with
// its own PrintOut, through a reference of its own that is let go right after.
#include <cstdint>

#include "app/main_window.h"
#include "platform/gui.h"

using namespace main_window;

void OnPrintCheckedClicked() {
    MainWindowComponents& parts = Components();
    if (parts.Excel工作簿1.SheetCount() == 0 || gui::CheckListItemCount(选择列表框1) < 1 ||
        gui::CheckListItemValue(选择列表框1, gui::CheckListCurrentItem(选择列表框1)) == -1) {
        return;
    }
    const int count = gui::CheckListItemCount(选择列表框1);
    for (int k = 0; k < count; ++k) {
        if (!gui::CheckListItemChecked(选择列表框1, k)) {
            continue;
        }
        parts.Excel工作簿1.CurrentSheetIndex(gui::CheckListItemValue(选择列表框1, k));
        parts.Excel工作簿1.ActivateCurrentSheet();
        AutomationObject sheet = parts.Excel工作簿1.GetCurrentSheetObject();
        sheet.CallMethod("PrintOut");
        sheet.Clear();
    }
}

void OnPrintAllClicked() {
    MainWindowComponents& parts = Components();
    if (parts.Excel工作簿1.SheetCount() == 0) {
        return;
    }
    const std::int32_t count = parts.Excel工作簿1.SheetCount();
    for (std::int32_t i = 1; i <= count; ++i) {
        parts.Excel工作簿1.CurrentSheetIndex(i);
        AutomationObject sheet = parts.Excel工作簿1.GetCurrentSheetObject();
        sheet.CallMethod("PrintOut");
        sheet.Clear();
    }
}
