// Generated workbooks: sheet i is named "Sheet i" (from 1); cell (r, c) holds shared string
// (r * columns + c) % sharedStrings in even columns and the number r + c / 4 in odd ones.
#include "tests/platform/sheets/xlsx_writer.h"

#include <zip.h>

#include <deque>
#include <memory>

namespace sheets::testing {

namespace {

std::string ColumnName(int column) {
    std::string name;
    for (int c = column + 1; c > 0; c = (c - 1) / 26) {
        name.insert(name.begin(), static_cast<char>('A' + (c - 1) % 26));
    }
    return name;
}

std::string NumberText(int row, int column) {
    const int quarters = column % 4;
    std::string text = std::to_string(row + column / 4);
    const char* fractions[] = {"", ".25", ".5", ".75"};
    return text + fractions[quarters];
}

std::string StringText(int index) {
    return "共享字符串 shared string number " + std::to_string(index);
}

int Rows(const XlsxShape& shape, int index) {
    return index == 0 ? shape.firstSheetRows : shape.rows;
}

std::string SheetXml(const XlsxShape& shape, int index) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    const int rows = Rows(shape, index);
    for (int r = 0; r < rows; ++r) {
        const std::string row = std::to_string(r + 1);
        xml += "<row r=\"" + row + "\">";
        for (int c = 0; c < shape.columns; ++c) {
            xml += "<c r=\"" + ColumnName(c) + row + "\"";
            if (c % 2 == 0) {
                xml += " t=\"s\"><v>" +
                       std::to_string((r * shape.columns + c) % shape.sharedStrings) + "</v></c>";
            } else {
                xml += "><v>" + NumberText(r, c) + "</v></c>";
            }
        }
        xml += "</row>";
    }
    return xml + "</sheetData></worksheet>";
}

// Closes (without writing) an archive that was not handed to zip_close.
struct ZipDiscard {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};

}  // namespace

std::string ExpectedText(const XlsxShape& shape, int index) {
    std::string text;
    for (int r = 0; r < Rows(shape, index); ++r) {
        for (int c = 0; c < shape.columns; ++c) {
            if (c > 0) {
                text += '\t';
            }
            text += c % 2 == 0 ? StringText((r * shape.columns + c) % shape.sharedStrings)
                               : NumberText(r, c);
        }
        text += "\r\n";
    }
    return text;
}

bool WriteXlsx(const std::string& path, const XlsxShape& shape, std::string& error) {
    int code = 0;
    std::unique_ptr<zip_t, ZipDiscard> zip(
        zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (zip == nullptr) {
        error = "cannot create " + path;
        return false;
    }
    std::deque<std::string> contents;  // libzip reads them at zip_close
    auto add = [&](const std::string& name, std::string content) {
        contents.push_back(std::move(content));
        zip_source_t* source =
            zip_source_buffer(zip.get(), contents.back().data(), contents.back().size(), 0);
        if (source == nullptr) {
            return false;
        }
        const zip_int64_t index =
            zip_file_add(zip.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            return false;
        }
        return zip_set_file_compression(zip.get(), static_cast<zip_uint64_t>(index),
                                        shape.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 1) == 0;
    };
    const std::string rels = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
    std::string workbook =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><workbook "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"" +
        rels + "\"><sheets>";
    std::string workbookRels =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
        "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
        "<Relationship Id=\"rIdS\" Type=\"" +
        rels + "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
    for (int i = 0; i < shape.sheets; ++i) {
        const std::string n = std::to_string(i + 1);
        workbook += "<sheet name=\"Sheet " + n + "\" sheetId=\"" + n + "\" r:id=\"rId" + n + "\"/>";
        workbookRels += "<Relationship Id=\"rId" + n + "\" Type=\"" + rels +
                        "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
    }
    workbook += "</sheets></workbook>";
    workbookRels += "</Relationships>";
    std::string strings =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><sst "
        "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">";
    for (int i = 0; i < shape.sharedStrings; ++i) {
        strings += "<si><t>" + StringText(i) + "</t></si>";
    }
    strings += "</sst>";
    bool ok = add("_rels/.rels",
                  "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Relationships "
                  "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                  "<Relationship Id=\"rId1\" Type=\"" +
                      rels + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>") &&
              add("xl/workbook.xml", workbook) && add("xl/_rels/workbook.xml.rels", workbookRels) &&
              add("xl/sharedStrings.xml", strings);
    for (int i = 0; ok && i < shape.sheets; ++i) {
        ok = add("xl/worksheets/sheet" + std::to_string(i + 1) + ".xml", SheetXml(shape, i));
    }
    if (!ok) {
        error = "cannot add a part to " + path;
        return false;
    }
    if (zip_close(zip.get()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    zip.release();  // zip_close freed it
    return true;
}

}  // namespace sheets::testing
