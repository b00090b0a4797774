// The simulated spooler's queues and clock, called as a Windows program calls them: documents
// become jobs, the document calls refuse a handle with no document, the queue is read by position
// through the buffer protocol and controlled by command, and the date separator and file times
// follow the documented rules.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/sim_fixture.h"

namespace {

using SimJobsTest = SimTest;

HANDLE Open(const char* name, DWORD access = PRINTER_ACCESS_USE, const char* datatype = nullptr) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSA defaults{const_cast<LPSTR>(datatype), nullptr, access};
    EXPECT_TRUE(OpenPrinterA(const_cast<LPSTR>(name), &printer, &defaults)) << name;
    return printer;
}

DWORD StartDoc(HANDLE printer, const char* name, const char* datatype = nullptr) {
    DOC_INFO_1A info{const_cast<LPSTR>(name), nullptr, const_cast<LPSTR>(datatype)};
    return StartDocPrinterA(printer, 1, reinterpret_cast<LPBYTE>(&info));
}

DWORD PrintDocument(HANDLE printer, const char* name, const std::string& data, int pages) {
    const DWORD id = StartDoc(printer, name);
    for (int page = 0; page < pages; ++page) {
        EXPECT_TRUE(StartPagePrinter(printer));
        DWORD written = 0;
        EXPECT_TRUE(WritePrinter(printer, const_cast<char*>(data.data()),
                                 static_cast<DWORD>(data.size()), &written));
        EXPECT_EQ(written, data.size());
        EXPECT_TRUE(EndPagePrinter(printer));
    }
    EXPECT_TRUE(EndDocPrinter(printer));
    return id;
}

std::chrono::system_clock::time_point TimePointOf(const SYSTEMTIME& time) {
    using namespace std::chrono;
    const sys_days date{year{time.wYear} / month{time.wMonth} / day{time.wDay}};
    return date + hours{time.wHour} + minutes{time.wMinute} + seconds{time.wSecond} +
           milliseconds{time.wMilliseconds};
}

// The answer of EnumJobsA or GetJobA in a buffer of exactly the size asked for.
struct JobAnswer {
    std::vector<BYTE> buffer;
    DWORD needed = 0;
    DWORD returned = 0;
    BOOL ok = FALSE;

    template <typename Record>
    const Record& At(DWORD i) const {
        return reinterpret_cast<const Record*>(buffer.data())[i];
    }
    // True for a pointer into the part of the buffer after `count` records.
    template <typename Record>
    bool InStrings(const void* pointer, DWORD count) const {
        const auto* p = static_cast<const BYTE*>(pointer);
        return p >= buffer.data() + count * sizeof(Record) && p < buffer.data() + needed;
    }
};

JobAnswer EnumJobs(HANDLE printer, DWORD first, DWORD count, DWORD level) {
    JobAnswer answer;
    EnumJobsA(printer, first, count, level, nullptr, 0, &answer.needed, &answer.returned);
    answer.buffer.assign(answer.needed, 0xEE);
    answer.ok = EnumJobsA(printer, first, count, level, answer.buffer.data(), answer.needed,
                          &answer.needed, &answer.returned);
    return answer;
}

JobAnswer GetJob(HANDLE printer, DWORD id, DWORD level) {
    JobAnswer answer;
    GetJobA(printer, id, level, nullptr, 0, &answer.needed);
    answer.buffer.assign(answer.needed, 0xEE);
    answer.ok = GetJobA(printer, id, level, answer.buffer.data(), answer.needed, &answer.needed);
    answer.returned = answer.ok ? 1 : 0;
    return answer;
}

