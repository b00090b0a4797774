// MainWindow as the user sees it: every control's place, text and state, the caption, the banner
// font, the About box, the printer list, and the check-list box under the mouse.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/shell_state.h"
#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"

namespace {

using gui::ControlKind;
using gui::Rect;
namespace mw = main_window;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override { Open(sim::DefaultMachine()); }
    void TearDown() override {
        gui::DestroyWindow(mw::kWindow);
        gui::ProcessEvents();
        ReleaseShellState();
    }
    static void Open(sim::Machine machine) {
        sim::Install(std::move(machine));
        ASSERT_TRUE(gui::Initialize());
        InitShellState();
        ASSERT_TRUE(LoadMainWindow());
    }
};

struct ExpectedControl {
    const char* name;
    ControlKind kind;
    const char* parent;
    Rect place;
    const char* text;
    bool visible;
};

// The window as designed. Places are relative to the client area, or to 分组框1 for its children.
const ExpectedControl kControls[] = {
    {"标签1", ControlKind::Label, "", {0, 0, 420, 72}, "Tallowind", true},
    {"标签2", ControlKind::Label, "", {0, 70, 420, 3}, "", true},
    {"透明标签1",
     ControlKind::TransparentLabel,
     "",
     {288, 48, 120, 24},
     "注意：支持文件拖放。",
     true},
    {"分组框1", ControlKind::GroupBox, "", {6, 78, 306, 160}, "表格名称", true},
    {"选择列表框1", ControlKind::CheckListBox, "分组框1", {8, 16, 289, 136}, "", true},
    {"标签3", ControlKind::Label, "", {96, 152, 152, 32}, "正在获取表名，请稍等……", false},
    {"按钮2", ControlKind::Button, "", {320, 83, 86, 27}, "显示表名", true},
    {"按钮3", ControlKind::Button, "", {320, 115, 86, 27}, "打印选中", true},
    {"按钮6", ControlKind::Button, "", {320, 147, 86, 27}, "打印全部", true},
    {"按钮5", ControlKind::Button, "", {320, 179, 86, 27}, "关   于", true},
    {"按钮4", ControlKind::Button, "", {320, 211, 86, 27}, "退出程序", true},
    {"编辑框1", ControlKind::EditBox, "", {8, 251, 344, 20}, "", true},
    {"按钮1", ControlKind::Button, "", {357, 248, 48, 27}, "浏览", true},
    {"组合框1", ControlKind::ComboBox, "", {8, 283, 232, 20}, nullptr, true},  // text: a printer
    {"按钮7", ControlKind::Button, "", {243, 280, 83, 27}, "指定打印机", true},
    {"按钮8", ControlKind::Button, "", {328, 280, 76, 27}, "打印机设置", true},
};

TEST_F(MainWindowTest, EveryControlHasItsDesignedPlaceTextAndState) {
    for (const ExpectedControl& expected : kControls) {
        SCOPED_TRACE(expected.name);
        const gui::test::ControlInfo info = gui::test::InspectControl(expected.name);
        ASSERT_TRUE(info.exists);
        EXPECT_FALSE(info.faceless);
        EXPECT_EQ(info.kind, expected.kind);
        EXPECT_EQ(info.parent, expected.parent);
        EXPECT_EQ(info.place, expected.place);
        if (expected.text != nullptr) {
            EXPECT_EQ(info.text, expected.text);
        }
        EXPECT_EQ(info.visible, expected.visible);
        EXPECT_TRUE(info.enabled);
        EXPECT_TRUE(info.allGlyphsFound) << "a character would show as a box";
    }
}

TEST_F(MainWindowTest, FacelessComponentsExistWithoutWidgets) {
    const struct {
        const char* name;
        ControlKind kind;
        const char* parent;
    } faceless[] = {
        {"通用对话框1", ControlKind::OpenFileDialog, ""},
        {"拖放对象1", ControlKind::DropTarget, "分组框1"},
        {"Excel工作簿1", ControlKind::ExcelWorkbook, ""},
        {"Excel程序1", ControlKind::ExcelApplication, ""},
    };
    for (const auto& expected : faceless) {
        SCOPED_TRACE(expected.name);
        const gui::test::ControlInfo info = gui::test::InspectControl(expected.name);
        ASSERT_TRUE(info.exists);
        EXPECT_TRUE(info.faceless);
        EXPECT_EQ(info.kind, expected.kind);
        EXPECT_EQ(info.parent, expected.parent);
    }
}

