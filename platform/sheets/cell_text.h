// How a cell's value reads on paper: numbers in Excel's General format, dates and times by their
// number format, and the grid of one sheet's used range laid out as tab-separated lines.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sheets/workbook_file.h"

namespace sheets {

// A number as Excel's General format shows it in a cell: at most 11 characters of digits and
// point (so 10 or 11 significant digits), rounded half away from zero from the 15 digits Excel
// keeps; scientific with up to 6 significant digits ("1.23457E+11") from 1E+11 up, and for small
// numbers whenever the fixed form would show fewer significant digits ("1.23457E-05", "1E-10").
std::string FormatGeneral(double value);

// Whether a number format code shows a date or a time: it has d, m, y, h or s outside quoted
// text, escapes and [...] tags, or an elapsed-time tag such as [h]. Only the first section counts.
bool IsDateFormat(std::string_view code);

// The code of a built-in number format that shows a date or time, as a Simplified Chinese Excel
// shows it (id 14 is "yyyy/m/d"; 27-36 and 50-58 are the Chinese date formats); nullopt for the
// other ids, which we show as General.
std::optional<std::string> BuiltInDateFormat(uint32_t id);

// A date serial number shown by a date/time format code. Month and day names are English; AM/PM
// and 上午/下午 markers give a 12-hour clock. Nullopt when the serial is outside Excel's dates
// (before 0 or after 9999-12-31), which the caller shows as a number.
std::optional<std::string> FormatDateTime(double serial, std::string_view code, bool date1904);

// The number formats of one workbook: format codes by id and the format id of each cell format
// (XF), answering the text of a number stored with a given cell format.
class NumberFormats {
  public:
    void AddFormat(uint32_t id, std::string code) { codes_[id] = std::move(code); }
    void AddCellFormat(uint32_t formatId) { cellFormats_.push_back(formatId); }
    size_t CellFormatCount() const { return cellFormats_.size(); }
    size_t FormatCount() const { return codes_.size(); }
    void SetDate1904(bool date1904) { date1904_ = date1904; }

    // `value` as a cell whose cell format index is `xf` shows it; an unknown index is General.
    std::string NumberText(double value, uint32_t xf) const;
    // The date format code for cell format `xf`, or nullptr when it is not a date format.
    const std::string* DateFormat(uint32_t xf) const;
    bool date1904() const { return date1904_; }

  private:
    std::unordered_map<uint32_t, std::string> codes_;
    std::vector<uint32_t> cellFormats_;
    mutable std::unordered_map<uint32_t, std::optional<std::string>> dateCodes_;  // by format id
    bool date1904_ = false;
};

// A workbook's shared strings, kept back to back in one buffer.
class StringTable {
  public:
    // False with TooLarge past the limits on shared strings.
    bool Add(std::string_view text, Error& error);
    // The string at `index`, or nullopt when there is none.
    std::optional<std::string_view> Get(uint64_t index) const;
    size_t Size() const { return ends_.size(); }

  private:
    std::string text_;
    std::vector<uint64_t> ends_;
};

// Excel's error values by their BIFF codes (0x07 → "#DIV/0!"); "#N/A" for an unknown code.
const char* ErrorText(uint8_t code);

// The cells of one sheet with a value, in any order, laid out as the text of the used range: the
// smallest rectangle holding every cell that shows something. Cells that are empty or only
// formatted do not widen it, so a stray format at the grid's far corner does not make a page of
// tabs. A later value for the same cell replaces an earlier one.
class SheetGrid {
  public:
    // `row` and `column` count from 0. False with TooLarge or Corrupt when the cell is outside
    // Excel's grid or past the limits on cells and text.
    bool Add(uint32_t row, uint32_t column, std::string_view text, Error& error);
    // Lines end in CR LF, cells are separated by tabs; tabs and line breaks inside a cell become
    // spaces so that a cell stays in its column and row.
    bool Render(std::string& out, Error& error);

  private:
    struct Cell {
        uint32_t row;
        uint32_t column;
        uint64_t offset;
        uint64_t length;
    };
    std::vector<Cell> cells_;
    std::string text_;
    bool ordered_ = true;
};

}  // namespace sheets
