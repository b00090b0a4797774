// The .xls reader: BIFF8 ("Workbook" stream) and BIFF5 ("Book" stream) workbooks in a compound
// file.
#pragma once

#include <memory>

#include "platform/sheets/byte_source.h"
#include "platform/sheets/compound_file.h"
#include "platform/sheets/workbook_file.h"

namespace sheets {

// Lists the sheets from the workbook globals (only up to the sheet records); null with `error`
// set on failure. The sheets' cells are read by SheetText.
std::unique_ptr<WorkbookFile> OpenXlsWorkbook(std::shared_ptr<ByteSource> source,
                                              std::unique_ptr<CompoundFile> file, Error& error);

}  // namespace sheets
