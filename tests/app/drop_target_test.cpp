// DropTarget on a window of its own: the names it reports for one and several files, drops on
// every kind of control, a second registration refused, and an edit box that pastes no URL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/drop_target.h"
#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"

namespace {

using gui::ControlKind;

constexpr char kWindow[] = "DropWindow";

class DropTargetTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::Install(sim::DefaultMachine());
        ASSERT_TRUE(gui::Initialize());
        gui::WindowDesign design;
        design.name = kWindow;
        design.place = {0, 0, 300, 200};
        design.controls = {
            gui::Control("DropEdit", ControlKind::EditBox).At(5, 5, 200, 20),
            gui::Control("DropGroup", ControlKind::GroupBox).At(5, 30, 200, 100),
            gui::Control("DropList", ControlKind::CheckListBox).In("DropGroup").At(5, 15, 150, 60),
            gui::Control("DropLabel", ControlKind::Label).At(5, 140, 100, 20).Text("x"),
        };
        ASSERT_TRUE(gui::LoadWindow(design));
    }
    void TearDown() override {
        gui::DestroyWindow(kWindow);
        gui::ProcessEvents();
    }
};

TEST_F(DropTargetTest, ReportsOnePathAloneAndSeveralEachFollowedByCrLf) {
    DropTarget target;
    std::vector<std::string> reported;
    target.SetFilesDropped([&](const std::string& names) { reported.push_back(names); });
    ASSERT_TRUE(target.RegisterWindow(gui::GetWindowHandle(kWindow)));

    for (const char* place : {"DropEdit", "DropList", "DropLabel", "DropGroup", kWindow}) {
        SCOPED_TRACE(place);
        reported.clear();
        ASSERT_TRUE(gui::test::DropFiles(place, {"/data/报表 1.xls"}));
        EXPECT_EQ(reported, std::vector<std::string>{"/data/报表 1.xls"});
        reported.clear();
        ASSERT_TRUE(gui::test::DropFiles(place, {"/a/b.xls", "/c/d.txt"}));
        EXPECT_EQ(reported, std::vector<std::string>{"/a/b.xls\r\n/c/d.txt\r\n"});
    }
    // The edit box took none of the files as text.
    EXPECT_EQ(gui::EditBoxText("DropEdit"), "");
}

TEST_F(DropTargetTest, RegistersOnceOnly) {
    DropTarget target;
    int drops = 0;
    target.SetFilesDropped([&](const std::string&) { ++drops; });
    EXPECT_FALSE(target.RegisterWindow(0));
    ASSERT_TRUE(target.RegisterWindow(gui::GetWindowHandle(kWindow)));
    EXPECT_FALSE(target.RegisterWindow(gui::GetWindowHandle(kWindow)));
    ASSERT_TRUE(gui::test::DropFiles("DropLabel", {"/x.xls"}));
    EXPECT_EQ(drops, 1);  // still registered, and only once
}

TEST_F(DropTargetTest, WithoutATargetTheWindowTakesNoFiles) {
    EXPECT_FALSE(gui::test::DropFiles("DropLabel", {"/x.xls"}));
    {
        DropTarget target;
        ASSERT_TRUE(target.RegisterWindow(gui::GetWindowHandle(kWindow)));
    }
    // A target that has gone takes no more files.
    EXPECT_FALSE(gui::test::DropFiles("DropLabel", {"/x.xls"}));
}

}  // namespace
