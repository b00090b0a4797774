// The system functions beside the spooler: GlobalAlloc blocks, the process token, privilege
// lookup and adjustment (held, not held, unknown, PreviousState), handles and the foreground
// window.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

// ---- GlobalAlloc and GlobalFree ----

using GlobalMemoryTest = SimTest;

TEST_F(GlobalMemoryTest, BlocksAreAlignedUsableAndZeroedWhenAsked) {
    for (SIZE_T size : {SIZE_T{0}, SIZE_T{1}, SIZE_T{3}, SIZE_T{8}, SIZE_T{157}, SIZE_T{4096}}) {
        for (UINT flags : {GPTR, GHND}) {
            auto* block = static_cast<unsigned char*>(GlobalAlloc(flags, size));
            ASSERT_NE(block, nullptr) << size;
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 8, 0u) << size;
            for (SIZE_T i = 0; i < size; ++i) {
                ASSERT_EQ(block[i], 0) << "byte " << i << " of " << size;
            }
            std::memset(block, 0x5A, size);  // the whole block is the caller's
            EXPECT_EQ(sim::LiveBlocks(), 1);
            EXPECT_EQ(GlobalFree(block), nullptr);
            EXPECT_EQ(sim::LiveBlocks(), 0);
        }
    }
}

TEST_F(GlobalMemoryTest, FreeingAnUnknownOrFreedBlockReturnsItAsFailure) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(GlobalFree(block), nullptr);
    int local = 0;
    for (HGLOBAL bad : {block, static_cast<HGLOBAL>(&local)}) {
        SetLastError(0);
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST_F(GlobalMemoryTest, AnAbsurdSizeFailsInsteadOfAllocating) {
    EXPECT_EQ(GlobalAlloc(GPTR, SIZE_T{1} << 40), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(sim::LiveBlocks(), 0);
}

// ---- The process token ----

using TokenTest = SimTest;

TEST_F(TokenTest, TokenHandlesAreCountedAndClosedOnce) {
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
    HANDLE first = nullptr;
    HANDLE second = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &first));
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES, &second));
    EXPECT_NE(first, second);
    EXPECT_EQ(sim::OpenTokenHandles(), 2);
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_FALSE(CloseHandle(first));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(second));
    EXPECT_EQ(sim::OpenTokenHandles(), 0);

    // Another process's handle is not ours; a printer handle is not a kernel handle.
    HANDLE token = nullptr;
    EXPECT_FALSE(OpenProcessToken(reinterpret_cast<HANDLE>(0x1234), TOKEN_QUERY, &token));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    char laser[] = "Office Laser";
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(laser, &printer, nullptr));
    EXPECT_FALSE(CloseHandle(printer));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(ClosePrinter(printer));
}

TEST_F(TokenTest, PrivilegeNamesMapToTheirIdentifiers) {
    struct Case {
        const char* system;
        const char* name;
        BOOL ok;
        DWORD luid;
    };
    const Case cases[] = {
        {nullptr, "SeLoadDriverPrivilege", TRUE, 10},
        {"", "SeShutdownPrivilege", TRUE, 19},
        {nullptr, "SeDebugPrivilege", TRUE, 20},
        {nullptr, "SeBackupPrivilege", TRUE, 17},
        {nullptr, "SeChangeNotifyPrivilege", TRUE, 23},
        {nullptr, "SeUndockPrivilege", TRUE, 25},
        {nullptr, "SeIncreaseWorkingSetPrivilege", TRUE, 33},
        {nullptr, "SeTimeZonePrivilege", TRUE, 34},
        {"\\\\OFFICE-PC", "seloaddriverprivilege", TRUE, 10},
        {nullptr, "SeMadeUpPrivilege", FALSE, 0},
        {nullptr, "", FALSE, 0},
    };
    for (const Case& c : cases) {
        LUID luid{0xFFFF, -1};
        SetLastError(0);
        EXPECT_EQ(LookupPrivilegeValueA(c.system, c.name, &luid), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(luid.LowPart, c.luid) << c.name;
            EXPECT_EQ(luid.HighPart, 0) << c.name;
        } else {
            EXPECT_EQ(GetLastError(), ERROR_NO_SUCH_PRIVILEGE) << c.name;
        }
    }
}

