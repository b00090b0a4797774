// The simulation's test hooks: the call log and how it renders arguments, failure injection,
// machine changes between calls, Install's reset, the message pump and the per-thread last error.
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "sim_fixture.h"

namespace {

using Args = std::vector<std::string>;

using CallLogTest = SimTest;

TEST_F(CallLogTest, ArgumentsRenderNumbersTextNullAndPointers) {
    char laser[] = "Office Laser";
    DWORD needed = 0;
    DWORD returned = 0;
    sim::ClearCalls();
    EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed,
                  &returned);
    SetDefaultPrinterA("");
    SetDefaultPrinterA(nullptr);
    SetDefaultPrinterA(laser);

    const std::vector<sim::Call>& calls = sim::Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].function, "EnumPrintersA");
    EXPECT_EQ(calls[0].args, (Args{"6", "NULL", "4", "NULL", "0", "ptr", "ptr"}));
    EXPECT_EQ(calls[1].args, Args{"\"\""});
    EXPECT_EQ(calls[2].args, Args{"NULL"});
    EXPECT_EQ(calls[3].args, Args{"\"Office Laser\""});
}

TEST_F(CallLogTest, RecordsShowAccessMaskPrivilegesAndBufferSize) {
    char laser[] = "Office Laser";
    char raw[] = "RAW";
    PRINTER_DEFAULTSA defaults{raw, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    OpenPrinterA(laser, &printer, &defaults);  // denied to a standard user
    OpenPrinterA(laser, &printer, nullptr);
    ClosePrinter(printer);

    HANDLE token = nullptr;
    OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &token);
    TOKEN_PRIVILEGES privileges{1, {{{10, 0}, SE_PRIVILEGE_ENABLED}}};
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);

    DWORD size = 7;
    GetDefaultPrinterA(nullptr, &size);

    const std::vector<sim::Call> opens = sim::CallsOf("OpenPrinterA");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[0].args, (Args{"\"Office Laser\"", "ptr", "ptr"}));
    EXPECT_EQ(opens[0].record, (Args{"\"RAW\"", "NULL", "983052"}));
    EXPECT_EQ(opens[1].args, (Args{"\"Office Laser\"", "ptr", "NULL"}));
    EXPECT_TRUE(opens[1].record.empty());
    EXPECT_EQ(sim::CallsOf("OpenProcessToken")[0].args, (Args{"ptr", "32", "ptr"}));
    EXPECT_EQ(sim::CallsOf("AdjustTokenPrivileges")[0].record, (Args{"1", "10", "2"}));
    EXPECT_EQ(sim::CallsOf("AdjustTokenPrivileges")[0].args,
              (Args{"ptr", "0", "ptr", "0", "NULL", "NULL"}));
    EXPECT_EQ(sim::CallsOf("GetDefaultPrinterA")[0].record, Args{"7"});
}

TEST_F(CallLogTest, CallsOfKeepsOrderAndClearCallsEmptiesTheLog) {
    HGLOBAL first = GlobalAlloc(GPTR, 16);
    HGLOBAL second = GlobalAlloc(GMEM_FIXED, 32);
    GlobalFree(second);
    GlobalFree(first);
    const std::vector<sim::Call> allocs = sim::CallsOf("GlobalAlloc");
    ASSERT_EQ(allocs.size(), 2u);
    EXPECT_EQ(allocs[0].args, (Args{"64", "16"}));
    EXPECT_EQ(allocs[1].args, (Args{"0", "32"}));
    EXPECT_EQ(sim::CallsOf("GlobalFree").size(), 2u);
    sim::ClearCalls();
    EXPECT_TRUE(sim::Calls().empty());
}

