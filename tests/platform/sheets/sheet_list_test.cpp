// Sheet lists as Excel's Sheets collection gives them: names exactly, kinds, visibility and
// workbook order, for office-made and hand-made workbooks of both formats; the format is found
// from the content, and listing reads no sheet and no shared string.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sheets/workbook_file.h"
#include "tests/platform/sheets/fixtures.h"
#include "tests/platform/sheets/xlsx_writer.h"

namespace sheets::testing {
namespace {

constexpr auto W = SheetKind::Worksheet;
constexpr auto C = SheetKind::Chart;
constexpr auto M = SheetKind::MacroSheet;
constexpr auto D = SheetKind::DialogSheet;
constexpr auto V = Visibility::Visible;
constexpr auto H = Visibility::Hidden;
constexpr auto VH = Visibility::VeryHidden;

// The workbook LibreOffice saved in every format: Chinese names, more than ten sheets, one hidden.
const std::vector<SheetInfo> kOfficeBook = {
    {"数据", W, V}, {"季度报表", W, V}, {"隐藏", W, H}, {"Summary", W, V},
    {"一月", W, V}, {"二月", W, V},     {"三月", W, V}, {"四月", W, V},
    {"五月", W, V}, {"六月", W, V},     {"七月", W, V}, {"八月", W, V},
};

struct ListCase {
    const char* file;
    Format format;
    std::vector<SheetInfo> sheets;
};

// Test names and failure messages show the fixture's name.
void PrintTo(const ListCase& c, std::ostream* out) {
    *out << c.file;
}

class SheetList : public ::testing::TestWithParam<ListCase> {};

TEST_P(SheetList, ListsEverySheetInWorkbookOrder) {
    const ListCase& c = GetParam();
    std::unique_ptr<WorkbookFile> file = OpenFixture(c.file);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->format(), c.format);
    EXPECT_EQ(file->Sheets(), c.sheets);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, SheetList,
    ::testing::Values(
        ListCase{"office_book.xlsx", Format::Xlsx, kOfficeBook},
        ListCase{"office_book.xls", Format::Xls, kOfficeBook},
        ListCase{"office_template.xltx", Format::Xlsx, kOfficeBook},
        ListCase{"office_macros.xlsm", Format::Xlsx, kOfficeBook},
        // Order differs from sheetId and part names; kinds from the relationship types; r:id
        // found by its namespace while the prefix "r" means something else.
        ListCase{"kinds.xlsx",
                 Format::Xlsx,
                 {{"汇总", W, V},
                  {"图表 1", C, V},
                  {"Macro1", M, V},
                  {"Dialog1", D, V},
                  {"隐藏", W, H},
                  {"Very Hidden", W, VH},
                  {"Data & <More>", W, V}}},
        // The VB module between them is not a sheet.
        ListCase{"kinds.xls",
                 Format::Xls,
                 {{"工作表", W, V},
                  {"Chart1", C, V},
                  {"Hidden", W, H},
                  {"Very Hidden", W, VH},
                  {"Macro1", M, V},
                  {"Ünïcödé", W, V}}},
        ListCase{"strict.xlsx", Format::Xlsx, {{"严格一", W, V}, {"Strict Two", W, V}}},
        ListCase{
            "biff5_gbk.xls", Format::Xls, {{"销售数据", W, V}, {"汇总", W, V}, {"Sheet3", W, V}}},
        ListCase{"absurd_sst.xls", Format::Xls, {{"Sheet1", W, V}}}),
    [](const ::testing::TestParamInfo<ListCase>& param) { return TestName(param.param.file); });

TEST(SheetListFormat, ComesFromTheContentNotTheName) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("sheets_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(DataPath("office_book.xls"), folder / "book.xlsx");
    std::filesystem::copy_file(DataPath("office_book.xlsx"), folder / "book.xls");
    std::filesystem::copy_file(DataPath("office_book.xlsx"), folder / "book");
    const struct {
        const char* name;
        Format format;
    } cases[] = {{"book.xlsx", Format::Xls}, {"book.xls", Format::Xlsx}, {"book", Format::Xlsx}};
    for (const auto& c : cases) {
        Error error;
        std::unique_ptr<WorkbookFile> file = WorkbookFile::Open(folder / c.name, error);
        ASSERT_NE(file, nullptr) << c.name << ": " << error.reason;
        EXPECT_EQ(file->format(), c.format) << c.name;
        EXPECT_EQ(file->Sheets(), kOfficeBook) << c.name;
    }
    std::filesystem::remove_all(folder);
}

TEST(SheetListFormat, OpensFromMemoryAsFromAFile) {
    for (const char* name : {"office_book.xlsx", "kinds.xls", "biff5_gbk.xls"}) {
        Error error;
        const std::vector<uint8_t> bytes = ReadBytes(DataPath(name));
        std::unique_ptr<WorkbookFile> memory = WorkbookFile::OpenMemory(bytes, error);
        ASSERT_NE(memory, nullptr) << name << ": " << error.reason;
        std::unique_ptr<WorkbookFile> file = OpenFixture(name);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(memory->Sheets(), file->Sheets()) << name;
        std::string fromMemory, fromFile;
        EXPECT_TRUE(memory->SheetText(0, fromMemory, error)) << error.reason;
        EXPECT_TRUE(file->SheetText(0, fromFile, error)) << error.reason;
        EXPECT_EQ(fromMemory, fromFile) << name;
    }
}

// Listing reads the zip directory, the relationships and the workbook part only: the sheets and
// shared strings of this fixture are damaged, and it still lists; reading a sheet then fails.
TEST(SheetListCost, ListingNeverReadsSheetsOrSharedStrings) {
    std::unique_ptr<WorkbookFile> file = OpenFixture("damaged_sheet.xlsx");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Sheets(), (std::vector<SheetInfo>{{"One", W, V}, {"Two", W, V}}));
    std::string text;
    Error error;
    EXPECT_FALSE(file->SheetText(0, text, error));
    EXPECT_EQ(error.failure, Failure::Corrupt);
}

