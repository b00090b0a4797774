// Shared pieces of the simulated spooler's tests: a fixture that installs a machine and checks
// afterwards that every handle and block a test opened was released, and a two-pass enumeration.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/sim/sim.h"
#include "platform/spooler.h"

class SimTest : public ::testing::Test {
  protected:
    void SetUp() override { sim::Install(sim::DefaultMachine()); }
    void TearDown() override {
        EXPECT_EQ(sim::OpenPrinterHandles(), 0) << "printer handle left open";
        EXPECT_EQ(sim::OpenTokenHandles(), 0) << "token handle left open";
        EXPECT_EQ(sim::LiveBlocks(), 0) << "block left allocated";
    }
};

// The answer of EnumPrintersA in a buffer of exactly the size it asked for.
struct Enumeration {
    std::vector<BYTE> buffer;
    DWORD needed = 0;
    DWORD returned = 0;
    BOOL ok = FALSE;

    template <typename Record>
    const Record& At(DWORD i) const {
        return reinterpret_cast<const Record*>(buffer.data())[i];
    }
};

inline Enumeration EnumeratePrinters(DWORD flags, DWORD level, LPSTR name = nullptr) {
    Enumeration result;
    EnumPrintersA(flags, name, level, nullptr, 0, &result.needed, &result.returned);
    result.buffer.assign(result.needed, 0xEE);
    result.ok = EnumPrintersA(flags, name, level, result.buffer.data(), result.needed,
                              &result.needed, &result.returned);
    return result;
}
