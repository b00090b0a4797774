// The window with the spreadsheet stand-in as Excel and the simulated spooler: a real workbook
// dropped, its sheets listed, and the sheets printed as jobs on the default printer's queue.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/shell_state.h"
#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"

namespace {

namespace mw = main_window;
using Texts = std::vector<std::string>;

const std::string kOfficeBook = std::string(TALLOWIND_TEST_DATA) + "/office_book.xlsx";
const Texts kOfficeSheets = {"数据", "季度报表", "隐藏", "Summary", "一月", "二月",
                             "三月", "四月",     "五月", "六月",    "七月", "八月"};

class StandInTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::Install(
            sim::MachineBuilder().AddPrinter("Desk").AddPrinter("Other").Default("Desk").Build());
        ASSERT_TRUE(gui::Initialize());
        InitShellState();
        ASSERT_TRUE(LoadMainWindow());
    }
    void TearDown() override {
        gui::DestroyWindow(mw::kWindow);
        gui::ProcessEvents();
        ReleaseShellState();
    }
    static Texts Queue(const std::string& printer) {
        Texts documents;
        for (const sim::Job& job : sim::JobsOf(printer)) {
            documents.push_back(job.document);
        }
        return documents;
    }
};

TEST_F(StandInTest, DroppedWorkbookListsItsSheetsAndPrintsTheCheckedOnesInOrder) {
    ASSERT_TRUE(gui::test::DropFiles(mw::选择列表框1, {kOfficeBook}));
    ASSERT_EQ(gui::CheckListItemCount(mw::选择列表框1), static_cast<int>(kOfficeSheets.size()));
    for (int i = 0; i < static_cast<int>(kOfficeSheets.size()); ++i) {
        EXPECT_EQ(gui::test::CheckListItemText(mw::选择列表框1, i), kOfficeSheets[i]);
        EXPECT_EQ(gui::CheckListItemValue(mw::选择列表框1, i), i + 1);
    }
    EXPECT_FALSE(gui::test::InspectControl(mw::标签3).visible);

    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 3, true));   // Summary
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 1, true));   // 季度报表
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 3, false));  // Summary current
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮3));
    EXPECT_EQ(Queue("Desk"), (Texts{"office_book.xlsx - 季度报表", "office_book.xlsx - Summary"}));
    EXPECT_TRUE(Queue("Other").empty());
}

TEST_F(StandInTest, PrintAllBeforeAndAfterLoads) {
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮6));
    EXPECT_TRUE(Queue("Desk").empty());

    // A path the stand-in cannot open: the new empty workbook's one sheet is what prints.
    gui::SetEditBoxText(mw::编辑框1, std::string(TALLOWIND_TEST_DATA) + "/no_such_book.xlsx");
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮6));
    EXPECT_EQ(Queue("Desk"), Texts{"Book1 - Sheet1"});

    gui::SetEditBoxText(mw::编辑框1, kOfficeBook);
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮6));
    const Texts queue = Queue("Desk");
    ASSERT_EQ(queue.size(), 1 + kOfficeSheets.size());
    for (std::size_t i = 0; i < kOfficeSheets.size(); ++i) {
        EXPECT_EQ(queue[i + 1], "office_book.xlsx - " + kOfficeSheets[i]);
    }
}

}  // namespace
