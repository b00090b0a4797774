// PrinterManager's queue operations against seeded queues: the job list and its limit, the job
// records with their UTC+8 submission text, the four commands and raw text printing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/printer_manager.h"
#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;

constexpr const char* kAllAccess = "983052";  // PRINTER_ALL_ACCESS, 0xF000C

SYSTEMTIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME time{};
    time.wYear = year;
    time.wMonth = month;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    time.wSecond = second;
    return time;
}

sim::Job JobNamed(const std::string& document, SYSTEMTIME submitted = Utc(2015, 1, 17, 18, 5, 9)) {
    sim::Job job;
    job.document = document;
    job.notifyName = "notify-" + document;
    job.userName = "mei";
    job.machineName = "\\\\DESK-7";
    job.driverName = "Generic Text Driver";
    job.submitted = submitted;
    job.size = 1234;
    job.totalPages = 3;
    job.priority = 1;
    return job;
}

sim::Machine Queued(int jobs) {
    sim::MachineBuilder builder;
    builder.AddPrinter("Laser").AddPrinter("Plain").Default("Laser").Administrator(true);
    for (int i = 0; i < jobs; ++i) {
        builder.AddJob("Laser", JobNamed("doc " + std::to_string(i)));
    }
    return builder.Build();
}

class JobsTest : public SpoolerTest {};

TEST_F(JobsTest, SubmittedTimeIsShiftedToUtcPlus8WithRollOvers) {
    struct Case {
        SYSTEMTIME utc;
        std::string text;
    };
    const Case cases[] = {
        {Utc(2015, 1, 17, 18, 5, 9), "02:05:09 2015/01/18 星期天"},
        {Utc(2015, 1, 18, 1, 2, 3), "09:02:03 2015/01/18 星期天"},
        {Utc(2021, 6, 1, 15, 59, 59), "23:59:59 2021/06/01 星期二"},
        {Utc(2021, 6, 1, 16, 0, 0), "00:00:00 2021/06/02 星期三"},
        {Utc(2021, 12, 31, 16, 0, 0), "00:00:00 2022/01/01 星期六"},
        {Utc(2024, 2, 28, 16, 30, 0), "00:30:00 2024/02/29 星期四"},
        {Utc(2023, 2, 28, 16, 30, 0), "00:30:00 2023/03/01 星期三"},
        {Utc(2015, 1, 5, 1, 2, 3), "09:02:03 2015/01/05 星期一"},
    };
    Seed(sim::EmptyMachine());
    sim::Current().dateSeparator = "/";
    for (const Case& c : cases) {
        EXPECT_EQ(PrinterManager().FormatSubmittedTime(c.utc), c.text);
    }
}

TEST_F(JobsTest, DateSeparatorIsReadAfreshEachTime) {
    struct Case {
        const char* separator;
        bool fails;
        std::string text;
    };
    const Case cases[] = {
        {"/", false, "02:05:09 2015/01/18 星期天"},
        {".", false, "02:05:09 2015.01.18 星期天"},
        {" - ", false, "02:05:09 2015 - 01 - 18 星期天"},
        {"/", true, "02:05:09 2015 01 18 星期天"},  // a failing locale gives one blank
    };
    Seed(sim::EmptyMachine());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.separator);
        sim::Current().dateSeparator = c.separator;
        sim::Current().localeFails = c.fails;
        EXPECT_EQ(PrinterManager().FormatSubmittedTime(Utc(2015, 1, 17, 18, 5, 9)), c.text);
    }
}

TEST_F(JobsTest, WeekdayNames) {
    const PrinterManager manager;
    const char* names[] = {"星期天", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};
    for (int32_t day = 0; day < 7; ++day) {
        EXPECT_EQ(manager.GetWeekdayName(day), names[day]);
    }
    EXPECT_EQ(manager.GetWeekdayName(7), "");
    EXPECT_EQ(manager.GetWeekdayName(-1), "");
}

TEST_F(JobsTest, ListsTheFirst99JobsAsEntries) {
    Seed(Queued(120));
    std::vector<JobEntry> jobs;
    EXPECT_EQ(PrinterManager().ListJobs(std::nullopt, jobs), 99);
    ASSERT_EQ(jobs.size(), 99u);
    EXPECT_EQ(jobs[0].documentName, "doc 0");
    EXPECT_EQ(jobs[98].documentName, "doc 98");
    EXPECT_EQ(sim::CallsOf("OpenPrinterA").at(0).record, (Args{"NULL", "NULL", "0"}));
    const auto enumerations = sim::CallsOf("EnumJobsA");
    ASSERT_EQ(enumerations.size(), 2u);
    EXPECT_EQ(enumerations[0].args, (Args{"ptr", "0", "99", "2", "NULL", "0", "ptr", "ptr"}));

    const JobEntry& first = jobs[0];
    EXPECT_GT(first.jobId, 0);
    EXPECT_EQ(first.printerName, "Laser");
    EXPECT_EQ(first.machineName, "\\\\DESK-7");
    EXPECT_EQ(first.userName, "mei");
    EXPECT_EQ(first.notifyName, "notify-doc 0");
    EXPECT_EQ(first.dataType, "RAW");
    EXPECT_EQ(first.printProcessor, "winprint");
    EXPECT_EQ(first.driverName, "Generic Text Driver");
    EXPECT_EQ(first.submittedText, "02:05:09 2015/01/18 星期天");
    EXPECT_EQ(first.size, 1234);
    EXPECT_EQ(first.totalPages, 3);
    EXPECT_EQ(first.priority, 1);
    EXPECT_EQ(PrinterManager().GetJob("Laser", first.jobId), first);
}

