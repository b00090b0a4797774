// EnablePrivilege: turns on one privilege of the current process's token, as installing drivers,
// monitors and print processors requires.
#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

namespace {

// TOKEN_PRIVILEGES with room for two entries: the record's array is sized by its count.
struct TokenPrivilegesForTwo {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[2];
};

// A token handle closed with CloseHandle on every path on which it was opened.
class TokenHandle {
  public:
    explicit TokenHandle(DWORD desiredAccess) {
        if (!::OpenProcessToken(::GetCurrentProcess(), desiredAccess, &handle_)) {
            handle_ = nullptr;
        }
    }
    ~TokenHandle() {
        if (handle_ != nullptr) {
            ::CloseHandle(handle_);
        }
    }
    TokenHandle(const TokenHandle&) = delete;
    TokenHandle& operator=(const TokenHandle&) = delete;
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
};

}  // namespace

// The adjustment reports success even for a privilege the token does not hold, leaving
// ERROR_NOT_ALL_ASSIGNED as the last error; only a privilege really assigned counts as enabled.
bool EnablePrivilege(const std::string& privilegeName) {
    TokenHandle token(TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY | TOKEN_READ);

    LUID identifier{};
    char localSystem[] = "";
    const bool known =
        ::LookupPrivilegeValueA(localSystem, privilegeName.c_str(), &identifier) != 0;

    TokenPrivilegesForTwo newState{};
    newState.PrivilegeCount = 1;
    newState.Privileges[0].Luid = identifier;
    newState.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TokenPrivilegesForTwo previousState{};
    previousState.PrivilegeCount = 0;
    DWORD returnLength = 4;

    const BOOL adjusted =
        ::AdjustTokenPrivileges(token.get(), FALSE, reinterpret_cast<PTOKEN_PRIVILEGES>(&newState),
                                sizeof(DWORD) + sizeof(LUID_AND_ATTRIBUTES) * 1,
                                reinterpret_cast<PTOKEN_PRIVILEGES>(&previousState), &returnLength);
    const bool assigned = adjusted == 1 && ::GetLastError() != ERROR_NOT_ALL_ASSIGNED;
    return known && assigned;
}
