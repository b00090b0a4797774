// Excel's General number display, date and time formats, and the text layout of a sheet's used
// range. Numbers are rounded on their decimal digits, as Excel does, not on their binary value.
#include "platform/sheets/cell_text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/sheets/byte_source.h"
#include "platform/sheets/limits.h"

namespace sheets {

namespace {

// A positive number as decimal digits: value = 0.d1d2d3... × 10^(exponent + 1), i.e. the first
// digit stands for 10^exponent.
struct Decimal {
    std::string digits;  // no leading zeros; empty means zero
    int exponent = 0;
};

// The 15 significant digits Excel keeps.
Decimal ToDecimal(double magnitude) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", magnitude);
    Decimal d;
    const char* e = std::strchr(buffer, 'e');
    for (const char* p = buffer; p != e; ++p) {
        if (std::isdigit(static_cast<unsigned char>(*p))) {
            d.digits.push_back(*p);
        }
    }
    d.exponent = std::atoi(e + 1);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.exponent = 0;
    }
    return d;
}

// Rounds half away from zero to `count` significant digits; may carry into a new leading digit.
Decimal RoundSignificant(Decimal d, int count) {
    if (d.digits.empty() || count >= static_cast<int>(d.digits.size())) {
        return d;
    }
    if (count < 0) {
        return Decimal{};
    }
    const bool up = d.digits[static_cast<size_t>(count)] >= '5';
    d.digits.resize(static_cast<size_t>(count));
    if (up) {
        int i = count - 1;
        while (i >= 0 && d.digits[static_cast<size_t>(i)] == '9') {
            d.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[static_cast<size_t>(i)];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.exponent = 0;
    }
    return d;
}

std::string FixedText(const Decimal& d) {
    if (d.digits.empty()) {
        return "0";
    }
    std::string out;
    if (d.exponent >= 0) {
        const auto whole = static_cast<size_t>(d.exponent) + 1;
        out = d.digits.substr(0, std::min(whole, d.digits.size()));
        out.append(whole - out.size(), '0');
        if (d.digits.size() > whole) {
            out += '.';
            out += d.digits.substr(whole);
        }
    } else {
        out = "0.";
        out.append(static_cast<size_t>(-d.exponent - 1), '0');
        out += d.digits;
    }
    return out;
}

std::string ScientificText(const Decimal& d) {
    std::string out(1, d.digits[0]);
    if (d.digits.size() > 1) {
        out += '.';
        out += d.digits.substr(1);
    }
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "E%c%02d", d.exponent < 0 ? '-' : '+',
                  std::abs(d.exponent));
    return out + exponent;
}

}  // namespace

std::string FormatGeneral(double value) {
    if (!std::isfinite(value)) {
        return "#NUM!";
    }
    const Decimal exact = ToDecimal(std::fabs(value));
    if (exact.digits.empty()) {
        return "0";
    }
    const std::string sign = value < 0 ? "-" : "";
    const Decimal scientific = RoundSignificant(exact, 6);
    if (exact.exponent >= 11) {
        return sign + ScientificText(scientific);
    }
    // Eleven characters: the whole digits (at least "0"), the point, and the decimals that fit.
    const int whole = std::max(exact.exponent + 1, 1);
    const int decimals = std::max(10 - whole, 0);
    const Decimal fixed = RoundSignificant(exact, exact.exponent + 1 + decimals);
    if (fixed.exponent >= 11) {
        return sign + ScientificText(scientific);
    }
    if (exact.exponent < 0 && fixed.digits.size() < scientific.digits.size()) {
        return sign + ScientificText(scientific);
    }
    if (fixed.digits.empty()) {
        return "0";
    }
    return sign + FixedText(fixed);
}

namespace {

bool IsElapsedTag(std::string_view tag) {
    if (tag.empty()) {
        return false;
    }
    const char first = static_cast<char>(std::tolower(static_cast<unsigned char>(tag[0])));
    if (first != 'h' && first != 'm' && first != 's') {
        return false;
    }
    return std::all_of(tag.begin(), tag.end(), [first](char c) {
        return std::tolower(static_cast<unsigned char>(c)) == first;
    });
}

std::string_view FirstSection(std::string_view code) {
    bool quoted = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '\\') {
            ++i;
        } else if (!quoted && c == ';') {
            return code.substr(0, i);
        }
    }
    return code;
}

}  // namespace

