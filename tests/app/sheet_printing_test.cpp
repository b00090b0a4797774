// Printing from the window: the checked sheets in list order, each activated first; nothing
// without a current item or a workbook; all sheets before a load, after one, and after a failed
// one.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "window_fixture.h"

namespace {

namespace mw = main_window;
using Texts = std::vector<std::string>;

class SheetPrintingTest : public WindowTest {
  protected:
    void Load(const std::string& path) {
        gui::SetEditBoxText(mw::编辑框1, path);
        ASSERT_TRUE(gui::test::ClickButton(mw::按钮2));
        excel->calls.clear();
    }
    void SetUp() override {
        WindowTest::SetUp();
        excel->files["/data/Book.xlsx"] = {"A", "B", "C"};
    }
    // The members called on sheets, in order.
    Texts SheetCalls() const {
        Texts calls;
        for (const std::string& call : excel->calls) {
            if (call == "Sheet.Activate" || call == "Sheet.PrintOut") {
                calls.push_back(call);
            }
        }
        return calls;
    }
};

TEST_F(SheetPrintingTest, CheckedSheetsPrintInListOrderEachActivatedFirst) {
    Load("/data/Book.xlsx");
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 2, true));   // C, made current
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 1, true));   // B
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 2, false));  // C current again
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮3));
    EXPECT_EQ(excel->printed, (Texts{"Book.xlsx/B", "Book.xlsx/C"}));
    EXPECT_EQ(SheetCalls(),
              (Texts{"Sheet.Activate", "Sheet.PrintOut", "Sheet.Activate", "Sheet.PrintOut"}));
}

TEST_F(SheetPrintingTest, NothingPrintsWithoutACurrentItemOrAWorkbook) {
    // Checked items, but none current: the user never clicked one.
    Load("/data/Book.xlsx");
    ASSERT_TRUE(gui::test::SetCheckListItemChecked(mw::选择列表框1, 0, true));
    ASSERT_TRUE(gui::test::SetCheckListItemChecked(mw::选择列表框1, 1, true));
    ASSERT_EQ(gui::CheckListCurrentItem(mw::选择列表框1), -1);
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮3));
    EXPECT_TRUE(excel->printed.empty());

    // The current item is enough: it need not be checked itself.
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 2, false));
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮3));
    EXPECT_EQ(excel->printed, (Texts{"Book.xlsx/A", "Book.xlsx/B"}));
}

TEST_F(SheetPrintingTest, NothingPrintsBeforeAnyLoad) {
    // Items put there by hand do not make a workbook.
    gui::CheckListAddItem(mw::选择列表框1, "A", 1);
    ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, 0, true));
    for (const char* button : {mw::按钮3, mw::按钮6}) {
        ASSERT_TRUE(gui::test::ClickButton(button));
    }
    EXPECT_EQ(excel->instances, 0);
    EXPECT_TRUE(excel->calls.empty());
}

TEST_F(SheetPrintingTest, PrintAllPrintsEverySheetWithoutActivating) {
    Load("/data/Book.xlsx");
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮6));
    EXPECT_EQ(excel->printed, (Texts{"Book.xlsx/A", "Book.xlsx/B", "Book.xlsx/C"}));
    EXPECT_EQ(SheetCalls(), (Texts(3, "Sheet.PrintOut")));
}

TEST_F(SheetPrintingTest, PrintAllAfterAFailedLoadPrintsTheNewWorkbooksSheet) {
    Load("/data/missing.xlsx");
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮6));
    EXPECT_EQ(excel->printed, Texts{"Book1/Sheet1"});
}

}  // namespace
