// Reads Excel workbooks (the .xlsx family and .xls) for the spreadsheet stand-in: the sheet list as
// Excel's Sheets collection shows it, and one sheet's cells as printable text. Nothing here throws;
// every failure comes back as a value with a short reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace sheets {

class ByteSource;

enum class SheetKind { Worksheet, Chart, MacroSheet, DialogSheet };
enum class Visibility { Visible, Hidden, VeryHidden };

struct SheetInfo {
    std::string name;  // UTF-8
    SheetKind kind = SheetKind::Worksheet;
    Visibility visibility = Visibility::Visible;

    friend bool operator==(const SheetInfo&, const SheetInfo&) = default;
};

// The container the content turned out to be; the file name's extension plays no part.
enum class Format { Xlsx, Xls };

enum class Failure {
    None,
    Missing,       // no such file
    Unreadable,    // it exists but cannot be opened or read (a folder, no permission)
    Truncated,     // the file ends before its own structures say it should
    Encrypted,     // password-protected (.xls FILEPASS, or an encrypted .xlsx package)
    NotAWorkbook,  // some other kind of file, or a workbook format we do not read
    TooLarge,      // a part, a count or the sheet's text is past one of the limits in limits.h
    Corrupt,       // a workbook whose structures contradict themselves
    NoSuchSheet,   // SheetText with an index past Sheets()
};

// A failure and its short reason, e.g. {Truncated, "the workbook stream ends inside a record"}.
struct Error {
    Failure failure = Failure::None;
    std::string reason;
};

// "missing", "unreadable", ... : one word or two, for logs and tests.
const char* FailureName(Failure failure);

class WorkbookFile {
  public:
    // Opens a workbook by path and lists its sheets; null with `error` set on failure. Only the
    // parts that list the sheets are read now; the file stays open for SheetText.
    static std::unique_ptr<WorkbookFile> Open(const std::string& path, Error& error);
    // The same with only the reason, as the automation server reports it.
    static std::unique_ptr<WorkbookFile> Open(const std::string& path, std::string& error);
    // Opens a workbook held in memory (the bytes are copied).
    static std::unique_ptr<WorkbookFile> OpenMemory(std::span<const uint8_t> bytes, Error& error);

    virtual ~WorkbookFile();
    WorkbookFile(const WorkbookFile&) = delete;
    WorkbookFile& operator=(const WorkbookFile&) = delete;

    Format format() const { return format_; }

    // Every sheet in workbook order (worksheets, chart sheets, macro and dialog sheets, hidden ones
    // included), as Excel's Sheets collection lists them. A .xls VB module is not a sheet; a .xls
    // dialog sheet is listed as a worksheet, since its flag lives in the sheet's own records,
    // which listing does not read.
    const std::vector<SheetInfo>& Sheets() const { return sheets_; }

    // The used range of sheet `index` as text: one row a line, each line ending in CR LF (text
    // sent raw to a Windows printer needs both), cells separated by tabs, each cell as the user
    // sees it (see cell_text.h). An empty sheet gives "". A chart sheet's text is its name.
    // False with `error` set on failure; `text` is then empty. One call at a time per file.
    bool SheetText(size_t index, std::string& text, Error& error);
    bool SheetText(size_t index, std::string& text, std::string& error);

    // Bytes read from the file so far, by any part of the reader: shows that listing sheets reads
    // only the parts it needs.
    uint64_t BytesRead() const;

  protected:
    WorkbookFile(Format format, std::shared_ptr<ByteSource> source);

    // The cells of a worksheet, macro sheet or dialog sheet; `index` is valid and not a chart.
    virtual bool ReadSheetText(size_t index, std::string& text, Error& error) = 0;

    std::vector<SheetInfo> sheets_;

  private:
    Format format_;
    std::shared_ptr<ByteSource> source_;
};

}  // namespace sheets