bool IsDateFormat(std::string_view code) {
    code = FirstSection(code);
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            const size_t end = code.find('"', i + 1);
            if (end == std::string_view::npos) {
                return false;
            }
            i = end;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            const size_t end = code.find(']', i + 1);
            if (end == std::string_view::npos) {
                return false;
            }
            if (IsElapsedTag(code.substr(i + 1, end - i - 1))) {
                return true;
            }
            i = end;
        } else {
            switch (std::tolower(static_cast<unsigned char>(c))) {
                case 'd':
                case 'm':
                case 'y':
                case 'h':
                case 's':
                    return true;
                default:
                    break;
            }
        }
    }
    return false;
}

std::optional<std::string> BuiltInDateFormat(uint32_t id) {
    switch (id) {
        case 14:
            return "yyyy/m/d";
        case 15:
            return "d-mmm-yy";
        case 16:
            return "d-mmm";
        case 17:
            return "mmm-yy";
        case 18:
            return "h:mm AM/PM";
        case 19:
            return "h:mm:ss AM/PM";
        case 20:
            return "h:mm";
        case 21:
            return "h:mm:ss";
        case 22:
            return "yyyy/m/d h:mm";
        case 45:
            return "mm:ss";
        case 46:
            return "[h]:mm:ss";
        case 47:
            return "mm:ss.0";
        case 27:
        case 36:
        case 50:
        case 52:
        case 57:
            return "yyyy\"年\"m\"月\"";
        case 28:
        case 29:
        case 51:
        case 53:
        case 54:
        case 58:
            return "m\"月\"d\"日\"";
        case 30:
            return "m-d-yy";
        case 31:
            return "yyyy\"年\"m\"月\"d\"日\"";
        case 32:
            return "h\"时\"mm\"分\"";
        case 33:
            return "h\"时\"mm\"分\"ss\"秒\"";
        case 34:
        case 55:
            return "上午/下午h\"时\"mm\"分\"";
        case 35:
        case 56:
            return "上午/下午h\"时\"mm\"分\"ss\"秒\"";
        default:
            return std::nullopt;
    }
}

namespace {

constexpr const char* kMonths[] = {"January",   "February", "March",    "April",
                                   "May",       "June",     "July",     "August",
                                   "September", "October",  "November", "December"};
constexpr const char* kDays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                 "Thursday", "Friday", "Saturday"};

struct DateParts {
    int64_t year, month, day, weekday;  // weekday: 0 is Sunday
    int64_t hour, minute, second, millisecond;
    double elapsedDays;  // the whole serial, for [h], [m] and [s]
};

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = yoe + era * 400 + (m <= 2 ? 1 : 0);
}

std::string Padded(int64_t value, int width) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*lld", width, static_cast<long long>(value));
    return buffer;
}

enum class TokenKind { Literal, Year, Month, Minute, Day, Hour, Second, Fraction, AmPm, Elapsed };

