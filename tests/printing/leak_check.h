// A fixture base for PrinterManager tests: installs a machine and, after every test, asserts that
// no printer handle, token handle or answer block was left open.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/sim.h"

class SpoolerTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(sim::OpenPrinterHandles(), 0) << "printer handle left open";
        EXPECT_EQ(sim::OpenTokenHandles(), 0) << "token handle left open";
        EXPECT_EQ(sim::LiveBlocks(), 0) << "answer block left allocated";
    }
    static void Seed(sim::Machine machine) { sim::Install(std::move(machine)); }
};