TEST_F(SimJobsTest, DocumentsBecomeJobsWithEveryFieldAndIdsIncreaseAcrossPrinters) {
    sim::Job seeded;
    seeded.id = 40;
    sim::Install(sim::MachineBuilder(sim::DefaultMachine()).AddJob("Fax", seeded).Build());
    HANDLE laser = Open("Office Laser");
    HANDLE inkjet = Open("Front Desk Inkjet");
    HANDLE finance = Open("\\\\PRINTSRV\\Finance Mono");
    const auto before = std::chrono::system_clock::now();
    const DWORD first = PrintDocument(laser, "report", "abc", 2);
    const DWORD second = PrintDocument(inkjet, "photo", "xyz", 1);
    const DWORD third = PrintDocument(finance, "ledger", "", 0);
    const auto after = std::chrono::system_clock::now();
    EXPECT_GT(first, 40u);
    EXPECT_GT(second, first);
    EXPECT_GT(third, second);

    const std::vector<sim::Job> queue = sim::JobsOf("office laser");
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue[0].data, "abcabc");
    EXPECT_EQ(sim::JobsOf("Front Desk Inkjet").at(0).data, "xyz");
    EXPECT_EQ(sim::JobsOf("\\\\PRINTSRV\\Finance Mono").at(0).id, third);

    const JobAnswer answer = GetJob(laser, first, 2);
    ASSERT_TRUE(answer.ok);
    const auto& job = answer.At<JOB_INFO_2A>(0);
    EXPECT_EQ(job.JobId, first);
    EXPECT_STREQ(job.pPrinterName, "Office Laser");
    EXPECT_STREQ(job.pDocument, "report");
    EXPECT_STREQ(job.pUserName, "user");
    EXPECT_STREQ(job.pNotifyName, "user");
    EXPECT_STREQ(job.pMachineName, "\\\\OFFICE-PC");
    EXPECT_STREQ(job.pDatatype, "RAW");
    EXPECT_STREQ(job.pPrintProcessor, "winprint");
    EXPECT_STREQ(job.pDriverName, "Generic Laser Class Driver");
    EXPECT_EQ(job.Status, 0u);
    EXPECT_EQ(job.Priority, 1u);
    EXPECT_EQ(job.Position, 1u);
    EXPECT_EQ(job.TotalPages, 2u);
    EXPECT_EQ(job.PagesPrinted, 0u);
    EXPECT_EQ(job.Size, 6u);
    // Submitted now, in UTC, with the weekday of that date.
    const auto submitted = TimePointOf(job.Submitted);
    EXPECT_GE(submitted, std::chrono::floor<std::chrono::milliseconds>(before));
    EXPECT_LE(submitted, after);
    const std::chrono::weekday weekday{std::chrono::floor<std::chrono::days>(submitted)};
    EXPECT_EQ(job.Submitted.wDayOfWeek, weekday.c_encoding());
    for (HANDLE printer : {laser, inkjet, finance}) {
        ClosePrinter(printer);
    }
}

TEST_F(SimJobsTest, DatatypeComesFromTheDocumentTheHandleOrThePrinter) {
    struct Case {
        const char* handleDefault;
        const char* document;
        const char* expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "RAW"},
        {"TEXT", nullptr, "TEXT"},
        {"TEXT", "NT EMF 1.008", "NT EMF 1.008"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        sim::Install(sim::DefaultMachine());
        HANDLE printer = Open("Office Laser", PRINTER_ACCESS_USE, c.handleDefault);
        EXPECT_NE(StartDoc(printer, "doc", c.document), 0u);
        ClosePrinter(printer);
        EXPECT_EQ(sim::JobsOf("Office Laser").at(0).datatype, c.expected);
    }
}