TEST(SheetListCost, BytesReadToListDoNotGrowWithCellsOrStrings) {
    const std::string folder =
        std::filesystem::temp_directory_path() / ("sheets_cost_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    XlsxShape small{.sheets = 30, .rows = 1, .firstSheetRows = 1, .columns = 2, .sharedStrings = 1};
    XlsxShape large = small;
    large.rows = 300;
    large.firstSheetRows = 20000;
    large.columns = 6;
    large.sharedStrings = 50000;
    std::string writeError;
    ASSERT_TRUE(WriteXlsx(folder + "/small.xlsx", small, writeError)) << writeError;
    ASSERT_TRUE(WriteXlsx(folder + "/large.xlsx", large, writeError)) << writeError;

    Error error;
    std::unique_ptr<WorkbookFile> smallFile = WorkbookFile::Open(folder + "/small.xlsx", error);
    std::unique_ptr<WorkbookFile> largeFile = WorkbookFile::Open(folder + "/large.xlsx", error);
    ASSERT_NE(smallFile, nullptr);
    ASSERT_NE(largeFile, nullptr) << error.reason;
    EXPECT_EQ(largeFile->Sheets().size(), 30u);
    const auto largeSize = std::filesystem::file_size(folder + "/large.xlsx");
    EXPECT_GT(largeSize, 8'000'000u);
    // libzip looks for the zip's end in its last 64 KiB; nothing else depends on the content.
    EXPECT_LT(largeFile->BytesRead(), smallFile->BytesRead() + 70'000);

    std::string text;
    ASSERT_TRUE(largeFile->SheetText(0, text, error)) << error.reason;
    EXPECT_EQ(text, ExpectedText(large, 0));
    EXPECT_GT(largeFile->BytesRead(), 1'000'000u);
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace sheets::testing
