// The main window on a simulated machine with the fake Excel registered, and helpers to read the
// check-list box.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/main_window.h"
#include "app/shell_state.h"
#include "fake_excel.h"
#include "platform/gui.h"
#include "platform/gui_test_hooks.h"
#include "platform/sim/sim.h"

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override { Open(sim::DefaultMachine()); }
    void TearDown() override {
        gui::DestroyWindow(main_window::kWindow);
        gui::ProcessEvents();
        ReleaseShellState();
        fake_excel::Uninstall();
    }
    void Open(sim::Machine machine) {
        sim::Install(std::move(machine));
        excel = &fake_excel::Install();
        ASSERT_TRUE(gui::Initialize());
        InitShellState();
        ASSERT_TRUE(LoadMainWindow());
    }

    // The check-list box as (text, value) pairs.
    static std::vector<std::pair<std::string, std::int32_t>> ListedSheets() {
        std::vector<std::pair<std::string, std::int32_t>> items;
        const int count = gui::CheckListItemCount(main_window::选择列表框1);
        for (int i = 0; i < count; ++i) {
            items.emplace_back(gui::test::CheckListItemText(main_window::选择列表框1, i),
                               gui::CheckListItemValue(main_window::选择列表框1, i));
        }
        return items;
    }

    fake_excel::Server* excel = nullptr;
};
