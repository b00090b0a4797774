// How values read on paper: Excel's General format, date and time formats, which formats are
// dates, and the layout of a used range.
#include "platform/sheets/cell_text.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/sheets/fixtures.h"

namespace sheets {
namespace {

TEST(GeneralFormat, ShowsNumbersAsExcelsGeneralFormatDoes) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1234.5678, "-1234.5678"},
        {0.1 + 0.2, "0.3"},  // rounded on the 15 digits Excel keeps
        {1.0 / 3, "0.333333333"},
        {2.0 / 3, "0.666666667"},
        {3.14159265358979, "3.141592654"},
        {123456.7891234, "123456.7891"},
        {1.00000000001, "1"},
        {12345678901, "12345678901"},    // eleven digits still fit
        {12345678902.5, "12345678903"},  // half away from zero
        {99999999999.5, "1E+11"},        // rounding up carries into a twelfth digit
        {123456789012, "1.23457E+11"},
        {-123456789012, "-1.23457E+11"},
        {1e15, "1E+15"},
        {1e100, "1E+100"},
        {0.0001234, "0.0001234"},
        {0.00001, "0.00001"},
        {0.000012345678, "1.23457E-05"},  // scientific shows more of it
        {1.5e-10, "1.5E-10"},
        {1e-300, "1E-300"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatGeneral(c.value), c.text) << c.value;
    }
    EXPECT_EQ(FormatGeneral(std::nan("")), "#NUM!");
}

TEST(DateFormat, TellsDateAndTimeFormatsFromNumberFormats) {
    for (const char* code : {"yyyy/m/d", "h:mm", "[h]:mm", "mm:ss", "d-mmm", "[Red]dd/mm/yyyy",
                             "[$-804]yyyy\"年\"m\"月\"", "上午/下午h\"时\"mm\"分\""}) {
        EXPECT_TRUE(IsDateFormat(code)) << code;
    }
    for (const char* code :
         {"General", "0.00", "#,##0", "0.00\"days\"", "0.00\\d", "[Red]0.00", "0%", "0.00E+00", "@",
          "_(* #,##0_)", "", "0.00;yyyy", "\"unterminated"}) {
        EXPECT_FALSE(IsDateFormat(code)) << code;
    }
}

TEST(DateFormat, BuiltInDateFormatsAreTheChineseLocalesOnes) {
    EXPECT_EQ(BuiltInDateFormat(14), "yyyy/m/d");
    EXPECT_EQ(BuiltInDateFormat(22), "yyyy/m/d h:mm");
    EXPECT_EQ(BuiltInDateFormat(31), "yyyy\"年\"m\"月\"d\"日\"");
    for (uint32_t id : {0u, 1u, 2u, 9u, 13u, 23u, 44u, 48u, 49u, 164u}) {
        EXPECT_FALSE(BuiltInDateFormat(id)) << id;
    }
    for (uint32_t id = 14; id <= 22; ++id) {
        EXPECT_TRUE(BuiltInDateFormat(id)) << id;
    }
}

TEST(DateFormat, ShowsSerialsAsTheFormatSays) {
    const struct {
        double serial;
        const char* code;
        const char* text;
    } cases[] = {
        {45366, "yyyy/m/d", "2024/3/15"},
        {45366, "[$-409]yyyy\\-mm\\-dd", "2024-03-15"},
        {45366 + (13 * 3600 + 45 * 60 + 30) / 86400.0, "yyyy-mm-dd hh:mm:ss",
         "2024-03-15 13:45:30"},
        {45366.99999999, "yyyy-mm-dd hh:mm:ss", "2024-03-16 00:00:00"},  // rounds to the second
        {45366, "dddd, mmmm d", "Friday, March 15"},
        {45366, "ddd d-mmm-yy", "Fri 15-Mar-24"},
        {45366, "mmmmm", "M"},
        {45366, "yyyy\"年\"m\"月\"d\"日\"", "2024年3月15日"},
        {0.5625, "h:mm AM/PM", "1:30 PM"},
        {0.5625, "h:m", "13:30"},  // m after h is minutes
        {0.5625, "h:mm a/p", "1:30 p"},
        {0, "h:mm AM/PM", "12:00 AM"},
        {0.5, "上午/下午h\"时\"mm\"分\"", "下午12时00分"},
        {1.5, "[h]:mm:ss", "36:00:00"},
        {1.5 / 86400, "mm:ss.0", "00:01.5"},
        {1.0 / 1440, "mm:ss", "01:00"},
        // The 1900 date system with Excel's day zero and its 29 February 1900.
        {0, "yyyy-mm-dd", "1900-01-00"},
        {1, "yyyy-mm-dd dddd", "1900-01-01 Sunday"},
        {59, "yyyy-mm-dd", "1900-02-28"},
        {60, "yyyy-mm-dd", "1900-02-29"},
        {61, "yyyy-mm-dd dddd", "1900-03-01 Thursday"},
        {2958465, "yyyy-mm-dd", "9999-12-31"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatDateTime(c.serial, c.code, false), c.text) << c.serial << " " << c.code;
    }
    EXPECT_EQ(FormatDateTime(0, "yyyy-mm-dd dddd", true), "1904-01-01 Friday");
    EXPECT_EQ(FormatDateTime(43904, "yyyy/m/d", true), "2024/3/15");
    EXPECT_FALSE(FormatDateTime(-1, "yyyy/m/d", false));
    EXPECT_FALSE(FormatDateTime(2958466, "yyyy/m/d", false));
}