TEST_F(MainWindowTest, InitialStatesOfTheInputControls) {
    EXPECT_EQ(gui::CheckListItemCount(mw::选择列表框1), 0);
    EXPECT_EQ(gui::CheckListCurrentItem(mw::选择列表框1), -1);
    EXPECT_EQ(gui::EditBoxText(mw::编辑框1), "");
    EXPECT_TRUE(gui::test::InspectControl(mw::编辑框1).editable);
    EXPECT_FALSE(gui::test::InspectControl(mw::组合框1).editable);
}

TEST_F(MainWindowTest, BannerLineAndTransparentLabel) {
    EXPECT_TRUE(gui::test::InspectControl(mw::标签2).sunkenFrame);
    EXPECT_FALSE(gui::test::InspectControl(mw::标签1).sunkenFrame);
    // The banner paints its background; the notice over its corner lets it show through.
    EXPECT_TRUE(gui::test::InspectControl(mw::标签1).fillsBackground);
    EXPECT_FALSE(gui::test::InspectControl(mw::透明标签1).fillsBackground);
}

TEST_F(MainWindowTest, LaterControlsLieAboveEarlierOnes) {
    // The notice lies over the banner's lower right corner.
    EXPECT_EQ(gui::test::ControlAt(mw::kWindow, 300, 60), mw::透明标签1);
    // 标签3, once shown, covers the check-list box (client 14,94 .. 303,230).
    EXPECT_EQ(gui::test::ControlAt(mw::kWindow, 170, 168), mw::选择列表框1);
    gui::SetLabelVisible(mw::标签3, true);
    EXPECT_TRUE(gui::test::InspectControl(mw::标签3).visible);
    EXPECT_EQ(gui::test::ControlAt(mw::kWindow, 170, 168), mw::标签3);
    gui::SetLabelVisible(mw::标签3, false);
    EXPECT_EQ(gui::test::ControlAt(mw::kWindow, 170, 168), mw::选择列表框1);
}

TEST_F(MainWindowTest, CaptionPlaceAndClientArea) {
    const gui::test::WindowInfo window = gui::test::InspectWindow(mw::kWindow);
    ASSERT_TRUE(window.exists);
    EXPECT_TRUE(window.visible);
    EXPECT_EQ(window.caption, "Tallowind  1.001");
    EXPECT_EQ(window.outer.left, 50);
    EXPECT_EQ(window.outer.top, 50);
    // Outer 420 x 345 less a 3-pixel frame at the sides and bottom and a 24-pixel caption.
    EXPECT_EQ(window.client.width, 414);
    EXPECT_EQ(window.client.height, 318);
    EXPECT_NE(gui::GetWindowHandle(mw::kWindow), 0u);
}

TEST_F(MainWindowTest, BannerFontIsAChineseHeiFaceOf31Pixels) {
    const gui::test::FontInfo font = gui::test::InspectControl(mw::标签1).font;
    EXPECT_EQ(font.requestedFamily, "黑体");
    EXPECT_TRUE(font.chineseFace) << "resolved to " << font.resolvedFamily;
    EXPECT_EQ(font.pixelSize, 31);
    EXPECT_EQ(font.weight, 400);
}

TEST_F(MainWindowTest, AboutBoxShowsTheFiveLines) {
    const std::string expected =
        "本程序针对一个excel文件多个表格需要批量打印编写，旨在减轻工作量；\r\n"
        "程序可实现选择部分表格一起打印，防止在excel文件中操作误点情况；\r\n"
        "此程序需要系统安装excel程序才能正常运行；\r\n"
        "本程序支持拖放操作，即可以把excel文件拖进来，程序自动获取路径；\r\n"
        "程序以实现功能为主，未作大量测试，如有问题请联系support@tallowind.example。";
    bool answered = false;
    gui::test::MessageBoxSeen seen;
    gui::test::AnswerNextMessageBox([&](const gui::test::MessageBoxSeen& box) {
        seen = box;
        answered = true;
    });
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮5));
    ASSERT_TRUE(answered);
    EXPECT_EQ(seen.text, expected);
    EXPECT_EQ(seen.icon, gui::kIconInformation);
    EXPECT_EQ(seen.title, "关于");
    EXPECT_EQ(seen.buttons, std::vector<std::string>{"确定"});
    // CR LF shows as five lines.
    EXPECT_EQ(seen.shownText.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(seen.shownText.begin(), seen.shownText.end(), '\n'), 4);
    EXPECT_TRUE(gui::test::InspectWindow(mw::kWindow).exists);
}