TEST_F(CallLogTest, TextAndPointerArgumentsAreRenderedAsTheyReachedTheSpooler) {
    char port[] = "LPT1:";
    char empty[] = "";
    ConfigurePortA(nullptr, nullptr, port);
    ConfigurePortA(empty, nullptr, port);
    DWORD needed = 0;
    DWORD returned = 0;
    EnumFormsA(nullptr, 1, nullptr, 0, &needed, &returned);
    const auto configured = sim::CallsOf("ConfigurePortA");
    EXPECT_EQ(configured[0].args, (Args{"NULL", "NULL", "\"LPT1:\""}));
    EXPECT_EQ(configured[1].args, (Args{"\"\"", "NULL", "\"LPT1:\""}));
    EXPECT_EQ(sim::CallsOf("EnumFormsA")[0].args, (Args{"NULL", "1", "NULL", "0", "ptr", "ptr"}));
}

// ---- FailCall ----

using FailCallTest = SimTest;

TEST_F(FailCallTest, NthCallFromNowFailsWithTheErrorAndDoesNothing) {
    SetDefaultPrinterA("Fax");  // before the injection: not counted
    sim::FailCall("SetDefaultPrinterA", 2, ERROR_ACCESS_DENIED);

    EXPECT_TRUE(SetDefaultPrinterA("Label Printer"));
    SetLastError(0);
    EXPECT_FALSE(SetDefaultPrinterA("Front Desk Inkjet"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    char text[64];
    DWORD size = sizeof(text);
    ASSERT_TRUE(GetDefaultPrinterA(text, &size));
    EXPECT_STREQ(text, "Label Printer");
    EXPECT_TRUE(SetDefaultPrinterA("Front Desk Inkjet"));  // only once
    EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA").size(), 4u) << "a failed call is logged too";
}

TEST_F(FailCallTest, EachFunctionFailsWithItsOwnFailureValue) {
    constexpr DWORD kError = 4242;
    char laser[] = "Office Laser";
    struct Case {
        const char* function;
        std::function<bool()> failsCleanly;  // true when the result is the failure value
    };
    const Case cases[] = {
        {"EnumPrintersA",
         [] {
             DWORD needed = 0;
             DWORD returned = 0;
             return !EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &needed,
                                   &returned) &&
                    needed == 0;
         }},
        {"OpenPrinterA",
         [&] {
             HANDLE handle = nullptr;
             return !OpenPrinterA(laser, &handle, nullptr) && sim::OpenPrinterHandles() == 0;
         }},
        {"GlobalAlloc", [] { return GlobalAlloc(GPTR, 8) == nullptr && sim::LiveBlocks() == 0; }},
        {"OpenProcessToken",
         [] {
             HANDLE token = nullptr;
             return !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token) &&
                    sim::OpenTokenHandles() == 0;
         }},
        {"GetDefaultPrinterA",
         [] {
             DWORD size = 0;
             return !GetDefaultPrinterA(nullptr, &size) && size == 0;
         }},
    };
    for (const Case& c : cases) {
        sim::Install(sim::DefaultMachine());
        sim::FailCall(c.function, 1, kError);
        SetLastError(0);
        EXPECT_TRUE(c.failsCleanly()) << c.function;
        EXPECT_EQ(GetLastError(), kError) << c.function;
    }
}

TEST_F(FailCallTest, FailedCloseAndFreeKeepTheHandleAndTheBlock) {
    char laser[] = "Office Laser";
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(laser, &printer, nullptr));
    HGLOBAL block = GlobalAlloc(GPTR, 8);
    sim::FailCall("ClosePrinter", 1, ERROR_BUSY);
    sim::FailCall("GlobalFree", 1, ERROR_BUSY);

    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_EQ(GlobalFree(block), block) << "GlobalFree fails by returning the handle";
    EXPECT_EQ(GetLastError(), ERROR_BUSY);
    EXPECT_EQ(sim::OpenPrinterHandles(), 1);
    EXPECT_EQ(sim::LiveBlocks(), 1);

    EXPECT_TRUE(ClosePrinter(printer));
    EXPECT_EQ(GlobalFree(block), nullptr);
}

// ---- BeforeCall ----

using BeforeCallTest = SimTest;

