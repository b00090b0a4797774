// SpreadsheetML packages: relationships lead from the package to the workbook part and from it to
// the sheets, shared strings and styles. Sheets and shared strings are streamed through the XML
// reader, so memory follows the text kept, not the size of the parts.
#include "platform/sheets/xlsx_workbook.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/sheets/cell_text.h"
#include "platform/sheets/limits.h"
#include "platform/sheets/text_codec.h"
#include "platform/sheets/xml_reader.h"

namespace sheets {

namespace {

constexpr std::string_view kMainNamespaces[] = {
    "http://schemas.openxmlformats.org/spreadsheetml/2006/main",
    "http://purl.oclc.org/ooxml/spreadsheetml/main",
};
constexpr std::string_view kRelationshipNamespaces[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships",
    "http://purl.oclc.org/ooxml/officeDocument/relationships",
};
// Relationship types are these prefixes followed by a name such as "worksheet".
constexpr std::string_view kRelationshipTypePrefixes[] = {
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/",
    "http://purl.oclc.org/ooxml/officeDocument/relationships/",
    "http://schemas.microsoft.com/office/2006/relationships/",
};

template <size_t N>
bool OneOf(std::string_view value, const std::string_view (&set)[N]) {
    for (const std::string_view candidate : set) {
        if (value == candidate) {
            return true;
        }
    }
    return false;
}

// "worksheet" for any of the known spellings of the worksheet relationship type; "" otherwise.
std::string_view RelationshipKind(std::string_view type) {
    for (const std::string_view prefix : kRelationshipTypePrefixes) {
        if (type.starts_with(prefix)) {
            return type.substr(prefix.size());
        }
    }
    return {};
}

struct Relationship {
    std::string type;
    std::string target;  // a part name, resolved, with a leading slash
};
using Relationships = std::map<std::string, Relationship>;

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
            out.push_back(
                static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
            i += 2;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// A target relative to the part `source` ("/xl/workbook.xml") as a part name ("/xl/...").
std::string ResolveTarget(const std::string& source, std::string_view target) {
    std::string path = target.starts_with("/")
                           ? std::string(target)
                           : source.substr(0, source.rfind('/') + 1) + std::string(target);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& part : parts) {
        resolved += "/" + part;
    }
    return PercentDecoded(resolved);
}

// "/xl/workbook.xml" → "/xl/_rels/workbook.xml.rels".
std::string RelationshipsPartOf(const std::string& part) {
    const size_t slash = part.rfind('/');
    return part.substr(0, slash + 1) + "_rels/" + part.substr(slash + 1) + ".rels";
}

// Excel writes characters XML cannot hold as _xHHHH_ (and a literal "_x" as _x005F_x).
std::string DecodeEscapes(std::string_view text) {
    if (text.find("_x") == std::string_view::npos) {
        return std::string(text);
    }
    auto hex = [](std::string_view digits, uint32_t& value) {
        value = 0;
        for (const char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) {
                return false;
            }
            value = value * 16 +
                    static_cast<uint32_t>(std::isdigit(c) ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        return true;
    };
    std::string out;
    for (size_t i = 0; i < text.size();) {
        uint32_t unit = 0;
        if (text.substr(i, 2) == "_x" && i + 7 <= text.size() && text[i + 6] == '_' &&
            hex(text.substr(i + 2, 4), unit)) {
            i += 7;
            uint32_t low = 0;
            if (unit >= 0xD800 && unit <= 0xDBFF && text.substr(i, 2) == "_x" &&
                i + 7 <= text.size() && text[i + 6] == '_' && hex(text.substr(i + 2, 4), low) &&
                low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 7;
            }
            AppendUtf8(out, unit);
        } else {
            out.push_back(text[i++]);
        }
    }
    return out;
}

template <class T>
bool ParseNumber(std::string_view text, T& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '+')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

// "AB12" → column 27 and row 11, both counted from 0.
bool ParseReference(std::string_view reference, uint32_t& row, uint32_t& column) {
    size_t i = 0;
    uint64_t col = 0;
    while (i < reference.size() && std::isalpha(static_cast<unsigned char>(reference[i]))) {
        col = col * 26 + static_cast<uint64_t>((reference[i] | 0x20) - 'a' + 1);
        if (col > limits::kMaxColumns) {
            return false;
        }
        ++i;
    }
    uint64_t number = 0;
    if (i == 0 || i == reference.size() || !ParseNumber(reference.substr(i), number) ||
        number == 0 || number > limits::kMaxRows) {
        return false;
    }
    column = static_cast<uint32_t>(col - 1);
    row = static_cast<uint32_t>(number - 1);
    return true;
}

// An ISO 8601 date and time ("2024-03-15T13:45:00") as a serial number.
std::optional<double> IsoDateSerial(std::string_view text, bool date1904) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (text.size() < 10 || text[4] != '-' || text[7] != '-' ||
        !ParseNumber(text.substr(0, 4), year) || !ParseNumber(text.substr(5, 2), month) ||
        !ParseNumber(text.substr(8, 2), day)) {
        return std::nullopt;
    }
    if (text.size() >= 16 && text[10] == 'T') {
        if (!ParseNumber(text.substr(11, 2), hour) || !ParseNumber(text.substr(14, 2), minute)) {
            return std::nullopt;
        }
        if (text.size() >= 19) {
            size_t end = 17;
            while (end < text.size() &&
                   (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) {
                ++end;
            }
            ParseNumber(text.substr(17, end - 17), second);
        }
    }
    // Days from 1970-01-01 of the civil date.
    const int y = month <= 2 ? year - 1 : year;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const double days = era * 146097.0 + doe - 719468;
    double serial = date1904 ? days + 24107 : days + 25569;
    if (!date1904 && serial < 61) {
        serial -= 1;  // before Excel's 1900-02-29
    }
    return serial + (hour * 3600 + minute * 60 + second) / 86400.0;
}

class XlsxWorkbook final : public WorkbookFile {
  public:
    XlsxWorkbook(std::shared_ptr<ByteSource> source, std::unique_ptr<ZipArchive> archive)
        : WorkbookFile(Format::Xlsx, std::move(source)), zip_(std::move(archive)) {}

    bool List(Error& error) {
        Relationships package;
        if (!ReadRelationships("/_rels/.rels", "/", package, error)) {
            return false;
        }
        const Relationship* office = nullptr;
        for (const auto& [id, relationship] : package) {
            if (RelationshipKind(relationship.type) == "officeDocument") {
                office = &relationship;
                break;
            }
        }
        if (office == nullptr) {
            error = MakeError(Failure::NotAWorkbook, "the package has no office document");
            return false;
        }
        workbookPart_ = office->target;
        if (workbookPart_.ends_with(".bin")) {
            error = MakeError(Failure::NotAWorkbook, "a binary workbook (.xlsb) is not read");
            return false;
        }
        Relationships parts;
        if (!ReadRelationships(RelationshipsPartOf(workbookPart_), workbookPart_, parts, error)) {
            if (error.failure != Failure::Missing) {
                return false;
            }
        }
        for (const auto& [id, relationship] : parts) {
            const std::string_view kind = RelationshipKind(relationship.type);
            if (kind == "styles") {
                stylesPart_ = relationship.target;
            } else if (kind == "sharedStrings") {
                sharedStringsPart_ = relationship.target;
            }
        }
        return ReadWorkbookPart(parts, error);
    }

  protected:
    bool ReadSheetText(size_t index, std::string& text, Error& error) override {
        if (!styles_ && !ReadStyles(error)) {
            return false;
        }
        if (!strings_ && !ReadSharedStrings(error)) {
            return false;
        }
        std::unique_ptr<ZipPartStream> stream =
            OpenPart(sheetParts_[index], true, limits::kMaxSheetPartBytes, error);
        if (stream == nullptr) {
            return false;
        }
        SheetGrid grid;
        if (!ReadCells(*stream, grid, error)) {
            return false;
        }
        return grid.Render(text, error);
    }

  private:
    // A part by name; a missing part fails with Missing when `required` is false, so callers
    // can tell an absent optional part from a broken one.
    std::unique_ptr<ZipPartStream> OpenPart(const std::string& part, bool required, uint64_t limit,
                                            Error& error) {
        const auto entry = zip_->Find(part.substr(1));
        if (!entry) {
            error = MakeError(required ? Failure::Corrupt : Failure::Missing,
                              "the workbook lacks its part " + part);
            return nullptr;
        }
        return zip_->OpenPart(*entry, limit, error);
    }

    bool ReadRelationships(const std::string& part, const std::string& source, Relationships& out,
                           Error& error) {
        const auto entry = zip_->Find(part.substr(1));
        if (!entry) {
            error = part == "/_rels/.rels"
                        ? MakeError(Failure::NotAWorkbook, "the zip is not an Office package")
                        : MakeError(Failure::Missing, "no relationships for " + source);
            return false;
        }
        std::string xml;
        if (!zip_->ReadPart(*entry, limits::kMaxRelationshipsPartBytes, xml, error)) {
            return false;
        }
        XmlReader reader(xml);
        while (reader.Next()) {
            if (!reader.IsStart() || reader.LocalName() != "Relationship") {
                continue;
            }
            std::string id, type, target;
            bool external = false;
            reader.ForEachAttribute(
                [&](std::string_view name, std::string_view ns, std::string_view value) {
                    if (!ns.empty()) {
                        return;
                    }
                    if (name == "Id") {
                        id = value;
                    } else if (name == "Type") {
                        type = value;
                    } else if (name == "Target") {
                        target = value;
                    } else if (name == "TargetMode") {
                        external = value == "External";
                    }
                });
            if (!external && !id.empty()) {
                out[id] = Relationship{type, ResolveTarget(source, target)};
            }
        }
        if (reader.failed()) {
            error = reader.error();
            return false;
        }
        return true;
    }

    bool ReadWorkbookPart(const Relationships& parts, Error& error) {
        std::unique_ptr<ZipPartStream> stream =
            OpenPart(workbookPart_, true, limits::kMaxWorkbookPartBytes, error);
        if (stream == nullptr) {
            return false;
        }
        XmlReader reader(*stream);
        bool root = true;
        while (reader.Next()) {
            if (!reader.IsStart()) {
                continue;
            }
            const std::string_view name = reader.LocalName();
            if (root) {
                root = false;
                if (name != "workbook" || !OneOf(reader.Namespace(), kMainNamespaces)) {
                    error =
                        MakeError(Failure::NotAWorkbook, "the office document is not a workbook");
                    return false;
                }
            } else if (name == "workbookPr") {
                reader.ForEachAttribute(
                    [&](std::string_view attribute, std::string_view ns, std::string_view value) {
                        if (ns.empty() && attribute == "date1904") {
                            date1904_ = value == "1" || value == "true";
                        }
                    });
            } else if (name == "sheet" && OneOf(reader.Namespace(), kMainNamespaces)) {
                if (!AddSheet(reader, parts, error)) {
                    return false;
                }
            }
        }
        if (reader.failed()) {
            error = reader.error();
            return false;
        }
        if (root) {
            error = MakeError(Failure::Corrupt, "the workbook part is empty");
            return false;
        }
        return true;
    }

    bool AddSheet(XmlReader& reader, const Relationships& parts, Error& error) {
        SheetInfo info;
        std::string id;
        reader.ForEachAttribute(
            [&](std::string_view name, std::string_view ns, std::string_view value) {
                if (ns.empty() && name == "name") {
                    info.name = value;
                } else if (ns.empty() && name == "state") {
                    info.visibility = value == "hidden"       ? Visibility::Hidden
                                      : value == "veryHidden" ? Visibility::VeryHidden
                                                              : Visibility::Visible;
                } else if (name == "id" && OneOf(ns, kRelationshipNamespaces)) {
                    id = value;
                }
            });
        const auto relationship = parts.find(id);
        if (relationship == parts.end()) {
            error = MakeError(Failure::Corrupt, "the sheet " + info.name + " has no part");
            return false;
        }
        const std::string_view kind = RelationshipKind(relationship->second.type);
        if (kind == "worksheet") {
            info.kind = SheetKind::Worksheet;
        } else if (kind == "chartsheet") {
            info.kind = SheetKind::Chart;
        } else if (kind == "dialogsheet") {
            info.kind = SheetKind::DialogSheet;
        } else if (kind == "xlMacrosheet" || kind == "xlIntlMacrosheet") {
            info.kind = SheetKind::MacroSheet;
        } else {
            error = MakeError(Failure::Corrupt, "the sheet " + info.name +
                                                    " has a part of an "
                                                    "unknown type");
            return false;
        }
        if (sheets_.size() >= limits::kMaxSheets) {
            error = MakeError(Failure::TooLarge, "the workbook has too many sheets");
            return false;
        }
        sheets_.push_back(std::move(info));
        sheetParts_.push_back(relationship->second.target);
        return true;
    }

    bool ReadStyles(Error& error) {
        styles_.emplace();
        styles_->SetDate1904(date1904_);
        if (stylesPart_.empty()) {
            return true;
        }
        std::unique_ptr<ZipPartStream> stream =
            OpenPart(stylesPart_, false, limits::kMaxStylesPartBytes, error);
        if (stream == nullptr) {
            if (error.failure != Failure::Missing) {
                styles_.reset();
                return false;
            }
            error = Error{};  // a styles part named but absent: every cell is General
            return true;
        }
        XmlReader reader(*stream);
        int inCellFormats = 0;
        while (reader.Next()) {
            const std::string_view name = reader.LocalName();
            if (reader.IsEnd() && name == "cellXfs") {
                inCellFormats = 0;
            }
            if (!reader.IsStart()) {
                continue;
            }
            if (name == "cellXfs" && !reader.IsEmptyElement()) {
                inCellFormats = 1;
            } else if (name == "numFmt" || (name == "xf" && inCellFormats)) {
                uint32_t id = 0;
                std::string code;
                reader.ForEachAttribute(
                    [&](std::string_view attribute, std::string_view, std::string_view value) {
                        if (attribute == "numFmtId") {
                            ParseNumber(value, id);
                        } else if (attribute == "formatCode") {
                            code = value;
                        }
                    });
                if (styles_->FormatCount() >= limits::kMaxNumberFormats ||
                    styles_->CellFormatCount() >= limits::kMaxCellFormats) {
                    error = MakeError(Failure::TooLarge, "the workbook has too many formats");
                    return false;
                }
                if (name == "numFmt") {
                    styles_->AddFormat(id, DecodeEscapes(code));
                } else {
                    styles_->AddCellFormat(id);
                }
            }
        }
        if (reader.failed()) {
            error = reader.error();
            styles_.reset();
            return false;
        }
        return true;
    }

    // Collects the text of <t> elements below the current element, leaving out phonetic runs
    // (<rPh>), until the element named `end` closes.
    static bool RichText(XmlReader& reader, std::string_view end, std::string& text) {
        int phonetic = 0;
        bool inText = false;
        while (reader.Next()) {
            const bool start = reader.IsStart();
            if (start || reader.IsEnd()) {
                const std::string_view name = reader.LocalName();
                if (reader.IsEnd() && name == end) {
                    return true;
                }
                if (name == "rPh" && !reader.IsEmptyElement()) {
                    phonetic += start ? 1 : -1;
                } else if (name == "t") {
                    inText = start && !reader.IsEmptyElement();
                }
            } else if (inText && phonetic == 0 && reader.IsText()) {
                text += reader.Value();
            }
        }
        return false;
    }

    bool ReadSharedStrings(Error& error) {
        strings_.emplace();
        if (sharedStringsPart_.empty()) {
            return true;
        }
        std::unique_ptr<ZipPartStream> stream =
            OpenPart(sharedStringsPart_, false, limits::kMaxSharedStringsPartBytes, error);
        if (stream == nullptr) {
            if (error.failure != Failure::Missing) {
                strings_.reset();
                return false;
            }
            error = Error{};  // named but absent: a cell that uses it fails on its own
            return true;
        }
        XmlReader reader(*stream);
        while (reader.Next()) {
            if (!reader.IsStart() || reader.LocalName() != "si") {
                continue;
            }
            std::string text;
            if (!reader.IsEmptyElement() && !RichText(reader, "si", text)) {
                break;
            }
            if (!strings_->Add(DecodeEscapes(text), error)) {
                strings_.reset();
                return false;
            }
        }
        if (reader.failed()) {
            error = reader.error();
            strings_.reset();
            return false;
        }
        return true;
    }

    // A cell's value as shown, from its type attribute, style and collected value text.
    bool CellText(std::string_view type, uint32_t style, const std::string& value,
                  std::string& text, Error& error) const {
        text.clear();
        if (type == "s") {
            uint64_t index = 0;
            const auto shared = ParseNumber(value, index) ? strings_->Get(index) : std::nullopt;
            if (!shared) {
                error = MakeError(Failure::Corrupt, "a cell names a missing shared string");
                return false;
            }
            text = *shared;
        } else if (type == "str" || type == "inlineStr" || type == "e") {
            text = DecodeEscapes(value);
        } else if (type == "b") {
            text = value == "1" || value == "true" ? "TRUE" : "FALSE";
        } else if (type == "d") {
            const auto serial = IsoDateSerial(value, date1904_);
            if (!serial) {
                text = value;
            } else if (styles_->DateFormat(style) != nullptr) {
                text = styles_->NumberText(*serial, style);
            } else {
                const bool time = *serial != std::floor(*serial);
                text = FormatDateTime(*serial, time ? "yyyy/m/d h:mm:ss" : "yyyy/m/d", date1904_)
                           .value_or(value);
            }
        } else if (!value.empty()) {
            double number = 0;
            if (!ParseNumber(value, number)) {
                text = value;  // not a number after all: show what is there
            } else {
                text = styles_->NumberText(number, style);
            }
        }
        return true;
    }

    bool ReadCells(ZipPartStream& stream, SheetGrid& grid, Error& error) {
        XmlReader reader(stream);
        bool inData = false;
        uint32_t row = 0, column = 0;
        bool firstRow = true;
        std::string value, type, text;
        while (reader.Next()) {
            if (!reader.IsStart()) {
                if (reader.IsEnd() && reader.LocalName() == "sheetData") {
                    inData = false;
                }
                continue;
            }
            const std::string_view name = reader.LocalName();
            if (!inData) {
                inData = name == "sheetData" && !reader.IsEmptyElement();
                continue;
            }
            if (name == "row") {
                uint32_t number = firstRow ? 1 : row + 2;
                reader.ForEachAttribute(
                    [&](std::string_view attribute, std::string_view, std::string_view v) {
                        if (attribute == "r") {
                            ParseNumber(v, number);
                        }
                    });
                if (number == 0 || number > limits::kMaxRows) {
                    error = MakeError(Failure::Corrupt, "a row lies outside the sheet's grid");
                    return false;
                }
                row = number - 1;
                column = UINT32_MAX;  // the next cell without a reference is the first
                firstRow = false;
                continue;
            }
            if (name != "c") {
                continue;
            }
            uint32_t style = 0;
            bool placed = false;
            bool badReference = false;
            type.clear();
            reader.ForEachAttribute(
                [&](std::string_view attribute, std::string_view, std::string_view v) {
                    if (attribute == "r") {
                        badReference = !ParseReference(v, row, column);
                        placed = true;
                    } else if (attribute == "t") {
                        type = v;
                    } else if (attribute == "s") {
                        ParseNumber(v, style);
                    }
                });
            if (badReference) {
                error = MakeError(Failure::Corrupt, "a cell has a malformed reference");
                return false;
            }
            if (!placed) {
                column = column == UINT32_MAX ? 0 : column + 1;
            }
            value.clear();
            if (!reader.IsEmptyElement() && !CellValue(reader, type, value)) {
                break;
            }
            if (!CellText(type, style, value, text, error) || !grid.Add(row, column, text, error)) {
                return false;
            }
        }
        if (reader.failed()) {
            error = reader.error();
            return false;
        }
        return true;
    }

    // Reads to the end of a <c> element: the text of <v>, or of an inline string's <is>.
    static bool CellValue(XmlReader& reader, const std::string& type, std::string& value) {
        bool inValue = false;
        while (reader.Next()) {
            if (reader.IsStart()) {
                const std::string_view name = reader.LocalName();
                if (name == "is" && type == "inlineStr" && !reader.IsEmptyElement()) {
                    if (!RichText(reader, "is", value)) {
                        return false;
                    }
                } else {
                    inValue = name == "v" && !reader.IsEmptyElement();
                }
            } else if (reader.IsEnd()) {
                if (reader.LocalName() == "c") {
                    return true;
                }
                inValue = false;
            } else if (inValue && reader.IsText()) {
                value += reader.Value();
            }
        }
        return false;
    }

    std::unique_ptr<ZipArchive> zip_;
    std::string workbookPart_;
    std::string stylesPart_;
    std::string sharedStringsPart_;
    std::vector<std::string> sheetParts_;  // parallel to sheets_
    bool date1904_ = false;
    std::optional<NumberFormats> styles_;
    std::optional<StringTable> strings_;
};

}  // namespace

std::unique_ptr<WorkbookFile> OpenXlsxWorkbook(std::shared_ptr<ByteSource> source,
                                               std::unique_ptr<ZipArchive> archive, Error& error) {
    auto workbook = std::make_unique<XlsxWorkbook>(std::move(source), std::move(archive));
    if (!workbook->List(error)) {
        return nullptr;
    }
    return workbook;
}

}  // namespace sheets