// A token opened for adjusting and querying, closed at the end of the scope.
class Token {
  public:
    explicit Token(DWORD access = TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY) {
        EXPECT_TRUE(OpenProcessToken(GetCurrentProcess(), access, &handle_));
    }
    ~Token() { CloseHandle(handle_); }
    Token(const Token&) = delete;
    Token& operator=(const Token&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

TOKEN_PRIVILEGES One(DWORD luid, DWORD attributes) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0] = {{luid, 0}, attributes};
    return privileges;
}

TEST_F(TokenTest, AdjustingSucceedsButReportsPrivilegesTheTokenLacks) {
    struct Case {
        bool administrator;
        DWORD luid;
        DWORD error;
    };
    const Case cases[] = {
        {false, 19, ERROR_SUCCESS},           // SeShutdown: every token
        {false, 34, ERROR_SUCCESS},           // SeTimeZone
        {false, 10, ERROR_NOT_ALL_ASSIGNED},  // SeLoadDriver: administrators only
        {false, 20, ERROR_NOT_ALL_ASSIGNED},  // SeDebug
        {true, 10, ERROR_SUCCESS},           {true, 17, ERROR_SUCCESS},  // SeBackup
        {true, 0, ERROR_NOT_ALL_ASSIGNED},                               // no token holds LUID 0
        {true, 999, ERROR_NOT_ALL_ASSIGNED},  // nor one that does not exist
    };
    for (const Case& c : cases) {
        sim::Install(sim::DefaultMachine());
        sim::SetAdministrator(c.administrator);
        Token token;
        TOKEN_PRIVILEGES request = One(c.luid, SE_PRIVILEGE_ENABLED);
        SetLastError(12345);
        EXPECT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &request, 0, nullptr, nullptr))
            << c.luid;
        EXPECT_EQ(GetLastError(), c.error) << "luid " << c.luid << " admin " << c.administrator;
    }
}

TEST_F(TokenTest, EnabledStateLastsAndPreviousStateReportsWhatChanged) {
    {
        Token token;
        TOKEN_PRIVILEGES request = One(19, SE_PRIVILEGE_ENABLED);
        TOKEN_PRIVILEGES previous{};
        DWORD length = 0;
        ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof(previous), &previous,
                                          &length));
        EXPECT_EQ(length, 16u);
        ASSERT_EQ(previous.PrivilegeCount, 1u);
        EXPECT_EQ(previous.Privileges[0].Luid.LowPart, 19u);
        EXPECT_EQ(previous.Privileges[0].Attributes, 0u) << "was disabled";
    }
    // A later token sees it enabled; asking again changes nothing, so nothing is reported.
    Token token;
    TOKEN_PRIVILEGES request = One(19, SE_PRIVILEGE_ENABLED);
    TOKEN_PRIVILEGES previous{};
    DWORD length = 0;
    ASSERT_TRUE(
        AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof(previous), &previous, &length));
    EXPECT_EQ(previous.PrivilegeCount, 0u);
    EXPECT_EQ(length, 4u);

    request = One(19, 0);
    ASSERT_TRUE(
        AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof(previous), &previous, &length));
    ASSERT_EQ(previous.PrivilegeCount, 1u);
    EXPECT_EQ(previous.Privileges[0].Attributes, SE_PRIVILEGE_ENABLED) << "was enabled";
}

TEST_F(TokenTest, PreviousStateTooSmallFailsWithoutAdjusting) {
    Token token;
    TOKEN_PRIVILEGES request = One(19, SE_PRIVILEGE_ENABLED);
    TOKEN_PRIVILEGES previous{};
    DWORD length = 0;
    EXPECT_FALSE(AdjustTokenPrivileges(token.get(), FALSE, &request, 4, &previous, &length));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(length, 16u);
    // Still disabled: enabling it now reports a change from disabled.
    ASSERT_TRUE(
        AdjustTokenPrivileges(token.get(), FALSE, &request, sizeof(previous), &previous, &length));
    ASSERT_EQ(previous.PrivilegeCount, 1u);
    EXPECT_EQ(previous.Privileges[0].Attributes, 0u);
}