TEST_F(BeforeCallTest, PrinterAddedBetweenTheTwoPassesMakesTheSecondPassTooSmall) {
    sim::BeforeCall("EnumPrintersA", 2, [](sim::Machine& machine) {
        machine.printers.push_back(machine.printers.front());
        machine.printers.back().name = "Added Late";
    });
    DWORD needed = 0;
    DWORD returned = 0;
    EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    const DWORD first = needed;
    EXPECT_FALSE(
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, buffer.data(), first, &needed, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_GT(needed, first);
    EXPECT_EQ(returned, 0u);

    // The change ran once: a third pass with the new size sees six printers.
    buffer.resize(needed);
    ASSERT_TRUE(
        EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, buffer.data(), needed, &needed, &returned));
    EXPECT_EQ(returned, 6u);
}

TEST_F(BeforeCallTest, ChangeRunsBeforeTheCallItPrecedes) {
    sim::BeforeCall("GetDefaultPrinterA", 1,
                    [](sim::Machine& machine) { machine.defaultPrinter.clear(); });
    char text[64];
    DWORD size = sizeof(text);
    EXPECT_FALSE(GetDefaultPrinterA(text, &size));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// ---- Install ----

TEST(InstallTest, ResetsLogFailuresChangesCountersAndForgetsHandlesAndBlocks) {
    sim::Install(sim::DefaultMachine());
    char laser[] = "Office Laser";
    HANDLE printer = nullptr;
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenPrinterA(laser, &printer, nullptr));
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    auto* block = static_cast<char*>(GlobalAlloc(GPTR, 32));
    ASSERT_NE(block, nullptr);
    PeekMessageA(nullptr, nullptr, 0, 0, PM_REMOVE);
    sim::FailCall("SetDefaultPrinterA", 1, ERROR_ACCESS_DENIED);
    bool changed = false;
    sim::BeforeCall("SetDefaultPrinterA", 1, [&](sim::Machine&) { changed = true; });

    sim::Install(sim::DefaultMachine());
    EXPECT_TRUE(sim::Calls().empty());
    EXPECT_EQ(sim::OpenPrinterHandles(), 0);
    EXPECT_EQ(sim::OpenTokenHandles(), 0);
    EXPECT_EQ(sim::LiveBlocks(), 0);
    EXPECT_EQ(sim::MessagePumps(), 0);
    EXPECT_TRUE(SetDefaultPrinterA("Fax"));
    EXPECT_FALSE(changed);

    // The caller's block is still usable memory, but no longer one of this machine's.
    block[31] = 'x';
    EXPECT_EQ(GlobalFree(block), block);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(ClosePrinter(printer));
    EXPECT_FALSE(CloseHandle(token));
}

TEST(InstallTest, AdministratorSwitchAppliesToTheInstalledMachine) {
    sim::Install(sim::DefaultMachine());
    sim::SetAdministrator(true);
    EXPECT_TRUE(sim::Current().administrator);
    sim::SetAdministrator(false);
    EXPECT_FALSE(sim::Current().administrator);
}

// ---- The message pump ----

TEST(MessagePumpTest, EachPeekCountsAndRunsTheDispatcher) {
    sim::Install(sim::DefaultMachine());
    int dispatched = 0;
    MSG message{};
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    sim::SetMessageDispatcher([&] { ++dispatched; });
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(sim::MessagePumps(), 3);
    EXPECT_EQ(dispatched, 2);

    // A dispatcher may call back into the simulation.
    sim::SetMessageDispatcher([&] { GlobalFree(GlobalAlloc(GPTR, 4)); });
    EXPECT_FALSE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(sim::LiveBlocks(), 0);
    sim::SetMessageDispatcher(nullptr);
    EXPECT_FALSE(TranslateMessage(&message));
    EXPECT_EQ(DispatchMessageA(&message), 0);
}

// ---- The last error ----

TEST(LastErrorTest, EachThreadHasItsOwn) {
    sim::Install(sim::DefaultMachine());
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenByOther = 1;
    std::thread other([&] {
        seenByOther = GetLastError();
        SetLastError(ERROR_BUSY);
    });
    other.join();
    EXPECT_EQ(seenByOther, 0u);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

}  // namespace
