// The printer part of the window: the default chosen at start-up as it is asked for each printer,
// 按钮7 making the chosen printer the default, and the print-setup dialog behind 按钮8.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/spooler.h"
#include "window_fixture.h"

namespace {

namespace mw = main_window;

class PrinterChoiceTest : public WindowTest {
  protected:
    void SetUp() override {}  // each test opens its own machine
};

TEST_F(PrinterChoiceTest, StartUpAsksForTheDefaultAgainForEachPrinter) {
    // The default changes from A to C while the list fills: A is chosen, then C replaces it, and
    // the default saved for the end is the first answer.
    sim::Machine machine =
        sim::MachineBuilder().AddPrinter("A").AddPrinter("B").AddPrinter("C").Default("A").Build();
    sim::Install(machine);
    // Each default read is a size query and a read: calls 1-2 for the saved one, 3-4 for A.
    sim::BeforeCall("GetDefaultPrinterA", 5, [](sim::Machine& m) { m.defaultPrinter = "C"; });
    excel = &fake_excel::Install();
    ASSERT_TRUE(gui::Initialize());
    InitShellState();
    ASSERT_TRUE(LoadMainWindow());
    EXPECT_EQ(savedDefaultPrinter, "A");
    EXPECT_EQ(gui::ComboCurrentItem(mw::组合框1), 2);
}

TEST_F(PrinterChoiceTest, SetDefaultUsesTheChosenPrinterOrNone) {
    Open(sim::DefaultMachine());
    const int chosen = 1;
    gui::SetComboCurrentItem(mw::组合框1, chosen);
    const std::string name = gui::ComboItemText(mw::组合框1, chosen);
    ASSERT_NE(name, sim::Current().defaultPrinter);
    sim::ClearCalls();
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮7));
    ASSERT_EQ(sim::CallsOf("SetDefaultPrinterA").size(), 1u);
    EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA")[0].args[0], "\"" + name + "\"");
    EXPECT_EQ(sim::Current().defaultPrinter, name);

    // No printer chosen: a null name reaches the spooler.
    gui::SetComboCurrentItem(mw::组合框1, -1);
    sim::ClearCalls();
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮7));
    ASSERT_EQ(sim::CallsOf("SetDefaultPrinterA").size(), 1u);
    EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA")[0].args[0], "NULL");
}

TEST_F(PrinterChoiceTest, PrintSetupDialogShowsThePrintersAndReportsOkOrCancel) {
    Open(sim::DefaultMachine());
    std::vector<std::string> printers;
    for (const sim::Printer& printer : sim::Current().printers) {
        printers.push_back(printer.name);
    }
    for (const sim::Printer& connection : sim::Current().connections) {
        printers.push_back(connection.name);
    }
    std::vector<std::string> forms;
    for (const sim::Form& form : sim::Current().forms) {
        forms.push_back(form.name);
    }
    for (const bool ok : {true, false}) {
        SCOPED_TRACE(ok ? "OK" : "Cancel");
        bool answered = false;
        gui::test::PrintSetupSeen seen;
        gui::test::AnswerNextPrintSetup(ok, [&](const gui::test::PrintSetupSeen& dialog) {
            seen = dialog;
            answered = true;
        });
        EXPECT_EQ(ShowPrintSetupDialog(), ok ? 1 : 0);
        EXPECT_EQ(CommDlgExtendedError(), 0u);
        ASSERT_TRUE(answered);
        EXPECT_EQ(seen.flags, PD_PRINTSETUP);
        EXPECT_FALSE(seen.owned);
        EXPECT_EQ(seen.title, "打印设置");
        EXPECT_EQ(seen.printers, printers);
        EXPECT_EQ(seen.chosenPrinter, sim::Current().defaultPrinter);
        EXPECT_EQ(seen.paperSizes, forms);
        EXPECT_EQ(seen.orientations, (std::vector<std::string>{"纵向", "横向"}));
        for (const char* label : {"打印机", "名称:", "纸张", "大小:", "方向"}) {
            EXPECT_NE(std::find(seen.labels.begin(), seen.labels.end(), label), seen.labels.end())
                << label;
        }
        EXPECT_EQ(seen.buttons, (std::vector<std::string>{"确定", "取消"}));
        EXPECT_EQ(sim::OpenPrinterHandles(), 0);
    }

    // 按钮8 opens the same dialog; its answer is not used.
    bool opened = false;
    gui::test::AnswerNextPrintSetup(true, [&](const gui::test::PrintSetupSeen&) { opened = true; });
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮8));
    EXPECT_TRUE(opened);
}

TEST_F(PrinterChoiceTest, PrintSetupOffersFixedPaperSizesWhenTheSpoolerListsNoForms) {
    Open(sim::DefaultMachine());
    sim::FailCall("EnumFormsA", 1, ERROR_INVALID_HANDLE);
    std::vector<std::string> sizes;
    gui::test::AnswerNextPrintSetup(
        false, [&](const gui::test::PrintSetupSeen& seen) { sizes = seen.paperSizes; });
    EXPECT_EQ(ShowPrintSetupDialog(), 0);
    EXPECT_EQ(sizes, (std::vector<std::string>{"A4", "A3", "A5", "B5 (JIS)", "Letter", "Legal"}));
    EXPECT_EQ(sim::OpenPrinterHandles(), 0);
}

TEST_F(PrinterChoiceTest, PrintSetupRefusesAWrongRecordSize) {
    Open(sim::DefaultMachine());
    const int widgets = gui::test::TopLevelWidgetCount();
    PRINTDLGA dialog{};
    dialog.lStructSize = sizeof(dialog) - 1;
    dialog.Flags = PD_PRINTSETUP;
    EXPECT_EQ(PrintDlgA(&dialog), FALSE);
    EXPECT_EQ(CommDlgExtendedError(), CDERR_STRUCTSIZE);
    EXPECT_EQ(gui::test::TopLevelWidgetCount(), widgets);  // no dialog was built
}

}  // namespace
