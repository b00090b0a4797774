// The system functions beside the spooler: last error, GlobalAlloc memory, the process token and
// its privileges, handles, the foreground window and the message pump.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/spooler.h"

namespace sim::detail {
namespace {

const HANDLE kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));
HWND const kForegroundWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x10012));

// Windows' answer when a named remote system cannot be reached.
constexpr DWORD kRpcServerUnavailable = 1722;

// A block larger than this is refused as if memory ran out, so a caller's bad size cannot take
// down the test process.
constexpr SIZE_T kLargestBlock = SIZE_T{256} * 1024 * 1024;

// Bytes of a block allocated without GMEM_ZEROINIT, so code that forgets to zero it shows.
constexpr unsigned char kUninitialised = 0xCD;

struct Privilege {
    std::string_view name;
    DWORD luid;
    bool administratorOnly;  // held by an elevated token only
};

constexpr Privilege kPrivileges[] = {
    {"SeLoadDriverPrivilege", 10, true},          {"SeBackupPrivilege", 17, true},
    {"SeShutdownPrivilege", 19, false},           {"SeDebugPrivilege", 20, true},
    {"SeChangeNotifyPrivilege", 23, false},       {"SeUndockPrivilege", 25, false},
    {"SeIncreaseWorkingSetPrivilege", 33, false}, {"SeTimeZonePrivilege", 34, false},
};

const Privilege* FindPrivilege(std::string_view name) {
    for (const Privilege& privilege : kPrivileges) {
        if (SameName(privilege.name, name)) {
            return &privilege;
        }
    }
    return nullptr;
}

const Privilege* FindPrivilege(const LUID& luid) {
    for (const Privilege& privilege : kPrivileges) {
        if (luid.HighPart == 0 && privilege.luid == luid.LowPart) {
            return &privilege;
        }
    }
    return nullptr;
}

bool Contains(const std::vector<std::string>& names, std::string_view name) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& other) { return SameName(other, name); });
}

bool Holds(const Machine& machine, const Privilege& privilege) {
    return (machine.administrator || !privilege.administratorOnly) &&
           !Contains(machine.removedPrivileges, privilege.name);
}

void SetEnabled(Machine& machine, std::string_view name, bool enabled) {
    auto& list = machine.enabledPrivileges;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const std::string& other) { return SameName(other, name); }),
               list.end());
    if (enabled) {
        list.emplace_back(name);
    }
}

// One privilege whose state an adjustment changes.
struct Change {
    const Privilege* privilege;
    bool wasEnabled;
    bool enabled;
    bool removed;
};

constexpr std::size_t kNewStateShown = 64;  // entries of NewState the call log renders at most

}  // namespace
}  // namespace sim::detail

using sim::Machine;
using sim::detail::Arg;
using sim::detail::Ptr;
using sim::detail::Run;
using sim::detail::State;
using sim::detail::Text;

DWORD GetLastError() {
    using namespace sim::detail;
    // The answer is the last error on every path, an injected one included.
    Run("GetLastError", DWORD{0}, {}, [](State&) { return DWORD{0}; });
    return LastError();
}

void SetLastError(DWORD dwErrCode) {
    using namespace sim::detail;
    Run("SetLastError", 0, {dwErrCode}, [&](State&) {
        SetError(dwErrCode);
        return 0;
    });
}

HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes) {
    using namespace sim::detail;
    return Run("GlobalAlloc", HGLOBAL{nullptr}, {uFlags, dwBytes}, [&](State& state) -> HGLOBAL {
        if (dwBytes > kLargestBlock) {
            return Fail(ERROR_NOT_ENOUGH_MEMORY, HGLOBAL{nullptr});
        }
        // Moveable blocks are fixed too: the handle is the memory, as no GlobalLock is needed.
        Block block;
        block.size = dwBytes;
        block.flags = uFlags;
        const std::size_t units = dwBytes / sizeof(std::max_align_t) + 1;
        block.memory = std::make_unique<std::max_align_t[]>(units);
        std::memset(block.memory.get(), (uFlags & GMEM_ZEROINIT) != 0 ? 0 : kUninitialised,
                    units * sizeof(std::max_align_t));
        void* memory = block.memory.get();
        state.blocks.emplace(memory, std::move(block));
        return memory;
    });
}

