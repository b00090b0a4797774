// The Excel components driving the spreadsheet stand-in, as the window's handlers drive them: the
// calls reach Excel in the required order, automation errors are swallowed, and PrintOut puts one
// job per sheet in the default printer's queue.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/excel.h"
#include "platform/sheets/excel_server.h"
#include "platform/sim/sim.h"

namespace {

using Calls = std::vector<std::string>;

class ExcelComponentsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The first CreateObject registers the in-process servers; make it happen now, so that a
        // test that unregisters the server is not undone by it.
        automation::CreateObject("Excel.Application");
        sheets::RegisterExcelApplication();
        sim::MachineBuilder builder;
        builder.AddPrinter("Desk").AddPrinter("Hall").Default("Desk");
        sim::Install(builder.Build());
        sheets::ClearServerCalls();
    }
    void TearDown() override {
        sheets::RegisterExcelApplication();
        EXPECT_EQ(sim::OpenPrinterHandles(), 0);
        EXPECT_EQ(sim::LiveBlocks(), 0);
    }

    // Loading as the window does it: start a hidden Excel, add a workbook, open the path, then
    // read each sheet's name.
    std::vector<std::string> Load(const std::string& path) {
        app.Start();
        app.Visible(false);
        workbooks.AttachToApplication(app);
        workbooks.Open(path);
        std::vector<std::string> names;
        const int32_t count = workbooks.SheetCount();
        for (int32_t i = 1; i <= count; ++i) {
            workbooks.CurrentSheetIndex(i);
            names.push_back(workbooks.CurrentSheetName());
        }
        return names;
    }

    ExcelApp app;
    ExcelWorkbooks workbooks;
};

TEST_F(ExcelComponentsTest, FailedOpenLeavesTheNewWorkbooksSheet1InTheRequiredCallOrder) {
    EXPECT_EQ(Load("/nonexistent/Book.xlsx"), std::vector<std::string>{"Sheet1"});
    EXPECT_EQ(sheets::ServerCalls(),
              (Calls{"Application.Visible", "Application.Workbooks", "Workbooks.Add",
                     "Application.Sheets", "Sheets.Item", "Workbooks.Open", "Sheets.Count",
                     "Sheets.Item", "Sheet.Name"}));
}

TEST_F(ExcelComponentsTest, PrintLoopsMakeOneJobPerSheetOnTheDefaultPrinter) {
    Load("/nonexistent/Book.xlsx");
    sheets::ClearServerCalls();
    // The checked-items loop: choose, activate, take the object, PrintOut, clear.
    workbooks.CurrentSheetIndex(1);
    workbooks.ActivateCurrentSheet();
    AutomationObject sheet = workbooks.GetCurrentSheetObject();
    sheet.CallMethod("PrintOut");
    sheet.Clear();
    EXPECT_TRUE(sheet.empty());
    EXPECT_EQ(sheets::ServerCalls(), (Calls{"Sheets.Item", "Sheet.Activate", "Sheet.PrintOut"}));

    // The job goes to whatever printer is the default at the moment of the call.
    ASSERT_TRUE(SetDefaultPrinterA("Hall"));
    workbooks.GetCurrentSheetObject().CallMethod("PrintOut");

    const auto desk = sim::JobsOf("Desk");
    const auto hall = sim::JobsOf("Hall");
    ASSERT_EQ(desk.size(), 1u);
    ASSERT_EQ(hall.size(), 1u);
    EXPECT_EQ(desk[0].document, "Book1 - Sheet1");
    EXPECT_EQ(desk[0].data, "");
}

TEST_F(ExcelComponentsTest, RealWorkbookListsItsSheetsAndPrintsThemAsJobs) {
    const std::string book = std::string(TALLOWIND_TEST_DATA) + "/office_book.xlsx";
    const std::vector<std::string> names = Load(book);
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ(names[0], "数据");
    EXPECT_EQ(names[2], "隐藏");  // a hidden sheet is listed too
    EXPECT_EQ(names[11], "八月");

    // Checked sheets 1 and 3 (hidden: Excel refuses to activate it, and the print goes on).
    for (const int32_t sheet : {1, 3}) {
        workbooks.CurrentSheetIndex(sheet);
        workbooks.ActivateCurrentSheet();
        AutomationObject object = workbooks.GetCurrentSheetObject();
        object.CallMethod("PrintOut");
        object.Clear();
    }
    const auto jobs = sim::JobsOf("Desk");
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].document, "office_book.xlsx - 数据");
    EXPECT_EQ(jobs[1].document, "office_book.xlsx - 隐藏");
    EXPECT_EQ(jobs[0].data.rfind("Name\tAmount\tRatio", 0), 0u) << jobs[0].data;
    EXPECT_EQ(jobs[0].totalPages, 1u);

    // A second load replaces the workbook.
    EXPECT_EQ(Load("/nonexistent/Other.xls"), std::vector<std::string>{"Sheet1"});
}

TEST_F(ExcelComponentsTest, AutomationErrorsAreSwallowed) {
    Load("/nonexistent/Book.xlsx");
    // A number Excel refuses leaves the current sheet as it was.
    workbooks.CurrentSheetIndex(7);
    EXPECT_EQ(workbooks.CurrentSheetName(), "Sheet1");
    // No default printer: PrintOut fails inside Excel, and nobody is told.
    sim::Current().defaultPrinter.clear();
    AutomationObject sheet = workbooks.GetCurrentSheetObject();
    sheet.CallMethod("PrintOut");
    EXPECT_FALSE(sheet.TryCallMethod("PrintOut"));
    sheet.CallMethod("NoSuchMember");
    // After Quit every call fails inside the components.
    app.Quit();
    EXPECT_EQ(workbooks.SheetCount(), 0);
    EXPECT_EQ(workbooks.CurrentSheetName(), "");
    app.Quit();
    app.Release();
    app.Visible(true);
}

TEST_F(ExcelComponentsTest, WithoutExcelEveryStepDoesNothing) {
    automation::UnregisterServer("Excel.Application");
    EXPECT_FALSE(app.Start());
    EXPECT_TRUE(Load("/nonexistent/Book.xlsx").empty());
    EXPECT_FALSE(workbooks.AttachToApplication(app));
    EXPECT_FALSE(workbooks.Open("/nonexistent/Book.xlsx"));
    EXPECT_EQ(workbooks.SheetCount(), 0);
    EXPECT_TRUE(workbooks.GetCurrentSheetObject().empty());
    workbooks.ActivateCurrentSheet();
    app.Quit();
    EXPECT_TRUE(sheets::ServerCalls().empty());
}

TEST_F(ExcelComponentsTest, StartDropsThePreviousInstanceWithoutQuittingIt) {
    app.Start();
    const automation::ObjectRef first = app.instance();
    app.Start();
    EXPECT_NE(app.instance(), first);
    EXPECT_TRUE(automation::Get(first, "Visible").ok());  // the dropped one was not told to quit
    const Calls calls = sheets::ServerCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Application.Quit"), 0);
}

}  // namespace