TEST_F(SimJobsTest, RefusedDocumentsQueueNothing) {
    struct Case {
        const char* name;
        DWORD level;
        const char* datatype;
        void (*arrange)(HANDLE&);
        DWORD error;
    };
    const Case cases[] = {
        {"level 2", 2, nullptr, [](HANDLE&) {}, ERROR_INVALID_LEVEL},
        {"unknown datatype", 1, "PDF", [](HANDLE&) {}, ERROR_INVALID_DATATYPE},
        {"raw-only printer", 1, "TEXT",
         [](HANDLE&) { sim::Current().printers[0].attributes |= PRINTER_ATTRIBUTE_RAW_ONLY; },
         ERROR_INVALID_DATATYPE},
        {"pending deletion", 1, nullptr,
         [](HANDLE&) { sim::Current().printers[0].status |= PRINTER_STATUS_PENDING_DELETION; },
         ERROR_PRINTER_DELETED},
        {"server handle", 1, nullptr,
         [](HANDLE& handle) {
             ClosePrinter(handle);
             OpenPrinterA(nullptr, &handle, nullptr);
         },
         ERROR_INVALID_HANDLE},
        {"closed handle", 1, nullptr, [](HANDLE& handle) { ClosePrinter(handle); },
         ERROR_INVALID_HANDLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Install(sim::DefaultMachine());
        HANDLE printer = Open("Office Laser");
        c.arrange(printer);
        DOC_INFO_1A info{const_cast<LPSTR>("doc"), nullptr, const_cast<LPSTR>(c.datatype)};
        SetLastError(0);
        EXPECT_EQ(StartDocPrinterA(printer, c.level, reinterpret_cast<LPBYTE>(&info)), 0u);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_TRUE(sim::JobsOf("Office Laser").empty());
        ClosePrinter(printer);
    }

    // One document at a time per handle; another handle may start its own.
    HANDLE first = Open("Office Laser");
    HANDLE second = Open("Office Laser");
    EXPECT_NE(StartDoc(first, "one"), 0u);
    EXPECT_EQ(StartDoc(first, "again"), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PRINTER_STATE);
    EXPECT_NE(StartDoc(second, "two"), 0u);
    EXPECT_EQ(sim::JobsOf("Office Laser").size(), 2u);
    ClosePrinter(first);
    ClosePrinter(second);
}

TEST_F(SimJobsTest, DocumentCallsNeedAnOpenDocument) {
    struct Call {
        const char* name;
        BOOL (*call)(HANDLE);
    };
    const Call calls[] = {
        {"StartPagePrinter", StartPagePrinter},
        {"WritePrinter",
         [](HANDLE printer) {
             char byte = 'x';
             DWORD written = 7;
             const BOOL ok = WritePrinter(printer, &byte, 1, &written);
             EXPECT_EQ(written, 0u);
             return ok;
         }},
        {"EndPagePrinter", EndPagePrinter},
        {"EndDocPrinter", EndDocPrinter},
    };
    HANDLE printer = Open("Office Laser");
    HANDLE finished = Open("Office Laser");
    PrintDocument(finished, "done", "x", 1);
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterA(nullptr, &server, nullptr));
    for (const Call& c : calls) {
        SCOPED_TRACE(c.name);
        for (HANDLE handle : {printer, finished}) {
            SetLastError(0);
            EXPECT_FALSE(c.call(handle));
            EXPECT_EQ(GetLastError(), ERROR_SPL_NO_STARTDOC);
        }
        EXPECT_FALSE(c.call(server));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    ClosePrinter(server);
    ClosePrinter(finished);
    const std::vector<sim::Job> queue = sim::JobsOf("Office Laser");
    ASSERT_EQ(queue.size(), 1u);
    EXPECT_EQ(queue[0].totalPages, 1u);
    EXPECT_EQ(queue[0].size, 1u);

    // Closing the handle ends a document still open.
    EXPECT_NE(StartDoc(printer, "left open"), 0u);
    EXPECT_EQ(sim::JobsOf("Office Laser").at(1).status, JOB_STATUS_SPOOLING);
    ClosePrinter(printer);
    EXPECT_EQ(sim::JobsOf("Office Laser").at(1).status, 0u);
}

TEST_F(SimJobsTest, FinishedDocumentsWaitUnlessThePrinterKeepsPrintedJobs) {
    struct Case {
        const char* name;
        DWORD attributes;
        DWORD printerStatus;
        DWORD status;
        DWORD pagesPrinted;
    };
    const Case cases[] = {
        {"plain", 0, 0, 0, 0},
        {"keeps printed jobs", PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS, 0,
         JOB_STATUS_PRINTED | JOB_STATUS_RETAINED, 2},
        {"keeps but paused", PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS, PRINTER_STATUS_PAUSED, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Install(sim::DefaultMachine());
        sim::Current().printers[0].attributes |= c.attributes;
        sim::Current().printers[0].status = c.printerStatus;
        HANDLE printer = Open("Office Laser");
        PrintDocument(printer, "doc", "page", 2);
        ClosePrinter(printer);
        const sim::Job job = sim::JobsOf("Office Laser").at(0);
        EXPECT_EQ(job.status, c.status);
        EXPECT_EQ(job.pagesPrinted, c.pagesPrinted);
        EXPECT_EQ(job.totalPages, 2u);
    }
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
    const Case cases[] = {{0, 99, {"a", "b", "c", "d"}},
                          {1, 2, {"b", "c"}},
                          {3, 5, {"d"}},
                          {2, 0, {}},
                          {4, 1, {}},
                          {9, 1, {}}};
    for (const DWORD level : {1u, 2u}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "level " << level << " from " << c.first);
            const JobAnswer answer = EnumJobs(printer, c.first, c.count, level);
            ASSERT_TRUE(answer.ok);
            ASSERT_EQ(answer.returned, c.documents.size());
            for (DWORD i = 0; i < answer.returned; ++i) {
                const char* document = level == 1 ? answer.At<JOB_INFO_1A>(i).pDocument
                                                  : answer.At<JOB_INFO_2A>(i).pDocument;
                const DWORD position = level == 1 ? answer.At<JOB_INFO_1A>(i).Position
                                                  : answer.At<JOB_INFO_2A>(i).Position;
                EXPECT_EQ(document, c.documents[i]);
                EXPECT_EQ(position, c.first + i + 1);
            }
        }
    }
    ClosePrinter(printer);
}