TEST(NumberFormats, DateCellFormatsShowDatesAndOthersGeneral) {
    NumberFormats formats;
    formats.AddFormat(164, "yyyy\"年\"m\"月\"");
    formats.AddFormat(165, "0.00");
    for (uint32_t id : {0u, 14u, 164u, 165u, 2u}) {
        formats.AddCellFormat(id);
    }
    EXPECT_EQ(formats.NumberText(45366, 0), "45366");
    EXPECT_EQ(formats.NumberText(45366, 1), "2024/3/15");
    EXPECT_EQ(formats.NumberText(45366, 2), "2024年3月");
    EXPECT_EQ(formats.NumberText(7.5, 3), "7.5");
    EXPECT_EQ(formats.NumberText(7.5, 4), "7.5");
    EXPECT_EQ(formats.NumberText(7.5, 99), "7.5");  // no such cell format
    EXPECT_EQ(formats.NumberText(-1, 1), "-1");     // not a date Excel can show
    formats.SetDate1904(true);
    EXPECT_EQ(formats.NumberText(0, 1), "1904/1/1");
}

std::string Render(SheetGrid& grid) {
    std::string text;
    Error error;
    EXPECT_TRUE(grid.Render(text, error)) << error.reason;
    return text;
}

TEST(SheetGrid, LaysOutTheUsedRangeWithEveryRowAsWideAsTheRange) {
    SheetGrid grid;
    Error error;
    // Out of order, one cell given twice, an empty value, and a line break in a cell.
    ASSERT_TRUE(grid.Add(4, 3, "far", error));
    ASSERT_TRUE(grid.Add(1, 1, "first", error));
    ASSERT_TRUE(grid.Add(1, 2, "old", error));
    ASSERT_TRUE(grid.Add(1, 2, "new", error));
    ASSERT_TRUE(grid.Add(9, 9, "", error));
    ASSERT_TRUE(grid.Add(2, 1, "two\r\nlines\tand tab", error));
    EXPECT_EQ(Render(grid),
              "first\tnew\t\r\n"
              "two  lines and tab\t\t\r\n"
              "\t\t\r\n"
              "\t\tfar\r\n");
}

TEST(SheetGrid, EmptyGridIsEmptyText) {
    SheetGrid grid;
    EXPECT_EQ(Render(grid), "");
}

TEST(SheetGrid, RefusesCellsOutsideTheGridAndRangesTooLargeToPrint) {
    SheetGrid grid;
    Error error;
    EXPECT_FALSE(grid.Add(1048576, 0, "x", error));
    EXPECT_EQ(error.failure, Failure::Corrupt);
    EXPECT_FALSE(grid.Add(0, 16384, "x", error));
    EXPECT_EQ(error.failure, Failure::Corrupt);

    SheetGrid corners;
    ASSERT_TRUE(corners.Add(0, 0, "a", error));
    ASSERT_TRUE(corners.Add(1048575, 16383, "b", error));
    std::string text;
    EXPECT_FALSE(corners.Render(text, error));
    EXPECT_EQ(error.failure, Failure::TooLarge);
}

}  // namespace
}  // namespace sheets
