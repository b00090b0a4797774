// The simulated spooler's process-wide state behind the hooks of sim.h: the installed machine, the
// call log, pending failures and changes, the handle tables and the GlobalAlloc blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/sim.h"
#include "platform/sim/store.h"

namespace sim::detail {

// What a printer handle was opened on. A server handle has an empty printer name.
struct PrinterHandleEntry {
    bool server = false;
    std::string printer;  // the printer's name as the machine spells it
    DWORD access = 0;     // the access granted at OpenPrinterA
    std::string datatype;
    DWORD documentJob = 0;  // the job of the document open on this handle, 0 when none
};

struct TokenHandleEntry {
    DWORD access = 0;
};

struct Block {
    std::unique_ptr<std::max_align_t[]> memory;
    std::size_t size = 0;
    UINT flags = 0;
};

struct PendingFailure {
    std::string function;
    int remaining =
        0;  // calls of the function still to come before (and including) the failing one
    DWORD error = 0;
};

struct PendingChange {
    std::string function;
    int remaining = 0;
    std::function<void(Machine&)> change;
};

struct State {
    std::recursive_mutex mutex;
    Machine machine;
    std::vector<Call> calls;
    std::vector<PendingFailure> failures;
    std::vector<PendingChange> changes;
    std::map<std::uintptr_t, PrinterHandleEntry> printerHandles;
    std::map<std::uintptr_t, TokenHandleEntry> tokenHandles;
    std::uintptr_t nextHandle = 0x4000;  // never reused, so a stale handle is never mistaken
    std::map<const void*, Block> blocks;
    std::vector<Block> forgotten;  // blocks of earlier installs: kept alive, no longer counted
    int messagePumps = 0;
    // The machine's state folder, opened on the first call unless a test installed a machine of
    // its own (tests keep their machines in memory).
    std::optional<Store> store;
    bool storeTried = false;
    bool installed = false;
    std::function<void()> dispatcher;
};

// Brackets every simulated call: with a state folder, takes its lock and reads the machine
// before, and writes it back and releases the lock after.
class CallScope {
  public:
    explicit CallScope(State& state);
    ~CallScope();
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

  private:
    State& state_;
};

// The one state of the process. It is never destroyed, so a spooler call made while the program
// exits still finds it.
State& GetState();

// Sets the calling thread's last error without going through the call log.
void SetError(DWORD error);
DWORD LastError();

// A fresh opaque handle value: non-null, never dereferenced, never handed out twice.
HANDLE NewHandle(State& state);

}  // namespace sim::detail
