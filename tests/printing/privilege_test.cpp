// EnablePrivilege: true only for a privilege the token holds; the adjustment call is made with the
// documented arguments in every case, and the token is always closed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "printing/printer_manager.h"
#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;

class EnablePrivilegeTest : public SpoolerTest {};

TEST_F(EnablePrivilegeTest, TrueOnlyWhenThePrivilegeWasAssigned) {
    struct Case {
        const char* privilege;
        bool administrator;
        bool expected;
    };
    const Case cases[] = {
        {"SeLoadDriverPrivilege", true, true},
        {"SeLoadDriverPrivilege", false, false},  // held only by an administrator's token
        {"SeShutdownPrivilege", false, true},
        {"SeNoSuchPrivilege", true, false},  // unknown name: a zero identifier is adjusted
        {"", true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.privilege) + (c.administrator ? " admin" : " standard"));
        sim::MachineBuilder builder;
        builder.Administrator(c.administrator);
        Seed(builder.Build());
        EXPECT_EQ(EnablePrivilege(c.privilege), c.expected);

        EXPECT_EQ(sim::CallsOf("OpenProcessToken").at(0).args,
                  (Args{"ptr", "131112", "ptr"}));  // 0x20028
        EXPECT_EQ(sim::CallsOf("LookupPrivilegeValueA").at(0).args,
                  (Args{"\"\"", "\"" + std::string(c.privilege) + "\"", "ptr"}));
        EXPECT_EQ(sim::CallsOf("AdjustTokenPrivileges").at(0).args,
                  (Args{"ptr", "0", "ptr", "16", "ptr", "ptr"}));
        EXPECT_EQ(sim::CallsOf("CloseHandle").size(), 1u);
    }
}

TEST_F(EnablePrivilegeTest, TokenThatCannotBeOpenedStillMakesTheAdjustmentAndGivesFalse) {
    sim::MachineBuilder builder;
    builder.Administrator(true);
    Seed(builder.Build());
    sim::FailCall("OpenProcessToken", 1, ERROR_ACCESS_DENIED);
    EXPECT_FALSE(EnablePrivilege("SeLoadDriverPrivilege"));
    ASSERT_EQ(sim::CallsOf("AdjustTokenPrivileges").size(), 1u);
    EXPECT_EQ(sim::CallsOf("AdjustTokenPrivileges")[0].args[0], "NULL");
    EXPECT_TRUE(sim::CallsOf("CloseHandle").empty());
}

}  // namespace