TEST_F(MainWindowTest, ClickAnywhereOnACheckListItemMakesItCurrent) {
    const std::int32_t values[] = {7, -2, std::numeric_limits<std::int32_t>::min()};
    const char* texts[] = {"Sheet1", "表二", "汇总"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gui::CheckListAddItem(mw::选择列表框1, texts[i], values[i]), i);
    }
    ASSERT_EQ(gui::CheckListItemCount(mw::选择列表框1), 3);
    EXPECT_EQ(gui::CheckListCurrentItem(mw::选择列表框1), -1);

    const struct {
        const char* what;
        int item;
        bool onCheckBox;
        int current;
        bool checked[3];
    } clicks[] = {
        {"check box of item 1", 1, true, 1, {false, true, false}},
        {"text of item 2", 2, false, 2, {false, true, false}},
        {"check box of item 0", 0, true, 0, {true, true, false}},
        {"check box of item 1 again", 1, true, 1, {true, false, false}},
    };
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.what);
        ASSERT_TRUE(gui::test::ClickCheckListItem(mw::选择列表框1, click.item, click.onCheckBox));
        EXPECT_EQ(gui::CheckListCurrentItem(mw::选择列表框1), click.current);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(gui::CheckListItemChecked(mw::选择列表框1, i), click.checked[i]) << i;
        }
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(gui::CheckListItemValue(mw::选择列表框1, i), values[i]);
    }
    gui::CheckListRemoveAll(mw::选择列表框1);
    EXPECT_EQ(gui::CheckListItemCount(mw::选择列表框1), 0);
    EXPECT_EQ(gui::CheckListCurrentItem(mw::选择列表框1), -1);
}

TEST_F(MainWindowTest, ExitButtonDestroysTheWindowOnce) {
    ASSERT_TRUE(gui::test::ClickButton(mw::按钮4));
    EXPECT_FALSE(gui::test::InspectWindow(mw::kWindow).exists);
    EXPECT_FALSE(gui::test::InspectControl(mw::组合框1).exists);
    EXPECT_EQ(gui::GetWindowHandle(mw::kWindow), 0u);
    // Once by the button's handler, once by the window's will-be-destroyed event.
    EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA").size(), 2u);
}

// ---- The printer list, on several machines ----

struct PrinterCase {
    const char* name;
    sim::Machine machine;
};

void PrintTo(const PrinterCase& row, std::ostream* out) {
    *out << row.name;
}

class PrinterListTest : public MainWindowTest, public ::testing::WithParamInterface<PrinterCase> {
  protected:
    void SetUp() override { Open(GetParam().machine); }
};

TEST_P(PrinterListTest, ComboBoxListsThePrintersWithTheDefaultChosen) {
    const sim::Machine& machine = GetParam().machine;
    std::vector<std::string> expected;
    for (const sim::Printer& printer : machine.printers) {
        expected.push_back(printer.name);
    }
    for (const sim::Printer& connection : machine.connections) {
        expected.push_back(connection.name);
    }
    std::vector<std::string> shown;
    for (int i = 0; !gui::ComboItemText(mw::组合框1, i).empty(); ++i) {
        shown.push_back(gui::ComboItemText(mw::组合框1, i));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(printerNames, expected);
    EXPECT_EQ(savedDefaultPrinter, machine.defaultPrinter);

    const int current = gui::ComboCurrentItem(mw::组合框1);
    if (machine.defaultPrinter.empty()) {
        EXPECT_EQ(current, -1);
    } else {
        EXPECT_EQ(gui::ComboItemText(mw::组合框1, current), machine.defaultPrinter);
    }
}

sim::Machine DefaultMachineWithDefault(const std::string& name) {
    sim::Machine machine = sim::DefaultMachine();
    machine.defaultPrinter = name;
    return machine;
}

INSTANTIATE_TEST_SUITE_P(
    Machines, PrinterListTest,
    ::testing::Values(
        PrinterCase{"DefaultMachine", sim::DefaultMachine()},
        PrinterCase{"DefaultNotFirst", DefaultMachineWithDefault("Label Printer")},
        PrinterCase{"DefaultIsAConnection",
                    DefaultMachineWithDefault("\\\\PRINTSRV\\Finance Mono")},
        PrinterCase{
            "NoDefault",
            sim::MachineBuilder().AddPrinter("财务部打印机").AddPrinter("Office Laser").Build()},
        PrinterCase{"NoPrinters", sim::EmptyMachine()}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
