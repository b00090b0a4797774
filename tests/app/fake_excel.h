// A small automation server registered as "Excel.Application" for window tests: workbooks are
// lists of sheet names by path, and every member invoked is logged as "Object.Member", so a test
// sees what the window asked of Excel and in which order.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fake_excel {

struct Server {
    // Paths that open, and their sheets in order; any other path fails as Excel's Open does.
    std::map<std::string, std::vector<std::string>> files;
    // "Application.Visible", "Workbooks.Open", "Sheet.PrintOut", ... since Install.
    std::vector<std::string> calls;
    // "<workbook name>/<sheet name>" for each PrintOut, in order.
    std::vector<std::string> printed;
    std::vector<std::string> openedPaths;  // the path argument of each Workbooks.Open
    int instances = 0;                     // Excel.Application objects created
    std::function<void()> onOpen;          // runs inside Workbooks.Open
};

// Registers the fake under "Excel.Application" with a fresh server; Uninstall puts the spreadsheet
// stand-in back.
Server& Install();
void Uninstall();

}  // namespace fake_excel