TEST_F(JobsTest, FailuresEmptyTheListAndGiveMinusOne) {
    struct Case {
        const char* name;
        PrinterManager::Name printer;
        void (*arrange)();
    };
    const Case cases[] = {
        {"unknown printer", "Nowhere", [] {}},
        {"empty name is not the default", "", [] {}},
        // A failed read is not an empty queue.
        {"filling call fails", "Laser",
         [] { sim::FailCall("EnumJobsA", 2, ERROR_NOT_ENOUGH_MEMORY); }},
        {"queue grows between the calls", "Laser",
         [] {
             sim::BeforeCall("EnumJobsA", 2, [](sim::Machine& machine) {
                 machine.printers[0].jobs.push_back(machine.printers[0].jobs.front());
                 machine.printers[0].jobs.back().id = 900;
             });
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seed(Queued(3));
        c.arrange();
        std::vector<JobEntry> jobs(2);
        EXPECT_EQ(PrinterManager().ListJobs(c.printer, jobs), -1);
        EXPECT_TRUE(jobs.empty());
    }
    Seed(Queued(0));
    std::vector<JobEntry> jobs(1);
    EXPECT_EQ(PrinterManager().ListJobs("Laser", jobs), 0);
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(PrinterManager().GetJob("Laser", 4711), JobEntry{});
    EXPECT_EQ(PrinterManager().GetJob("Nowhere", 1), JobEntry{});
}

TEST_F(JobsTest, CommandsReachSetJobWithFullAccessAndAct) {
    Seed(Queued(2));
    const PrinterManager manager;
    std::vector<JobEntry> jobs;
    manager.ListJobs("Laser", jobs);
    const int32_t id = jobs.at(1).jobId;

    EXPECT_TRUE(manager.PauseJob(std::nullopt, id));
    manager.ListJobs("Laser", jobs);
    EXPECT_EQ(jobs[1].status & JOB_STATUS_PAUSED, JOB_STATUS_PAUSED);
    EXPECT_TRUE(manager.ResumeJob("Laser", id));
    manager.ListJobs("Laser", jobs);
    EXPECT_EQ(jobs[1].status & JOB_STATUS_PAUSED, 0u);
    EXPECT_TRUE(manager.RestartJob("Laser", id));
    EXPECT_TRUE(manager.DeleteJob("Laser", id));
    EXPECT_FALSE(manager.DeleteJob("Laser", id));  // no longer in the queue

    const auto commands = sim::CallsOf("SetJobA");
    const char* expected[] = {"1", "2", "4", "5", "5"};
    ASSERT_EQ(commands.size(), 5u);
    for (size_t i = 0; i < commands.size(); ++i) {
        EXPECT_EQ(commands[i].args, (Args{"ptr", std::to_string(id), "0", "NULL", expected[i]}));
    }
    for (const auto& open : sim::CallsOf("OpenPrinterA")) {
        if (open.record.at(2) != "0") {
            EXPECT_EQ(open.record, (Args{"NULL", "NULL", kAllAccess}));
        }
    }
    // A standard user cannot open the printer with full access: no command is sent.
    sim::SetAdministrator(false);
    sim::ClearCalls();
    EXPECT_FALSE(manager.PauseJob("Laser", jobs[0].jobId));
    EXPECT_TRUE(sim::CallsOf("SetJobA").empty());
}

TEST_F(JobsTest, RawTextGoesOutUnchangedAsOneDocumentOfOnePage) {
    struct Case {
        const char* name;
        std::string document;
        std::string data;
        std::string docArg;
    };
    const Case cases[] = {
        {"three bytes", "note", "abc", "\"note\""},
        {"empty text", "empty", "", "\"empty\""},
        {"no document name", "", "x\r\n", "NULL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seed(Queued(0));
        EXPECT_TRUE(PrinterManager().PrintRawText(std::nullopt, c.document, c.data));
        std::vector<std::string> steps;
        for (const sim::Call& call : sim::Calls()) {
            if (call.function.find("Printer") != std::string::npos &&
                call.function != "GetDefaultPrinterA") {
                steps.push_back(call.function);
            }
        }
        EXPECT_EQ(steps, (Args{"OpenPrinterA", "StartDocPrinterA", "StartPagePrinter",
                               "WritePrinter", "EndPagePrinter", "EndDocPrinter", "ClosePrinter"}));
        EXPECT_EQ(sim::CallsOf("WritePrinter").at(0).args.at(2), std::to_string(c.data.size()));
        const auto& queue = sim::Current().printers[0].jobs;
        ASSERT_EQ(queue.size(), 1u);
        EXPECT_EQ(queue[0].data, c.data);
        EXPECT_EQ(queue[0].document, c.document);
    }
}

TEST_F(JobsTest, RawTextTakesEveryStepWhenAnEarlyOneFails) {
    Seed(Queued(0));
    sim::FailCall("StartDocPrinterA", 1, ERROR_INVALID_DATATYPE);
    EXPECT_FALSE(PrinterManager().PrintRawText("Laser", "doc", "abc"));
    EXPECT_EQ(sim::CallsOf("StartPagePrinter").size(), 1u);
    EXPECT_EQ(sim::CallsOf("WritePrinter").size(), 1u);
    EXPECT_EQ(sim::CallsOf("EndPagePrinter").size(), 1u);
    EXPECT_EQ(sim::CallsOf("EndDocPrinter").size(), 1u);
    EXPECT_EQ(sim::CallsOf("ClosePrinter").size(), 1u);

    Seed(Queued(0));
    EXPECT_FALSE(PrinterManager().PrintRawText("Nowhere", "doc", "abc"));
    EXPECT_TRUE(sim::CallsOf("StartDocPrinterA").empty());
}

}  // namespace
