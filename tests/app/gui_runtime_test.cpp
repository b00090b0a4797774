// The GUI runtime's own rules, on small windows of the tests' own: exit routines, the destroy
// path, message box icons, the combo box's empty choice, the edit box and the open-file dialog.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"
#include "platform/spooler.h"

namespace {

std::vector<std::string> ran;
void RoutineA() {
    ran.push_back("A");
}
void RoutineB() {
    ran.push_back("B");
}
void RoutineC() {
    ran.push_back("C");
}

TEST(ExitRoutines, RunOnceEachInRegistrationOrderWithoutDuplicates) {
    ran.clear();
    gui::AddExitRoutine(RoutineB);
    gui::AddExitRoutine(RoutineA);
    gui::AddExitRoutine(RoutineB);
    gui::AddExitRoutine(RoutineC);
    gui::AddExitRoutine(RoutineA);
    gui::RunExitRoutines();
    EXPECT_EQ(ran, (std::vector<std::string>{"B", "A", "C"}));
    gui::RunExitRoutines();
    EXPECT_EQ(ran.size(), 3u);
}

// A small window whose will-be-destroyed event counts its runs and notes what it saw.
class ProbeWindowTest : public ::testing::Test {
  protected:
    static constexpr char kName[] = "ProbeWindow";
    void SetUp() override {
        ASSERT_TRUE(gui::Initialize());
        willBeDestroyed = 0;
        shownWhileDestroying = false;
        gui::WindowDesign design;
        design.name = kName;
        design.caption = "probe";
        design.place = {10, 10, 200, 150};
        design.willBeDestroyed = [this] {
            ++willBeDestroyed;
            shownWhileDestroying = gui::test::InspectWindow(kName).visible;
            textWhileDestroying = gui::EditBoxText("probe edit");
        };
        design.controls = {
            gui::Control("probe edit", gui::ControlKind::EditBox).At(4, 4, 120, 20),
            gui::Control("probe combo", gui::ControlKind::ComboBox).At(4, 30, 120, 20),
            gui::Control("probe dialog", gui::ControlKind::OpenFileDialog)
                .Filter("xls,xlsx|*.xls;*.xlsx|all|*.*"),
        };
        ASSERT_TRUE(gui::LoadWindow(design));
    }
    void TearDown() override {
        gui::DestroyWindow(kName);
        gui::ProcessEvents();
    }