struct Token {
    TokenKind kind;
    std::string text;  // a literal's text, an AM/PM marker as written, an elapsed tag's letter
    size_t width = 0;  // letters in the token, or decimals of a fraction
};

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::vector<Token> Tokenize(std::string_view code) {
    std::vector<Token> tokens;
    auto literal = [&tokens](std::string_view text) {
        if (!tokens.empty() && tokens.back().kind == TokenKind::Literal) {
            tokens.back().text += text;
        } else {
            tokens.push_back(Token{TokenKind::Literal, std::string(text)});
        }
    };
    constexpr std::string_view kChineseAmPm = "上午/下午";
    for (size_t i = 0; i < code.size();) {
        const char c = code[i];
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (c == '"') {
            size_t end = code.find('"', i + 1);
            if (end == std::string_view::npos) {
                end = code.size();
            }
            literal(code.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            if (i + 1 < code.size()) {
                literal(code.substr(i + 1, 1));
            }
            i += 2;
        } else if (c == '_') {
            literal(" ");
            i += 2;
        } else if (c == '*') {
            i += 2;
        } else if (c == '[') {
            size_t end = code.find(']', i + 1);
            if (end == std::string_view::npos) {
                end = code.size();
            }
            const std::string_view tag = code.substr(i + 1, end - i - 1);
            if (IsElapsedTag(tag)) {
                tokens.push_back(Token{TokenKind::Elapsed,
                                       std::string(1, static_cast<char>(std::tolower(
                                                          static_cast<unsigned char>(tag[0])))),
                                       tag.size()});
            } else if (tag.size() > 1 && tag[0] == '$') {
                // [$text-locale]: the text shows, the locale does not.
                literal(tag.substr(1, tag.find('-') == std::string_view::npos
                                          ? std::string_view::npos
                                          : tag.find('-') - 1));
            }
            i = end + 1;
        } else if (StartsWithNoCase(code.substr(i), "am/pm")) {
            tokens.push_back(Token{TokenKind::AmPm, std::string(code.substr(i, 5))});
            i += 5;
        } else if (StartsWithNoCase(code.substr(i), "a/p")) {
            tokens.push_back(Token{TokenKind::AmPm, std::string(code.substr(i, 3))});
            i += 3;
        } else if (code.substr(i, kChineseAmPm.size()) == kChineseAmPm) {
            tokens.push_back(Token{TokenKind::AmPm, std::string(kChineseAmPm)});
            i += kChineseAmPm.size();
        } else if (lower == 'y' || lower == 'e' || lower == 'm' || lower == 'd' || lower == 'h' ||
                   lower == 's') {
            size_t end = i;
            while (end < code.size() &&
                   std::tolower(static_cast<unsigned char>(code[end])) == lower) {
                ++end;
            }
            const size_t width = end - i;
            TokenKind kind = TokenKind::Year;
            switch (lower) {
                case 'm':
                    kind = TokenKind::Month;
                    break;
                case 'd':
                    kind = TokenKind::Day;
                    break;
                case 'h':
                    kind = TokenKind::Hour;
                    break;
                case 's':
                    kind = TokenKind::Second;
                    break;
                default:
                    break;
            }
            tokens.push_back(Token{kind, {}, lower == 'e' ? 4 : width});
            i = end;
        } else if (c == '.' && i + 1 < code.size() && code[i + 1] == '0' && !tokens.empty() &&
                   (tokens.back().kind == TokenKind::Second ||
                    (tokens.back().kind == TokenKind::Elapsed && tokens.back().text == "s"))) {
            size_t end = i + 1;
            while (end < code.size() && code[end] == '0') {
                ++end;
            }
            tokens.push_back(Token{TokenKind::Fraction, {}, std::min<size_t>(end - i - 1, 3)});
            i = end;
        } else {
            // Other characters stand for themselves, whole UTF-8 sequences at a time.
            size_t end = i + 1;
            while (end < code.size() && (static_cast<unsigned char>(code[end]) & 0xC0) == 0x80) {
                ++end;
            }
            if (c != '@' && c != ';') {
                literal(code.substr(i, end - i));
            }
            i = end;
        }
    }
    // "m" right after an hour or right before a second is minutes, not months.
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != TokenKind::Month || tokens[i].width > 2) {
            continue;
        }
        bool minute = false;
        for (size_t j = i; j-- > 0;) {
            if (tokens[j].kind == TokenKind::Literal) {
                continue;
            }
            minute = tokens[j].kind == TokenKind::Hour ||
                     (tokens[j].kind == TokenKind::Elapsed && tokens[j].text == "h");
            break;
        }
        for (size_t j = i + 1; !minute && j < tokens.size(); ++j) {
            if (tokens[j].kind == TokenKind::Literal) {
                continue;
            }
            minute = tokens[j].kind == TokenKind::Second ||
                     (tokens[j].kind == TokenKind::Elapsed && tokens[j].text == "s");
            break;
        }
        if (minute) {
            tokens[i].kind = TokenKind::Minute;
        }
    }
    return tokens;
}

}  // namespace

