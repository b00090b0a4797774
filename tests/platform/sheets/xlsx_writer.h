// Writes generated .xlsx workbooks of any size (libzip) for tests and benchmarks: many sheets,
// many cells, a large shared-strings table, stored or deflated.
#pragma once

#include <string>

namespace sheets::testing {

struct XlsxShape {
    int sheets = 1;
    int rows = 1;            // of every sheet but the first
    int firstSheetRows = 1;  // the first sheet can be the large one
    int columns = 1;
    int sharedStrings = 1;  // cells in even columns name these in turn
    bool deflate = false;   // stored parts keep the file as large as its content
};

// Writes the workbook to `path`; false with `error` set when libzip fails.
bool WriteXlsx(const std::string& path, const XlsxShape& shape, std::string& error);

// The text SheetText gives for sheet `index` of such a workbook, for checking the reader.
std::string ExpectedText(const XlsxShape& shape, int index);

}  // namespace sheets::testing
