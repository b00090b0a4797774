// Sheet text as printed: strings (shared, inline, rich, continued across records, GBK), numbers
// in General format, booleans, errors, formula results, dates by their formats, the used range
// with its empty cells, and a chart sheet's name.
#include <gtest/gtest.h>

#include <string>

#include "platform/sheets/workbook_file.h"
#include "tests/platform/sheets/fixtures.h"

namespace sheets::testing {
namespace {

std::string Text(const std::string& fixture, size_t index) {
    std::unique_ptr<WorkbookFile> file = OpenFixture(fixture);
    if (file == nullptr) {
        return "<not opened>";
    }
    std::string text;
    Error error;
    EXPECT_TRUE(file->SheetText(index, text, error))
        << fixture << " sheet " << index << ": " << FailureName(error.failure) << ": "
        << error.reason;
    return text;
}

// LibreOffice wrote the same workbook as .xlsx and .xls; both read alike.
TEST(SheetText, OfficeBookReadsTheSameInEveryFormat) {
    const std::string data =
        "Name\tAmount\tRatio\tPaid\tDue\r\n"
        "苹果\t1234.5\t0.125\tTRUE\t2024/3/15\r\n"
        "Banana\t1.23457E+11\t1E-10\tFALSE\t2024-03-15 13:45:30\r\n"
        "苹果!\t2469\t#DIV/0!\t\t\r\n"
        "\t\t\t\t\r\n"
        "\t\tend\t\t\r\n";
    const std::string report = "季度\t收入\r\n一季度\t100\r\n二季度\t250.75\r\n";
    for (const char* file :
         {"office_book.xlsx", "office_book.xls", "office_template.xltx", "office_macros.xlsm"}) {
        EXPECT_EQ(Text(file, 0), data) << file;
        EXPECT_EQ(Text(file, 1), report) << file;
        EXPECT_EQ(Text(file, 3), "") << file;  // an empty sheet
    }
}

TEST(SheetText, XlsxCellsOfEveryKind) {
    EXPECT_EQ(Text("cells.xlsx", 0),
              // Shared strings: plain, rich runs, phonetic run left out, escapes, spaces kept.
              "\tPlain\tRich\t東京\tTab and  break\t  spaced  \r\n"
              "\t42\t-0.5\t1234567.891\t3.141592654\t7.5\r\n"
              "\tTRUE\tFALSE\t#N/A\tformula text\tinline\r\n"
              "\t\t\t\t\t\r\n"
              // Built-in 14, a custom Chinese date, built-in 22, a 12-hour time, text format.
              "\t2024/3/15\t2024年3月15日\t2024/3/15 18:00\t1:30 PM\t12\r\n"
              // A row and cells without references; a formatted empty cell adds nothing.
              "1\t\t3\t\t\t\r\n");
    EXPECT_EQ(Text("date1904.xlsx", 0), "1904/1/1\t2024/3/15\r\n");
    EXPECT_EQ(Text("strict.xlsx", 0), "严格\t2.5\t2024/3/15\r\n");
    EXPECT_EQ(Text("strict.xlsx", 1), "");
}

TEST(SheetText, XlsCellRecordsOfEveryKind) {
    const std::string text = Text("kinds.xls", 0);
    const std::string head =
        // Shared strings cut into many CONTINUE records, switching between 8-bit and UTF-16.
        "Name\t数量\t" +
        [] {
            std::string s;
            for (int i = 0; i < 12; ++i) {
                s += "Continued ";
            }
            return s;
        }() +
        "中文继续 tail\r\n" +
        "42\t12.34\t0.5\r\n"                         // RK: integer, integer / 100, float
        "7\t-3\t1\r\n"                               // MULRK
        "1.23457E+11\t2024/3/15\t2024年3月15日\r\n"  // NUMBER: General, built-in 14, custom
        "TRUE\t#DIV/0!\t公式结果\r\n"                // BOOLERR, and a FORMULA with its STRING
        "2.5\tTRUE\tLabel\r\n"                       // FORMULA number and boolean, LABEL
        "Rich text\tPhonetic\tlast\r\n"  // strings with rich-text runs and phonetic data
        "\t\t\r\n"
        "0\t1\t2\r\n";
    EXPECT_EQ(text.substr(0, head.size()), head);
    EXPECT_TRUE(text.ends_with("790\t791\t792\r\n"));
    EXPECT_EQ(Text("kinds.xls", 2), "secret\r\n");  // a hidden sheet prints like any other
    EXPECT_EQ(Text("kinds.xls", 4), "");            // a macro sheet without cells
}

TEST(SheetText, Biff5LabelsInTheWorkbooksCodePage) {
    EXPECT_EQ(Text("biff5_gbk.xls", 0), "产品\t数量\r\n苹果\t12\r\n");
}

TEST(SheetText, ChartSheetsPrintTheirNameAndOtherSheetKindsTheirCells) {
    EXPECT_EQ(Text("kinds.xlsx", 1), "图表 1");
    EXPECT_EQ(Text("kinds.xls", 1), "Chart1");
    EXPECT_EQ(Text("kinds.xlsx", 0), "汇总\r\n");
    EXPECT_EQ(Text("kinds.xlsx", 2), "Macro1\r\n");
    EXPECT_EQ(Text("kinds.xlsx", 3), "Dialog1\r\n");
    EXPECT_EQ(Text("kinds.xlsx", 6), "Data & <More>\r\n");
}

TEST(SheetText, SheetsReadInAnyOrderAndAgain) {
    std::unique_ptr<WorkbookFile> file = OpenFixture("kinds.xls");
    ASSERT_NE(file, nullptr);
    std::string first, hidden, again;
    Error error;
    ASSERT_TRUE(file->SheetText(2, hidden, error));
    ASSERT_TRUE(file->SheetText(0, first, error));
    ASSERT_TRUE(file->SheetText(0, again, error));
    EXPECT_EQ(hidden, "secret\r\n");
    EXPECT_EQ(first, again);
}

}  // namespace
}  // namespace sheets::testing