TEST_F(SimJobsTest, JobRecordsFollowTheBufferProtocol) {
    sim::Job detailed;
    detailed.document = "Q3.xlsx";
    detailed.userName = "mei";
    detailed.statusText = "Paper jam";
    detailed.parameters = "copies=2";
    detailed.submitted = SYSTEMTIME{2015, 1, 6, 17, 18, 5, 9, 250};
    sim::Install(sim::MachineBuilder(sim::DefaultMachine())
                     .AddJob("Label Printer", sim::Job{})
                     .AddJob("Label Printer", detailed)
                     .Build());
    HANDLE printer = Open("Label Printer");

    for (const DWORD level : {1u, 2u}) {
        SCOPED_TRACE(level);
        // Too small, down to no buffer: nothing written, the size needed, no records.
        const JobAnswer exact = EnumJobs(printer, 0, 9, level);
        ASSERT_TRUE(exact.ok);
        ASSERT_EQ(exact.returned, 2u);
        const std::size_t record = level == 1 ? sizeof(JOB_INFO_1A) : sizeof(JOB_INFO_2A);
        EXPECT_GT(exact.needed, 2 * record);
        for (const DWORD size : {0u, exact.needed - 1}) {
            std::vector<BYTE> small(exact.needed, 0xEE);
            DWORD needed = 0;
            DWORD returned = 5;
            SetLastError(0);
            EXPECT_FALSE(EnumJobsA(printer, 0, 9, level, size == 0 ? nullptr : small.data(), size,
                                   &needed, &returned));
            EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
            EXPECT_EQ(needed, exact.needed);
            EXPECT_EQ(returned, 0u);
            EXPECT_EQ(small, std::vector<BYTE>(exact.needed, 0xEE));
        }
    }

    // Level 2: strings and the device mode after the records, absent texts null.
    const JobAnswer answer = EnumJobs(printer, 0, 9, 2);
    const auto& plain = answer.At<JOB_INFO_2A>(0);
    const auto& full = answer.At<JOB_INFO_2A>(1);
    EXPECT_EQ(plain.pDocument, nullptr);
    EXPECT_EQ(plain.pStatus, nullptr);
    EXPECT_EQ(plain.pParameters, nullptr);
    EXPECT_EQ(full.pSecurityDescriptor, nullptr);
    const std::vector<const void*> pointers = {
        full.pPrinterName, full.pMachineName, full.pUserName,       full.pDocument,
        full.pNotifyName,  full.pDatatype,    full.pPrintProcessor, full.pParameters,
        full.pDriverName,  full.pStatus,      full.pDevMode};
    for (const void* pointer : pointers) {
        EXPECT_TRUE(answer.InStrings<JOB_INFO_2A>(pointer, 2));
    }
    EXPECT_STREQ(full.pUserName, "mei");
    EXPECT_STREQ(full.pStatus, "Paper jam");
    EXPECT_STREQ(full.pParameters, "copies=2");
    EXPECT_STREQ(full.pDriverName, "Generic Label Driver");
    EXPECT_EQ(full.pDevMode->dmSize, sizeof(DEVMODEA));
    EXPECT_STREQ(reinterpret_cast<const char*>(full.pDevMode->dmDeviceName), "Label Printer");
    EXPECT_EQ(full.pDevMode->dmPaperSize, DMPAPER_A6);
    EXPECT_EQ(std::memcmp(&full.Submitted, &detailed.submitted, sizeof(SYSTEMTIME)), 0);

    // GetJobA finds the job by id and gives its queue position.
    const DWORD id = answer.At<JOB_INFO_2A>(1).JobId;
    const JobAnswer one = GetJob(printer, id, 1);
    ASSERT_TRUE(one.ok);
    const auto& brief = one.At<JOB_INFO_1A>(0);
    EXPECT_EQ(brief.Position, 2u);
    EXPECT_STREQ(brief.pDocument, "Q3.xlsx");
    EXPECT_STREQ(brief.pStatus, "Paper jam");
    EXPECT_TRUE(one.InStrings<JOB_INFO_1A>(brief.pDocument, 1));

    struct Refusal {
        const char* name;
        DWORD level;
        DWORD id;
        DWORD error;
    };
    const Refusal refusals[] = {
        {"level 0", 0, id, ERROR_INVALID_LEVEL},
        {"level 3", 3, id, ERROR_INVALID_LEVEL},
        {"unknown id", 2, 4711, ERROR_INVALID_PARAMETER},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.name);
        DWORD needed = 0;
        DWORD returned = 0;
        SetLastError(0);
        EXPECT_FALSE(GetJobA(printer, r.id, r.level, nullptr, 0, &needed));
        EXPECT_EQ(GetLastError(), r.error);
        if (r.id == id) {
            EXPECT_FALSE(EnumJobsA(printer, 9, 1, r.level, nullptr, 0, &needed, &returned));
            EXPECT_EQ(GetLastError(), r.error);
        }
    }
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterA(nullptr, &server, nullptr));
    DWORD needed = 0;
    DWORD returned = 0;
    EXPECT_FALSE(EnumJobsA(server, 0, 1, 1, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    ClosePrinter(server);
    ClosePrinter(printer);
}

TEST_F(SimJobsTest, CommandsPauseResumeRestartAndRemoveJobs) {
    struct Case {
        const char* name;
        DWORD level;
        DWORD command;
        BOOL ok;
        DWORD error;
        DWORD status;  // of the job afterwards
        bool queued;
    };
    const Case cases[] = {
        {"pause", 0, JOB_CONTROL_PAUSE, TRUE, 0, JOB_STATUS_PAUSED, true},
        {"restart", 0, JOB_CONTROL_RESTART, TRUE, 0, JOB_STATUS_RESTART, true},
        {"delete", 0, JOB_CONTROL_DELETE, TRUE, 0, 0, false},
        {"cancel", 0, JOB_CONTROL_CANCEL, TRUE, 0, 0, false},
        {"unknown command", 0, 42, FALSE, ERROR_INVALID_PRINTER_COMMAND, 0, true},
        {"new job data", 1, 0, FALSE, ERROR_NOT_SUPPORTED, 0, true},
        {"level 5", 5, JOB_CONTROL_PAUSE, FALSE, ERROR_INVALID_LEVEL, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Install(sim::MachineBuilder(sim::DefaultMachine())
                         .AddJob("Office Laser", sim::Job{})
                         .AddJob("Office Laser", sim::Job{})
                         .Build());
        HANDLE printer = Open("Office Laser");
        const DWORD id = sim::JobsOf("Office Laser").at(0).id;
        SetLastError(0);
        EXPECT_EQ(SetJobA(printer, id, c.level, nullptr, c.command), c.ok);
        EXPECT_EQ(GetLastError(), c.error);
        const std::vector<sim::Job> queue = sim::JobsOf("Office Laser");
        ASSERT_EQ(queue.size(), c.queued ? 2u : 1u);
        EXPECT_EQ(queue[0].id == id, c.queued);
        EXPECT_EQ(queue[0].status, c.queued ? c.status : 0u);
        EXPECT_EQ(queue.back().status, c.queued ? 0u : c.status);  // the other job untouched
        ClosePrinter(printer);
    }

    HANDLE printer = Open("Office Laser");
    const DWORD id = PrintDocument(printer, "doc", "x", 1);
    ASSERT_TRUE(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_PAUSE));
    ASSERT_TRUE(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_RESUME));
    EXPECT_EQ(sim::JobsOf("Office Laser").at(0).status, 0u);
    ASSERT_TRUE(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_FALSE(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ClosePrinter(printer);
}

TEST_F(SimJobsTest, OtherUsersJobsNeedTheRightToAdministerThem) {
    struct Case {
        const char* name;
        bool administrator;
        DWORD access;
        BOOL ok;
    };
    const Case cases[] = {
        {"standard user, print right", false, PRINTER_ACCESS_USE, FALSE},
        {"manage-documents right", false, PRINTER_ACCESS_USE | JOB_ACCESS_ADMINISTER, TRUE},
        {"administrator, print right", true, PRINTER_ACCESS_USE, TRUE},
        {"administrator, full access", true, PRINTER_ALL_ACCESS, TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Job theirs;
        theirs.userName = "mei";
        sim::Machine machine =
            sim::MachineBuilder(sim::DefaultMachine()).AddJob("Office Laser", theirs).Build();
        machine.administrator = c.administrator;
        machine.printers[0].standardUserAccess |= JOB_ACCESS_ADMINISTER;
        sim::Install(machine);
        HANDLE printer = Open("Office Laser", c.access);
        const DWORD mine = PrintDocument(printer, "mine", "x", 1);
        const DWORD id = sim::JobsOf("Office Laser").at(0).id;
        SetLastError(0);
        EXPECT_EQ(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_PAUSE), c.ok);
        EXPECT_EQ(GetLastError(), c.ok ? 0u : ERROR_ACCESS_DENIED);
        EXPECT_TRUE(SetJobA(printer, mine, 0, nullptr, JOB_CONTROL_PAUSE));
        ClosePrinter(printer);
    }
}

TEST_F(SimJobsTest, DeletingASpoolingJobCancelsItsDocument) {
    HANDLE printer = Open("Office Laser");
    const DWORD id = StartDoc(printer, "doc");
    ASSERT_TRUE(SetJobA(printer, id, 0, nullptr, JOB_CONTROL_DELETE));
    char byte = 'x';
    DWORD written = 7;
    EXPECT_FALSE(WritePrinter(printer, &byte, 1, &written));
    EXPECT_EQ(GetLastError(), 63u);  // ERROR_PRINT_CANCELLED
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(EndDocPrinter(printer));
    EXPECT_TRUE(sim::JobsOf("Office Laser").empty());
    EXPECT_NE(StartDoc(printer, "next"), 0u);  // the handle is free for a new document
    ClosePrinter(printer);
}

TEST_F(SimJobsTest, ADeletedPrinterGoesWithItsLastJob) {
    struct Case {
        const char* name;
        void (*drain)(HANDLE printer);
    };
    const Case cases[] = {
        {"jobs deleted one by one",
         [](HANDLE printer) {
             for (const sim::Job& job : sim::JobsOf("Office Laser")) {
                 EXPECT_EQ(sim::Current().printers[0].name, "Office Laser");
                 EXPECT_TRUE(SetJobA(printer, job.id, 0, nullptr, JOB_CONTROL_DELETE));
             }
         }},
        {"queue purged",
         [](HANDLE printer) {
             EXPECT_TRUE(SetPrinterA(printer, 0, nullptr, PRINTER_CONTROL_PURGE));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Install(sim::MachineBuilder(sim::DefaultMachine())
                         .AddJob("Office Laser", sim::Job{})
                         .AddJob("Office Laser", sim::Job{})
                         .Administrator(true)
                         .Build());
        HANDLE printer = Open("Office Laser", PRINTER_ALL_ACCESS);
        ASSERT_TRUE(DeletePrinter(printer));
        EXPECT_EQ(sim::Current().printers[0].status, PRINTER_STATUS_PENDING_DELETION);
        c.drain(printer);
        EXPECT_EQ(sim::Current().printers[0].name, "Front Desk Inkjet");
        EXPECT_EQ(sim::Current().defaultPrinter, "");
        ClosePrinter(printer);
    }
}

TEST_F(SimJobsTest, HandSeededQueuesGetUniqueIncreasingIds) {
    sim::Machine machine = sim::DefaultMachine();
    machine.printers[0].jobs.resize(2);
    machine.printers[1].jobs.resize(1);
    machine.printers[1].jobs[0].id = 7;
    machine.connections[0].jobs.resize(1);
    sim::Install(machine);
    std::vector<DWORD> ids;
    for (const char* name : {"Office Laser", "Front Desk Inkjet", "\\\\PRINTSRV\\Finance Mono"}) {
        for (const sim::Job& job : sim::JobsOf(name)) {
            ids.push_back(job.id);
        }
    }
    ASSERT_EQ(ids.size(), 4u);
    EXPECT_EQ(ids[2], 7u);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_NE(ids[i], 0u);
        for (std::size_t j = 0; j < i; ++j) {
            EXPECT_NE(ids[i], ids[j]);
        }
    }
    HANDLE printer = Open("Office Laser");
    const DWORD next = StartDoc(printer, "next");
    for (const DWORD id : ids) {
        EXPECT_GT(next, id);
    }
    ClosePrinter(printer);
    EXPECT_TRUE(sim::JobsOf("Nowhere").empty());
}

TEST_F(SimJobsTest, LocaleGivesTheDateSeparatorAndShortDate) {
    struct Case {
        const char* name;
        LCID locale;
        LCTYPE type;
        bool buffer;  // else NULL
        int size;
        int result;
        DWORD error;
        const char* text;  // the buffer afterwards
    };
    constexpr LCTYPE kTimeSeparator = 0x1E;
    const Case cases[] = {
        {"size query", LOCALE_USER_DEFAULT, LOCALE_SDATE, true, 0, 4, 0, "xxxxxxxxxxxxxxx"},
        {"exact buffer", LOCALE_USER_DEFAULT, LOCALE_SDATE, true, 4, 4, 0, "-/-"},
        {"system default", LOCALE_SYSTEM_DEFAULT, LOCALE_SDATE, true, 16, 4, 0, "-/-"},
        {"the user's LCID", 0x0407, LOCALE_SDATE | LOCALE_NOUSEROVERRIDE, true, 16, 4, 0, "-/-"},
        {"one short", LOCALE_USER_DEFAULT, LOCALE_SDATE, true, 3, 0, ERROR_INSUFFICIENT_BUFFER,
         nullptr},
        {"no buffer", LOCALE_USER_DEFAULT, LOCALE_SDATE, false, 4, 0, ERROR_INSUFFICIENT_BUFFER,
         nullptr},
        {"short date size", LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, false, 0, 13, 0, nullptr},
        {"short date", LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, true, 16, 13, 0, "yyyy-/-M-/-d"},
        {"time separator", LOCALE_USER_DEFAULT, kTimeSeparator, true, 16, 0, ERROR_INVALID_FLAGS,
         nullptr},
        {"as a number", LOCALE_USER_DEFAULT, LOCALE_SDATE | LOCALE_RETURN_NUMBER, true, 16, 0,
         ERROR_INVALID_FLAGS, nullptr},
        {"another locale", 0x0409, LOCALE_SDATE, true, 16, 0, ERROR_INVALID_PARAMETER, nullptr},
    };
    sim::Current().locale = 0x0407;
    sim::Current().dateSeparator = "-/-";
    EXPECT_EQ(GetUserDefaultLCID(), 0x0407u);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[16] = "xxxxxxxxxxxxxxx";
        SetLastError(0);
        EXPECT_EQ(GetLocaleInfoA(c.locale, c.type, c.buffer ? buffer : nullptr, c.size), c.result);
        EXPECT_EQ(GetLastError(), c.error);
        if (c.text != nullptr) {
            EXPECT_STREQ(buffer, c.text);
        }
    }
    sim::Current().localeFails = true;
    for (const int size : {0, 16}) {
        char buffer[16] = "";
        EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDATE, buffer, size), 0);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

TEST_F(SimJobsTest, FileTimesBecomeUtcDates) {
    struct Case {
        const char* name;
        unsigned long long ticks;
        SYSTEMTIME expected;  // year, month, weekday, day, hour, minute, second, milliseconds
    };
    const Case cases[] = {
        {"epoch, a Monday", 0, {1601, 1, 1, 1, 0, 0, 0, 0}},
        {"1970", 116444736000000000ULL, {1970, 1, 4, 1, 0, 0, 0, 0}},
        {"1900 is not a leap year", 94405823999990000ULL, {1900, 2, 3, 28, 23, 59, 59, 999}},
        {"so March follows", 94405824000000000ULL, {1900, 3, 4, 1, 0, 0, 0, 0}},
        {"2000 is one", 125962992000000000ULL, {2000, 2, 2, 29, 12, 0, 0, 0}},
        {"leap day 2024", 133536421234560000ULL, {2024, 2, 4, 29, 1, 2, 3, 456}},
        {"2100 is not", 157520160000000000ULL, {2100, 3, 1, 1, 0, 0, 0, 0}},
        {"end of 30827", 0x7FFF35F4F06C58F0ULL, {30827, 12, 5, 31, 23, 59, 59, 999}},
        {"largest", 0x7FFFFFFFFFFFFFFFULL, {30828, 9, 4, 14, 2, 48, 5, 477}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const FILETIME file{static_cast<DWORD>(c.ticks), static_cast<DWORD>(c.ticks >> 32)};
        SYSTEMTIME time{};
        ASSERT_TRUE(FileTimeToSystemTime(&file, &time));
        EXPECT_EQ(time.wYear, c.expected.wYear);
        EXPECT_EQ(time.wMonth, c.expected.wMonth);
        EXPECT_EQ(time.wDayOfWeek, c.expected.wDayOfWeek);
        EXPECT_EQ(time.wDay, c.expected.wDay);
        EXPECT_EQ(time.wHour, c.expected.wHour);
        EXPECT_EQ(time.wMinute, c.expected.wMinute);
        EXPECT_EQ(time.wSecond, c.expected.wSecond);
        EXPECT_EQ(time.wMilliseconds, c.expected.wMilliseconds);
    }
    for (const DWORD high : {0x80000000u, 0xFFFFFFFFu}) {
        const FILETIME tooLarge{0, high};
        SYSTEMTIME time{};
        SetLastError(0);
        EXPECT_FALSE(FileTimeToSystemTime(&tooLarge, &time));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    }
}

}  // namespace
