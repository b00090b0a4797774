// The .xlsx family reader (.xlsx, .xlsm, .xltx, .xltm; transitional and strict): an Open Packaging
// zip whose workbook part is found through the package relationships.
#pragma once

#include <memory>

#include "platform/sheets/byte_source.h"
#include "platform/sheets/workbook_file.h"
#include "platform/sheets/zip_archive.h"

namespace sheets {

// Lists the sheets from the zip directory, the package relationships, the workbook part and its
// relationships, and nothing else; null with `error` set on failure.
std::unique_ptr<WorkbookFile> OpenXlsxWorkbook(std::shared_ptr<ByteSource> source,
                                               std::unique_ptr<ZipArchive> archive, Error& error);

}  // namespace sheets