HGLOBAL GlobalFree(HGLOBAL hMem) {
    using namespace sim::detail;
    return Run("GlobalFree", hMem, {Ptr(hMem)}, [&](State& state) -> HGLOBAL {
        if (hMem == nullptr) {
            return nullptr;
        }
        if (state.blocks.erase(hMem) == 0) {
            return Fail(ERROR_INVALID_HANDLE, hMem);
        }
        return nullptr;
    });
}

HWND GetForegroundWindow() {
    using namespace sim::detail;
    return Run("GetForegroundWindow", HWND{nullptr}, {}, [](State&) { return kForegroundWindow; });
}

HANDLE GetCurrentProcess() {
    using namespace sim::detail;
    return Run("GetCurrentProcess", kCurrentProcess, {}, [](State&) { return kCurrentProcess; });
}

BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle) {
    using namespace sim::detail;
    return Run("OpenProcessToken", FALSE, {Ptr(ProcessHandle), DesiredAccess, Ptr(TokenHandle)},
               [&](State& state) -> BOOL {
                   if (ProcessHandle != kCurrentProcess) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (TokenHandle == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   HANDLE handle = NewHandle(state);
                   state.tokenHandles.emplace(reinterpret_cast<std::uintptr_t>(handle),
                                              TokenHandleEntry{DesiredAccess});
                   *TokenHandle = handle;
                   return TRUE;
               });
}

BOOL LookupPrivilegeValueA(LPCSTR lpSystemName, LPCSTR lpName, PLUID lpLuid) {
    using namespace sim::detail;
    return Run("LookupPrivilegeValueA", FALSE, {Text(lpSystemName), Text(lpName), Ptr(lpLuid)},
               [&](State& state) -> BOOL {
                   if (lpSystemName != nullptr && *lpSystemName != '\0' &&
                       !IsLocalMachine(state.machine, lpSystemName)) {
                       return Fail(kRpcServerUnavailable);
                   }
                   if (lpName == nullptr || lpLuid == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   const Privilege* privilege = FindPrivilege(lpName);
                   if (privilege == nullptr) {
                       return Fail(ERROR_NO_SUCH_PRIVILEGE);
                   }
                   *lpLuid = LUID{privilege->luid, 0};
                   return TRUE;
               });
}

BOOL AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges,
                           PTOKEN_PRIVILEGES NewState, DWORD BufferLength,
                           PTOKEN_PRIVILEGES PreviousState, PDWORD ReturnLength) {
    using namespace sim::detail;
    auto record = [&] {
        std::vector<Arg> fields;
        if (NewState != nullptr) {
            fields.emplace_back(NewState->PrivilegeCount);
            const LUID_AND_ATTRIBUTES* entries = NewState->Privileges;
            const std::size_t shown =
                std::min<std::size_t>(NewState->PrivilegeCount, kNewStateShown);
            for (std::size_t i = 0; i < shown; ++i) {
                fields.emplace_back(entries[i].Luid.LowPart);
                fields.emplace_back(entries[i].Attributes);
            }
        }
        return fields;
    };
    return Run(
        "AdjustTokenPrivileges", FALSE,
        {Ptr(TokenHandle), DisableAllPrivileges, Ptr(NewState), BufferLength, Ptr(PreviousState),
         Ptr(ReturnLength)},
        record, [&](State& state) -> BOOL {
            const auto token =
                state.tokenHandles.find(reinterpret_cast<std::uintptr_t>(TokenHandle));
            if (token == state.tokenHandles.end()) {
                return Fail(ERROR_INVALID_HANDLE);
            }
            const DWORD access = token->second.access;
            if ((access & TOKEN_ADJUST_PRIVILEGES) == 0 ||
                (PreviousState != nullptr && (access & TOKEN_QUERY) == 0)) {
                return Fail(ERROR_ACCESS_DENIED);
            }
            if ((!DisableAllPrivileges && NewState == nullptr) ||
                (PreviousState != nullptr && ReturnLength == nullptr)) {
                return Fail(ERROR_INVALID_PARAMETER);
            }

            // Work out every change first: a PreviousState too small must leave the token as it is.
            Machine& machine = state.machine;
            std::vector<std::string> enabled = machine.enabledPrivileges;
            std::vector<Change> changes;
            bool allAssigned = true;
            auto apply = [&](const Privilege& privilege, bool enable, bool remove) {
                const bool wasEnabled = Contains(enabled, privilege.name);
                if (wasEnabled == enable && !remove) {
                    return;
                }
                changes.push_back({&privilege, wasEnabled, enable, remove});
                enabled.erase(std::remove_if(enabled.begin(), enabled.end(),
                                             [&](const std::string& other) {
                                                 return SameName(other, privilege.name);
                                             }),
                              enabled.end());
                if (enable) {
                    enabled.emplace_back(privilege.name);
                }
            };
            if (DisableAllPrivileges) {
                for (const Privilege& privilege : kPrivileges) {
                    if (Holds(machine, privilege)) {
                        apply(privilege, false, false);
                    }
                }
            } else {
                const LUID_AND_ATTRIBUTES* entries = NewState->Privileges;
                for (DWORD i = 0; i < NewState->PrivilegeCount; ++i) {
                    const Privilege* privilege = FindPrivilege(entries[i].Luid);
                    if (privilege == nullptr || !Holds(machine, *privilege)) {
                        allAssigned = false;
                        continue;
                    }
                    const DWORD attributes = entries[i].Attributes;
                    const bool remove = (attributes & SE_PRIVILEGE_REMOVED) != 0;
                    apply(*privilege, !remove && (attributes & SE_PRIVILEGE_ENABLED) != 0, remove);
                }
            }

            if (PreviousState != nullptr) {
                const auto needed =
                    static_cast<DWORD>(offsetof(TOKEN_PRIVILEGES, Privileges) +
                                       changes.size() * sizeof(LUID_AND_ATTRIBUTES));
                *ReturnLength = needed;
                if (BufferLength < needed) {
                    return Fail(ERROR_INSUFFICIENT_BUFFER);
                }
                PreviousState->PrivilegeCount = static_cast<DWORD>(changes.size());
                LUID_AND_ATTRIBUTES* previous = PreviousState->Privileges;
                for (std::size_t i = 0; i < changes.size(); ++i) {
                    previous[i].Luid = LUID{changes[i].privilege->luid, 0};
                    previous[i].Attributes = changes[i].wasEnabled ? SE_PRIVILEGE_ENABLED : 0;
                }
            }
            for (const Change& change : changes) {
                SetEnabled(machine, change.privilege->name, change.enabled);
                if (change.removed) {
                    machine.removedPrivileges.emplace_back(change.privilege->name);
                }
            }
            SetError(allAssigned ? ERROR_SUCCESS : ERROR_NOT_ALL_ASSIGNED);
            return TRUE;
        });
}

BOOL CloseHandle(HANDLE hObject) {
    using namespace sim::detail;
    return Run("CloseHandle", FALSE, {Ptr(hObject)}, [&](State& state) -> BOOL {
        if (hObject == kCurrentProcess) {
            return TRUE;  // closing the pseudo-handle does nothing
        }
        if (state.tokenHandles.erase(reinterpret_cast<std::uintptr_t>(hObject)) == 0) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        return TRUE;
    });
}

LPSTR PathFindExtensionA(LPCSTR pszPath) {
    using namespace sim::detail;
    return Run("PathFindExtensionA", LPSTR{nullptr}, {Text(pszPath)}, [&](State&) -> LPSTR {
        if (pszPath == nullptr) {
            return nullptr;
        }
        // The last '.' of the last path component, unless a space follows it; else the end. On
        // Linux '/' ends a path component as well as '\\'.
        const char* candidate = nullptr;
        const char* p = pszPath;
        for (; *p != '\0'; ++p) {
            if (*p == '.') {
                candidate = p;
            } else if (*p == '\\' || *p == '/' || *p == ' ') {
                candidate = nullptr;
            }
        }
        return const_cast<LPSTR>(candidate != nullptr ? candidate : p);
    });
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    using namespace sim::detail;
    std::function<void()> dispatch;
    Run("PeekMessageA", FALSE, {Ptr(lpMsg), Ptr(hWnd), wMsgFilterMin, wMsgFilterMax, wRemoveMsg},
        [&](State& state) -> BOOL {
            ++state.messagePumps;
            dispatch = state.dispatcher;
            return FALSE;
        });
    // The toolkit's events are dispatched outside the lock: they may call back into the spooler.
    if (dispatch) {
        try {
            dispatch();
        } catch (...) {
        }
    }
    return FALSE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
    using namespace sim::detail;
    return Run("TranslateMessage", FALSE, {Ptr(lpMsg)}, [](State&) { return FALSE; });
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
    using namespace sim::detail;
    return Run("DispatchMessageA", LRESULT{0}, {Ptr(lpMsg)}, [](State&) { return LRESULT{0}; });
}