std::optional<std::string> FormatDateTime(double serial, std::string_view code, bool date1904) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466.0) {
        return std::nullopt;
    }
    const std::vector<Token> tokens = Tokenize(FirstSection(code));
    size_t fractionDigits = 0;
    bool twelveHour = false;
    for (const Token& token : tokens) {
        if (token.kind == TokenKind::Fraction) {
            fractionDigits = std::max(fractionDigits, token.width);
        }
        twelveHour = twelveHour || token.kind == TokenKind::AmPm;
    }
    // Round to the shown precision: whole seconds, or the fraction's digits.
    int64_t unitsPerSecond = 1;
    for (size_t i = 0; i < fractionDigits; ++i) {
        unitsPerSecond *= 10;
    }
    const auto units =
        static_cast<int64_t>(std::llround(serial * 86400.0 * static_cast<double>(unitsPerSecond)));
    const int64_t unitsPerDay = 86400 * unitsPerSecond;
    const int64_t days = units / unitsPerDay;
    const int64_t ofDay = units % unitsPerDay;

    DateParts p{};
    p.elapsedDays = static_cast<double>(units) / static_cast<double>(unitsPerDay);
    if (date1904) {
        CivilFromDays(days - 24107, p.year, p.month, p.day);
        p.weekday = (days + 5) % 7;
    } else if (days == 0) {
        p.year = 1900, p.month = 1, p.day = 0;  // Excel's "day zero"
        p.weekday = 6;
    } else if (days == 60) {
        p.year = 1900, p.month = 2, p.day = 29;  // Excel keeps Lotus's leap day
        p.weekday = 3;
    } else {
        CivilFromDays(days - (days < 60 ? 25568 : 25569), p.year, p.month, p.day);
        p.weekday = (days + 6) % 7;
    }
    const int64_t seconds = ofDay / unitsPerSecond;
    p.hour = seconds / 3600;
    p.minute = seconds / 60 % 60;
    p.second = seconds % 60;
    p.millisecond = ofDay % unitsPerSecond;

    std::string out;
    for (const Token& token : tokens) {
        const int width = static_cast<int>(std::min<size_t>(token.width, 2));
        switch (token.kind) {
            case TokenKind::Literal:
                out += token.text;
                break;
            case TokenKind::Year:
                out += token.width <= 2 ? Padded(p.year % 100, 2) : Padded(p.year, 4);
                break;
            case TokenKind::Month:
                if (token.width <= 2) {
                    out += Padded(p.month, width);
                } else if (token.width == 3) {
                    out += std::string(kMonths[p.month - 1]).substr(0, 3);
                } else if (token.width == 4) {
                    out += kMonths[p.month - 1];
                } else {
                    out += kMonths[p.month - 1][0];
                }
                break;
            case TokenKind::Minute:
                out += Padded(p.minute, width);
                break;
            case TokenKind::Day:
                if (token.width <= 2) {
                    out += Padded(p.day, width);
                } else if (token.width == 3) {
                    out += std::string(kDays[p.weekday]).substr(0, 3);
                } else {
                    out += kDays[p.weekday];
                }
                break;
            case TokenKind::Hour: {
                int64_t hour = p.hour;
                if (twelveHour) {
                    hour = hour % 12 == 0 ? 12 : hour % 12;
                }
                out += Padded(hour, width);
                break;
            }
            case TokenKind::Second:
                out += Padded(p.second, width);
                break;
            case TokenKind::Fraction: {
                std::string digits = Padded(p.millisecond, static_cast<int>(fractionDigits));
                out += "." + digits.substr(0, token.width);
                break;
            }
            case TokenKind::AmPm: {
                const bool pm = p.hour >= 12;
                if (token.text == "上午/下午") {
                    out += pm ? "下午" : "上午";
                } else if (token.text.size() == 3) {
                    out += pm ? token.text[2] : token.text[0];
                } else {
                    out += pm ? token.text.substr(3, 2) : token.text.substr(0, 2);
                }
                break;
            }
            case TokenKind::Elapsed: {
                const int64_t totalSeconds = days * 86400 + seconds;
                const int64_t value = token.text == "h"   ? totalSeconds / 3600
                                      : token.text == "m" ? totalSeconds / 60
                                                          : totalSeconds;
                out += Padded(value, width);
                break;
            }
        }
    }
    return out;
}

const std::string* NumberFormats::DateFormat(uint32_t xf) const {
    if (xf >= cellFormats_.size()) {
        return nullptr;
    }
    const uint32_t id = cellFormats_[xf];
    auto cached = dateCodes_.find(id);
    if (cached == dateCodes_.end()) {
        std::optional<std::string> date;
        if (auto code = codes_.find(id); code != codes_.end()) {
            if (IsDateFormat(code->second)) {
                date = code->second;
            }
        } else {
            date = BuiltInDateFormat(id);
        }
        cached = dateCodes_.emplace(id, std::move(date)).first;
    }
    return cached->second ? &*cached->second : nullptr;
}