TEST_F(TokenTest, MixedRequestEnablesWhatIsHeldAndReportsTheRest) {
    struct Two {
        DWORD PrivilegeCount;
        LUID_AND_ATTRIBUTES Privileges[2];
    };
    Two request{2, {{{10, 0}, SE_PRIVILEGE_ENABLED}, {{25, 0}, SE_PRIVILEGE_ENABLED}}};
    Two previous{};
    DWORD length = 0;
    Token token;
    ASSERT_TRUE(AdjustTokenPrivileges(
        token.get(), FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&request), sizeof(previous),
        reinterpret_cast<PTOKEN_PRIVILEGES>(&previous), &length));
    EXPECT_EQ(GetLastError(), ERROR_NOT_ALL_ASSIGNED);
    ASSERT_EQ(previous.PrivilegeCount, 1u);
    EXPECT_EQ(previous.Privileges[0].Luid.LowPart, 25u) << "SeUndock changed, SeLoadDriver not";
    EXPECT_EQ(sim::Current().enabledPrivileges,
              (std::vector<std::string>{"SeChangeNotifyPrivilege", "SeUndockPrivilege"}));
}

TEST_F(TokenTest, BadTokenOrMissingRightsAreRefused) {
    TOKEN_PRIVILEGES request = One(19, SE_PRIVILEGE_ENABLED);
    EXPECT_FALSE(AdjustTokenPrivileges(reinterpret_cast<HANDLE>(0x1234), FALSE, &request, 0,
                                       nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

    Token queryOnly(TOKEN_QUERY);
    EXPECT_FALSE(AdjustTokenPrivileges(queryOnly.get(), FALSE, &request, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    Token closed;
    HANDLE stale = closed.get();
    CloseHandle(stale);
    EXPECT_FALSE(AdjustTokenPrivileges(stale, FALSE, &request, 0, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(TokenTest, DisableAllTurnsOffEveryEnabledPrivilege) {
    Token token;
    TOKEN_PRIVILEGES previous[2]{};  // room for two entries
    DWORD length = 0;
    TOKEN_PRIVILEGES request = One(19, SE_PRIVILEGE_ENABLED);
    ASSERT_TRUE(AdjustTokenPrivileges(token.get(), FALSE, &request, 0, nullptr, nullptr));
    ASSERT_TRUE(
        AdjustTokenPrivileges(token.get(), TRUE, nullptr, sizeof(previous), previous, &length));
    EXPECT_EQ(previous[0].PrivilegeCount, 2u);  // SeShutdown and SeChangeNotify
    EXPECT_EQ(length, 4u + 2 * 12u);
    EXPECT_TRUE(sim::Current().enabledPrivileges.empty());
}

TEST(ForegroundWindowTest, IsAFixedNonNullWindow) {
    sim::Install(sim::DefaultMachine());
    const HWND window = GetForegroundWindow();
    EXPECT_NE(window, nullptr);
    EXPECT_EQ(GetForegroundWindow(), window);
}

// ---- PathFindExtensionA ----

TEST(PathFindExtensionTest, PointsAtTheExtensionOrTheEndInsideTheGivenText) {
    struct Row {
        const char* path;
        const char* extension;
    };
    const Row rows[] = {
        {"C:\\Data\\Book1.xlsx", ".xlsx"},
        {"/home/u/Book1.XLS", ".XLS"},
        {"report.tar.gz", ".gz"},
        {"C:\\dir.d\\file", ""},  // the dot is in a folder's name
        {"/dir.d/file", ""},      // '/' ends a component on Linux
        {"name.ext more", ""},    // a space after the dot: no extension
        {"name. xls", ""},
        {"trailing.", "."},
        {".hidden", ".hidden"},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        const char* found = PathFindExtensionA(row.path);
        ASSERT_NE(found, nullptr);
        // A pointer into the caller's text, not a copy.
        EXPECT_GE(found, row.path);
        EXPECT_LE(found, row.path + std::strlen(row.path));
        EXPECT_STREQ(found, row.extension);
    }
    EXPECT_EQ(PathFindExtensionA(nullptr), nullptr);
}

}  // namespace
