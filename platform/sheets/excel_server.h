// The spreadsheet stand-in's automation server: registers "Excel.Application" in the in-process
// class registry, and keeps a log of the members invoked on its objects for tests.
#pragma once

#include <string>
#include <vector>

namespace sheets {

// Registers the server under "Excel.Application" (again, after a test replaced it).
void RegisterExcelApplication();

// "Object.Member" for every invocation since the last clear, e.g. "Sheets.Item", "Sheet.PrintOut".
std::vector<std::string> ServerCalls();
void ClearServerCalls();

}  // namespace sheets
