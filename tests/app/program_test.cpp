// The real start-up and shutdown: RunProgram with a timer that ends it by the close box, the exit
// button or SIGTERM. Excel is told to quit once and the program state goes exactly once, after the
// window has gone; the exit button restores the default printer twice, the others once.
#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "app/shell_state.h"
#include "fake_excel.h"
#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"

namespace {

namespace mw = main_window;

// What the shutdown looked like at two moments: when the window restored the default printer
// (its will-be-destroyed event), and when an exit routine registered after start-up ran.
struct Observed {
    int releasesAtWillBeDestroyed = -1;
    bool windowShownAtWillBeDestroyed = false;
    int releasesAtLaterExitRoutine = -1;
    bool windowAtLaterExitRoutine = true;
    int topLevelWidgetsAtLaterExitRoutine = -1;
};
Observed observed;
int releasesBefore = 0;

void LaterExitRoutine() {
    observed.releasesAtLaterExitRoutine = ShellStateReleaseCount() - releasesBefore;
    observed.windowAtLaterExitRoutine = gui::test::InspectWindow(mw::kWindow).exists;
    observed.topLevelWidgetsAtLaterExitRoutine = gui::test::TopLevelWidgetCount();
}

struct CloseWay {
    const char* name;
    std::function<bool()> close;
    std::size_t restores;  // SetDefaultPrinterA calls
};

void PrintTo(const CloseWay& row, std::ostream* out) {
    *out << row.name;
}

class ProgramShutdownTest : public ::testing::TestWithParam<CloseWay> {};

TEST_P(ProgramShutdownTest, ReleasesTheStateOnceAfterTheWindowIsGone) {
    sim::Install(sim::DefaultMachine());
    const std::string originalDefault = sim::Current().defaultPrinter;
    observed = {};
    releasesBefore = ShellStateReleaseCount();
    sim::BeforeCall("SetDefaultPrinterA", 1, [](sim::Machine&) {
        observed.releasesAtWillBeDestroyed = ShellStateReleaseCount() - releasesBefore;
        observed.windowShownAtWillBeDestroyed = gui::test::InspectWindow(mw::kWindow).visible;
    });

    fake_excel::Server& excel = fake_excel::Install();
    excel.files["/data/Book.xlsx"] = {"A"};

    ASSERT_TRUE(gui::Initialize());  // so that the closing timer can be set up first
    bool closed = false;
    gui::test::WhenWindowShown(mw::kWindow, [&] {
        // Meanwhile the user loaded a workbook and made another printer the default.
        gui::SetEditBoxText(mw::编辑框1, "/data/Book.xlsx");
        gui::test::ClickButton(mw::按钮2);
        sim::Current().defaultPrinter = "Front Desk Inkjet";
        gui::AddExitRoutine(LaterExitRoutine);
        closed = GetParam().close();
    });
    EXPECT_EQ(RunProgram(), 0);

    EXPECT_TRUE(closed);
    EXPECT_EQ(ShellStateReleaseCount() - releasesBefore, 1);
    EXPECT_EQ(observed.releasesAtWillBeDestroyed, 0);
    EXPECT_TRUE(observed.windowShownAtWillBeDestroyed);
    EXPECT_EQ(observed.releasesAtLaterExitRoutine, 1);
    EXPECT_FALSE(observed.windowAtLaterExitRoutine);
    EXPECT_EQ(observed.topLevelWidgetsAtLaterExitRoutine, 0);
    EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA").size(), GetParam().restores);
    EXPECT_EQ(sim::Current().defaultPrinter, originalDefault);
    EXPECT_EQ(excel.instances, 1);
    EXPECT_EQ(std::count(excel.calls.begin(), excel.calls.end(), "Application.Quit"), 1);
    EXPECT_EQ(printerManager, nullptr);
    EXPECT_TRUE(printerNames.empty());
    EXPECT_TRUE(savedDefaultPrinter.empty());

    // Nothing is left to run a second time.
    gui::RunExitRoutines();
    EXPECT_EQ(ShellStateReleaseCount() - releasesBefore, 1);
    fake_excel::Uninstall();
}

INSTANTIATE_TEST_SUITE_P(
    CloseWays, ProgramShutdownTest,
    ::testing::Values(CloseWay{"CloseBox",
                               [] { return gui::test::CloseWindowByCloseBox(mw::kWindow); }, 1},
                      CloseWay{"ExitButton", [] { return gui::test::ClickButton(mw::按钮4); }, 2},
                      // The signal arrives from outside; the program ends from its message loop.
                      CloseWay{"Sigterm", [] { return raise(SIGTERM) == 0; }, 1},
                      CloseWay{"Sigint", [] { return raise(SIGINT) == 0; }, 1}),
    [](const auto& row) { return std::string(row.param.name); });

}  // namespace