std::string NumberFormats::NumberText(double value, uint32_t xf) const {
    if (const std::string* date = DateFormat(xf)) {
        if (auto text = FormatDateTime(value, *date, date1904_)) {
            return *text;
        }
    }
    return FormatGeneral(value);
}

const char* ErrorText(uint8_t code) {
    switch (code) {
        case 0x00:
            return "#NULL!";
        case 0x07:
            return "#DIV/0!";
        case 0x0F:
            return "#VALUE!";
        case 0x17:
            return "#REF!";
        case 0x1D:
            return "#NAME?";
        case 0x24:
            return "#NUM!";
        case 0x2B:
            return "#GETTING_DATA";
        default:
            return "#N/A";
    }
}

bool StringTable::Add(std::string_view text, Error& error) {
    if (ends_.size() >= limits::kMaxSharedStrings ||
        text_.size() + text.size() > limits::kMaxSharedStringBytes) {
        error = MakeError(Failure::TooLarge, "the shared strings are past our limits");
        return false;
    }
    text_ += text;
    ends_.push_back(text_.size());
    return true;
}

std::optional<std::string_view> StringTable::Get(uint64_t index) const {
    if (index >= ends_.size()) {
        return std::nullopt;
    }
    const uint64_t start = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(start, ends_[index] - start);
}

bool SheetGrid::Add(uint32_t row, uint32_t column, std::string_view text, Error& error) {
    if (row >= limits::kMaxRows || column >= limits::kMaxColumns) {
        error = MakeError(Failure::Corrupt, "a cell lies outside the sheet's grid");
        return false;
    }
    if (text.empty()) {
        return true;
    }
    if (cells_.size() >= limits::kMaxCells ||
        text_.size() + text.size() > limits::kMaxSheetTextBytes) {
        error = MakeError(Failure::TooLarge, "the sheet has more cells than we print");
        return false;
    }
    if (!cells_.empty()) {
        const Cell& last = cells_.back();
        if (row < last.row || (row == last.row && column <= last.column)) {
            ordered_ = false;
        }
    }
    cells_.push_back(Cell{row, column, text_.size(), text.size()});
    text_ += text;
    return true;
}

bool SheetGrid::Render(std::string& out, Error& error) {
    out.clear();
    if (cells_.empty()) {
        return true;
    }
    if (!ordered_) {
        std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) {
            return a.row != b.row ? a.row < b.row : a.column < b.column;
        });
        // Of cells at one place, the last one given wins.
        std::vector<Cell> unique;
        unique.reserve(cells_.size());
        for (const Cell& cell : cells_) {
            if (!unique.empty() && unique.back().row == cell.row &&
                unique.back().column == cell.column) {
                unique.back() = cell;
            } else {
                unique.push_back(cell);
            }
        }
        cells_.swap(unique);
        ordered_ = true;
    }
    uint32_t firstColumn = cells_.front().column;
    uint32_t lastColumn = firstColumn;
    uint64_t textBytes = 0;
    for (const Cell& cell : cells_) {
        firstColumn = std::min(firstColumn, cell.column);
        lastColumn = std::max(lastColumn, cell.column);
        textBytes += cell.length;
    }
    const uint64_t rows = cells_.back().row - cells_.front().row + 1ULL;
    const uint64_t columns = lastColumn - firstColumn + 1ULL;
    const uint64_t size = textBytes + rows * (columns - 1 + 2);
    if (size > limits::kMaxSheetTextBytes) {
        error = MakeError(Failure::TooLarge, "the sheet's used range is too large to print");
        return false;
    }
    out.reserve(size);
    uint32_t row = cells_.front().row;
    uint32_t column = firstColumn;
    for (const Cell& cell : cells_) {
        for (; row < cell.row; ++row) {
            out.append(lastColumn - column, '\t');
            out += "\r\n";
            column = firstColumn;
        }
        out.append(cell.column - column, '\t');
        column = cell.column;
        const size_t start = out.size();
        out.append(text_, cell.offset, cell.length);
        std::replace_if(
            out.begin() + static_cast<std::ptrdiff_t>(start), out.end(),
            [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    }
    out.append(lastColumn - column, '\t');
    out += "\r\n";
    return true;
}

}  // namespace sheets
