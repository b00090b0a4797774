// The simulated spooler's queues and clock, called as a Windows program calls them: documents
// become jobs, the document calls refuse a handle with no document, the queue is read by position,
// and the date separator and file times follow the documented rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/platform/sim_fixture.h"

namespace {

using SimJobsTest = SimTest;

HANDLE Open(const char* name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    EXPECT_TRUE(OpenPrinterA(const_cast<LPSTR>(name), &printer, &defaults));
    return printer;
}

DWORD PrintDocument(HANDLE printer, const char* name, const std::string& data, int pages) {
    DOC_INFO_1A info{const_cast<LPSTR>(name), nullptr, nullptr};
    const DWORD id = StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
    for (int page = 0; page < pages; ++page) {
        StartPagePrinter(printer);
        DWORD written = 0;
        WritePrinter(printer, const_cast<char*>(data.data()), static_cast<DWORD>(data.size()),
                     &written);
        EXPECT_EQ(written, data.size());
        EndPagePrinter(printer);
    }
    EndDocPrinter(printer);
    return id;
}

TEST_F(SimJobsTest, DocumentsBecomeJobsWithTheirDataAndIncreasingIds) {
    HANDLE laser = Open("Office Laser");
    HANDLE inkjet = Open("Front Desk Inkjet");
    const DWORD first = PrintDocument(laser, "report", "abc", 2);
    const DWORD second = PrintDocument(inkjet, "photo", "xyz", 1);
    EXPECT_GT(first, 0u);
    EXPECT_GT(second, first);
    const sim::Job& job = sim::Current().printers[0].jobs.at(0);
    EXPECT_EQ(job.document, "report");
    EXPECT_EQ(job.data, "abcabc");
    EXPECT_EQ(job.size, 6u);
    EXPECT_EQ(job.totalPages, 2u);
    EXPECT_EQ(job.status & JOB_STATUS_SPOOLING, 0u);
    EXPECT_GE(job.submitted.wYear, 2024);
    ClosePrinter(laser);
    ClosePrinter(inkjet);
}

TEST_F(SimJobsTest, DocumentCallsNeedAnOpenDocument) {
    HANDLE printer = Open("Office Laser");
    DWORD written = 7;
    char byte = 'x';
    SetLastError(0);
    EXPECT_FALSE(StartPagePrinter(printer));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
    EXPECT_FALSE(WritePrinter(printer, &byte, 1, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(EndPagePrinter(printer));
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);

    DOC_INFO_1A info{nullptr, nullptr, nullptr};
    EXPECT_NE(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_STATE);
    EXPECT_EQ(StartDocPrinterA(printer, 2, reinterpret_cast<LPBYTE>(&info)), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    // Closing the handle ends the document.
    ClosePrinter(printer);
    EXPECT_EQ(sim::Current().printers[0].jobs.at(0).status & JOB_STATUS_SPOOLING, 0u);
}

TEST_F(SimJobsTest, QueueIsReadByZeroBasedPositionAndCount) {
    HANDLE printer = Open("Office Laser");
    for (const char* name : {"a", "b", "c", "d"}) {
        PrintDocument(printer, name, "x", 1);
    }
    struct Case {
        DWORD first;
        DWORD count;
        std::vector<std::string> documents;
    };
    const Case cases[] = {
        {0, 99, {"a", "b", "c", "d"}}, {1, 2, {"b", "c"}}, {3, 5, {"d"}}, {4, 1, {}}, {9, 1, {}}};
    for (const Case& c : cases) {
        DWORD needed = 0;
        DWORD returned = 9;
        EnumJobsA(printer, c.first, c.count, 2, nullptr, 0, &needed, &returned);
        std::vector<BYTE> buffer(needed + 1);
        ASSERT_TRUE(
            EnumJobsA(printer, c.first, c.count, 2, buffer.data(), needed, &needed, &returned));
        ASSERT_EQ(returned, c.documents.size());
        const auto* jobs = reinterpret_cast<const JOB_INFO_2A*>(buffer.data());
        for (DWORD i = 0; i < returned; ++i) {
            EXPECT_EQ(jobs[i].pDocument, c.documents[i]);
            EXPECT_EQ(jobs[i].Position, c.first + i + 1);
            EXPECT_EQ(jobs[i].pPrinterName, std::string("Office Laser"));
            EXPECT_EQ(jobs[i].pSecurityDescriptor, nullptr);
        }
    }
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetJobA(printer, 4711, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(SetJobA(printer, 4711, 0, nullptr, JOB_CONTROL_PAUSE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ClosePrinter(printer);
}

TEST_F(SimJobsTest, DateSeparatorSizeQueryAndFailures) {
    const LCID locale = GetUserDefaultLCID();
    sim::Current().dateSeparator = "-/-";
    EXPECT_EQ(GetLocaleInfoA(locale, LOCALE_SDATE, nullptr, 0), 4);
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(GetLocaleInfoA(locale, LOCALE_SDATE, buffer, 3), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetLocaleInfoA(locale, LOCALE_SDATE, buffer, 4), 4);
    EXPECT_STREQ(buffer, "-/-");
    sim::Current().localeFails = true;
    EXPECT_EQ(GetLocaleInfoA(locale, LOCALE_SDATE, nullptr, 0), 0);
}

TEST_F(SimJobsTest, FileTimesBecomeUtcDates) {
    struct Case {
        unsigned long long ticks;
        WORD year, month, day, weekday, hour;
    };
    const Case cases[] = {
        {0, 1601, 1, 1, 1, 0},
        {116444736000000000ULL, 1970, 1, 1, 4, 0},
        {(13353638400ULL + 3600) * 10000000ULL, 2024, 2, 29, 4, 1},
        {(11644473600ULL + 951782400ULL) * 10000000ULL, 2000, 2, 29, 2, 0},
        {0x7FFFFFFFFFFFFFFFULL, 30828, 9, 14, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ticks);
        const FILETIME file{static_cast<DWORD>(c.ticks), static_cast<DWORD>(c.ticks >> 32)};
        SYSTEMTIME time{};
        ASSERT_TRUE(FileTimeToSystemTime(&file, &time));
        EXPECT_EQ(time.wYear, c.year);
        EXPECT_EQ(time.wMonth, c.month);
        EXPECT_EQ(time.wDay, c.day);
        EXPECT_EQ(time.wDayOfWeek, c.weekday);
        EXPECT_EQ(time.wHour, c.hour);
    }
    const FILETIME tooLarge{0, 0x80000000u};
    SYSTEMTIME time{};
    EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &time));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

}  // namespace
