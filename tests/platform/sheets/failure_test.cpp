// Every failure comes back as a value with a reason: missing, unreadable, truncated, encrypted,
// not a workbook, too large, corrupt, no such sheet. Hostile files (bombs, loops, overruns) fail
// quickly, and damaged copies of good workbooks never crash the reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sheets/workbook_file.h"
#include "tests/platform/sheets/fixtures.h"

namespace sheets::testing {
namespace {

struct OpenCase {
    const char* file;
    Failure failure;
};

// Test names and failure messages show the fixture's name.
void PrintTo(const OpenCase& c, std::ostream* out) {
    *out << c.file;
}

class OpenFailure : public ::testing::TestWithParam<OpenCase> {};

TEST_P(OpenFailure, FailsWithItsKindAndAReason) {
    Error error;
    const std::string path =
        GetParam().file[0] == '/' ? GetParam().file : DataPath(GetParam().file);
    EXPECT_EQ(WorkbookFile::Open(path, error), nullptr);
    EXPECT_EQ(error.failure, GetParam().failure) << error.reason;
    EXPECT_FALSE(error.reason.empty());
    std::string reason;
    EXPECT_EQ(WorkbookFile::Open(path, reason), nullptr);
    EXPECT_EQ(reason, error.reason);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, OpenFailure,
                         ::testing::Values(OpenCase{"/nonexistent/Book.xlsx", Failure::Missing},
                                           OpenCase{"/", Failure::Unreadable},
                                           OpenCase{"truncated.xlsx", Failure::Truncated},
                                           OpenCase{"truncated.xls", Failure::Truncated},
                                           OpenCase{"absurd_fat.xls", Failure::Truncated},
                                           OpenCase{"encrypted.xls", Failure::Encrypted},
                                           OpenCase{"encrypted.xlsx", Failure::Encrypted},
                                           OpenCase{"not_a_workbook.xlsx", Failure::NotAWorkbook},
                                           OpenCase{"empty.xls", Failure::NotAWorkbook},
                                           OpenCase{"document.docx.xlsx", Failure::NotAWorkbook},
                                           OpenCase{"plain.zip.xlsx", Failure::NotAWorkbook},
                                           OpenCase{"binary.xlsb", Failure::NotAWorkbook},
                                           OpenCase{"no_workbook.xls", Failure::NotAWorkbook},
                                           OpenCase{"directory_loop.xls", Failure::NotAWorkbook},
                                           OpenCase{"zip_bomb.xlsx", Failure::TooLarge},
                                           OpenCase{"lying_zip_bomb.xlsx", Failure::Corrupt},
                                           OpenCase{"malformed_workbook.xlsx", Failure::Corrupt},
                                           OpenCase{"missing_sheet_rel.xlsx", Failure::Corrupt},
                                           OpenCase{"entity_bomb.xlsx", Failure::Corrupt},
                                           OpenCase{"deep_nesting.xlsx", Failure::Corrupt},
                                           OpenCase{"fat_loop.xls", Failure::Corrupt}),
                         [](const ::testing::TestParamInfo<OpenCase>& param) {
                             return TestName(param.param.file);
                         });

TEST(SheetTextFailure, FailsWithItsKindWhileTheListStands) {
    const struct {
        const char* file;
        size_t sheet;
        Failure failure;
    } cases[] = {
        {"far_corners.xlsx", 0, Failure::TooLarge},     // A1 and XFD1048576
        {"outside_grid.xlsx", 0, Failure::Corrupt},     // a cell in column XFE
        {"damaged_sheet.xlsx", 1, Failure::Corrupt},    // checksums do not match
        {"record_overrun.xls", 0, Failure::Truncated},  // a record past the stream's end
        {"office_book.xlsx", 12, Failure::NoSuchSheet}, {"kinds.xls", 6, Failure::NoSuchSheet},
    };
    for (const auto& c : cases) {
        std::unique_ptr<WorkbookFile> file = OpenFixture(c.file);
        ASSERT_NE(file, nullptr);
        std::string text = "stale";
        Error error;
        EXPECT_FALSE(file->SheetText(c.sheet, text, error)) << c.file;
        EXPECT_EQ(error.failure, c.failure) << c.file << ": " << error.reason;
        EXPECT_EQ(text, "") << c.file;
        std::string reason;
        EXPECT_FALSE(file->SheetText(c.sheet, text, reason));
        EXPECT_EQ(reason, error.reason);
    }
}

// A small deterministic fuzz: cut and flipped copies of good workbooks either open or fail with a
// reason, and so does every sheet of those that open. Run under ASan+UBSan this finds overruns.
TEST(DamagedCopies, NeverCrashAndAlwaysSayWhy) {
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245 + 12345;
        return seed >> 8;
    };
    for (const char* name : {"office_book.xlsx", "office_book.xls", "kinds.xls", "kinds.xlsx",
                             "biff5_gbk.xls", "cells.xlsx"}) {
        const std::vector<uint8_t> good = ReadBytes(DataPath(name));
        ASSERT_FALSE(good.empty()) << name;
        std::vector<std::vector<uint8_t>> copies;
        for (size_t cut = 0; cut < good.size(); cut += good.size() / 40 + 1) {
            copies.emplace_back(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        }
        for (int i = 0; i < 150; ++i) {
            std::vector<uint8_t> flipped = good;
            for (int flips = 1 + static_cast<int>(next() % 4); flips > 0; --flips) {
                flipped[next() % flipped.size()] ^= static_cast<uint8_t>(1 + next() % 255);
            }
            copies.push_back(std::move(flipped));
        }
        for (const std::vector<uint8_t>& copy : copies) {
            Error error;
            std::unique_ptr<WorkbookFile> file = WorkbookFile::OpenMemory(copy, error);
            if (file == nullptr) {
                EXPECT_NE(error.failure, Failure::None) << name;
                EXPECT_FALSE(error.reason.empty()) << name;
                continue;
            }
            for (size_t i = 0; i < file->Sheets().size(); ++i) {
                std::string text;
                if (!file->SheetText(i, text, error)) {
                    EXPECT_NE(error.failure, Failure::None) << name;
                    EXPECT_FALSE(error.reason.empty()) << name;
                }
            }
        }
    }
}

}  // namespace
}  // namespace sheets::testing