    int willBeDestroyed = 0;
    bool shownWhileDestroying = false;
    std::string textWhileDestroying;
};

TEST_F(ProbeWindowTest, DestroyRaisesWillBeDestroyedOnceWhileTheWindowStillShows) {
    const struct {
        const char* what;
        void (*destroy)();
    } ways[] = {
        {"destroy operation", [] { gui::DestroyWindow(kName); }},
        {"close box", [] { gui::test::CloseWindowByCloseBox(kName); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        if (!gui::test::InspectWindow(kName).exists) {
            SetUp();
        }
        gui::SetEditBoxText("probe edit", "路径 C:\\表.xlsx");
        way.destroy();
        EXPECT_EQ(willBeDestroyed, 1);
        EXPECT_TRUE(shownWhileDestroying);
        EXPECT_EQ(textWhileDestroying, "路径 C:\\表.xlsx");
        EXPECT_FALSE(gui::test::InspectWindow(kName).exists);
        EXPECT_EQ(gui::GetWindowHandle(kName), 0u);
        // A second destroy, by either way, raises nothing.
        gui::DestroyWindow(kName);
        EXPECT_FALSE(gui::test::CloseWindowByCloseBox(kName));
        EXPECT_EQ(willBeDestroyed, 1);
        // The names are free for a new window.
        EXPECT_EQ(gui::EditBoxText("probe edit"), "");
    }
}

TEST_F(ProbeWindowTest, LoadingADuplicateOrBrokenDesignFails) {
    gui::WindowDesign duplicateWindow;
    duplicateWindow.name = kName;
    EXPECT_FALSE(gui::LoadWindow(duplicateWindow));

    gui::WindowDesign duplicateControl;
    duplicateControl.name = "other";
    duplicateControl.controls = {gui::Control("probe edit", gui::ControlKind::EditBox)};
    EXPECT_FALSE(gui::LoadWindow(duplicateControl));

    gui::WindowDesign unknownParent;
    unknownParent.name = "other";
    unknownParent.controls = {gui::Control("child", gui::ControlKind::Button).In("nowhere")};
    EXPECT_FALSE(gui::LoadWindow(unknownParent));

    EXPECT_FALSE(gui::test::InspectWindow("other").exists);
}

TEST_F(ProbeWindowTest, MessageBoxIconsAndLineBreaks) {
    const struct {
        int flag;
        int shown;
    } icons[] = {
        {gui::kIconStop, gui::kIconStop},
        {gui::kIconQuestion, gui::kIconQuestion},
        {gui::kIconExclamation, gui::kIconExclamation},
        {gui::kIconInformation, gui::kIconInformation},
        {gui::kIconExclamation | 0x1, gui::kIconExclamation},  // button bits do not change it
        {0, 0},
    };
    for (const auto& icon : icons) {
        SCOPED_TRACE(icon.flag);
        std::optional<gui::test::MessageBoxSeen> seen;
        gui::test::AnswerNextMessageBox([&](const gui::test::MessageBoxSeen& box) { seen = box; });
        gui::ShowMessageBox("第一行\r\n第二行", icon.flag, "标题");
        ASSERT_TRUE(seen.has_value());
        EXPECT_EQ(seen->icon, icon.shown);
        EXPECT_EQ(seen->text, "第一行\r\n第二行");
        EXPECT_EQ(seen->shownText, "第一行\n第二行");
        EXPECT_EQ(seen->title, "标题");
        EXPECT_EQ(seen->buttons, std::vector<std::string>{"确定"});
    }
}

TEST_F(ProbeWindowTest, ComboBoxKeepsNoChoiceUntilOneIsMade) {
    EXPECT_EQ(gui::ComboAddItem("probe combo", "甲"), 0);
    EXPECT_EQ(gui::ComboAddItem("probe combo", "乙"), 1);
    EXPECT_EQ(gui::ComboCurrentItem("probe combo"), -1);
    gui::SetComboCurrentItem("probe combo", 1);
    EXPECT_EQ(gui::ComboCurrentItem("probe combo"), 1);
    EXPECT_EQ(gui::ComboAddItem("probe combo", "丙"), 2);
    EXPECT_EQ(gui::ComboCurrentItem("probe combo"), 1);
    gui::SetComboCurrentItem("probe combo", 5);  // out of range: ignored
    EXPECT_EQ(gui::ComboCurrentItem("probe combo"), 1);
    EXPECT_EQ(gui::ComboItemText("probe combo", 2), "丙");
    EXPECT_EQ(gui::ComboItemText("probe combo", 3), "");
}

TEST_F(ProbeWindowTest, OpenFileDialogConfirmsOrCancels) {
    // The test process's own private folder (see test_main.cpp), so parallel runs never meet.
    const char* privateDir = std::getenv("XDG_RUNTIME_DIR");
    ASSERT_NE(privateDir, nullptr);
    const std::filesystem::path folder = std::filesystem::path(privateDir) / "dialog";
    std::filesystem::create_directories(folder);
    const std::filesystem::path book = folder / "报表.xlsx";
    std::ofstream(book) << "x";

    std::optional<gui::test::FileDialogSeen> seen;
    gui::test::AnswerNextFileDialog(
        book.string(), [&](const gui::test::FileDialogSeen& dialog) { seen = dialog; });
    EXPECT_TRUE(gui::ShowOpenFileDialog("probe dialog"));
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->filters, (std::vector<std::string>{"xls,xlsx (*.xls *.xlsx)", "all (*.*)"}));
    EXPECT_EQ(gui::OpenFileDialogPath("probe dialog"), book.string());

    seen.reset();
    gui::test::AnswerNextFileDialog(
        std::nullopt, [&](const gui::test::FileDialogSeen& dialog) { seen = dialog; });
    EXPECT_FALSE(gui::ShowOpenFileDialog("probe dialog"));
    EXPECT_TRUE(seen.has_value());
    EXPECT_EQ(gui::OpenFileDialogPath("probe dialog"), book.string());

    std::filesystem::remove_all(folder);
}

TEST_F(ProbeWindowTest, SpoolerMessagePumpDispatchesTheWindowsEvents) {
    // Replacing the machine drops the dispatcher; starting the runtime (again) puts it back.
    sim::Install(sim::EmptyMachine());
    ASSERT_TRUE(gui::Initialize());
    bool dispatched = false;
    gui::test::WhenWindowShown(kName, [&] { dispatched = true; });
    MSG message{};
    for (int pump = 0; pump < 200 && !dispatched; ++pump) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
    }
    EXPECT_TRUE(dispatched);
    EXPECT_GT(sim::MessagePumps(), 0);
}

}  // namespace
