// The bounds every workbook reader keeps to, so that a hostile file fails with TooLarge or Corrupt
// within bounded memory and time instead of exhausting either. Each is far above what Excel itself
// writes for a workbook people print.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sheets::limits {

constexpr uint64_t kMiB = 1024 * 1024;

// The file itself (Excel's own limit is 2 GB of workbook).
constexpr uint64_t kMaxFileBytes = 4096 * kMiB;
// Sheets in one workbook (BIFF8 counts them in 16 bits; nobody prints more).
constexpr size_t kMaxSheets = 10000;

// .xlsx: entries in the zip directory, and the uncompressed size of each part we read. The size
// is checked against the directory before inflating and again while inflating, since a zip bomb
// can lie in its directory.
constexpr uint64_t kMaxZipEntries = 100000;
constexpr uint64_t kMaxRelationshipsPartBytes = 8 * kMiB;
constexpr uint64_t kMaxWorkbookPartBytes = 64 * kMiB;
constexpr uint64_t kMaxStylesPartBytes = 64 * kMiB;
constexpr uint64_t kMaxSharedStringsPartBytes = 1024 * kMiB;
constexpr uint64_t kMaxSheetPartBytes = 2048 * kMiB;

// .xls: directory entries of the compound file, the depth of its directory tree, and the size of
// the workbook globals (the records before the first sheet).
constexpr size_t kMaxDirectoryEntries = 65536;
constexpr size_t kMaxDirectoryDepth = 64;
constexpr uint64_t kMaxGlobalsBytes = 512 * kMiB;

// Shared strings (both formats): how many, and their text in total.
constexpr size_t kMaxSharedStrings = 16 * 1024 * 1024;
constexpr uint64_t kMaxSharedStringBytes = 512 * kMiB;
// Number formats and cell formats (XF records, cellXfs) in one workbook.
constexpr size_t kMaxNumberFormats = 65536;
constexpr size_t kMaxCellFormats = 1024 * 1024;

// One sheet's cells: Excel's grid, the cells with a value (24 bytes each while a sheet is read),
// and the text produced for printing, some 50,000 pages (empty cells inside the used range count
// as their tab separators, so a sparse sheet spanning the grid is refused rather than printed as
// pages of tabs).
constexpr uint32_t kMaxRows = 1048576;
constexpr uint32_t kMaxColumns = 16384;
constexpr size_t kMaxCells = 8 * 1024 * 1024;
constexpr uint64_t kMaxSheetTextBytes = 128 * kMiB;

}  // namespace sheets::limits
