// The test hooks of sim.h and the shared entry path: installing a machine, the call log, failure
// injection, pending machine changes and the counters of what is still open.
#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/sim/sim.h"
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}  // namespace

State& GetState() {
    // Deliberately never freed: static destructors of other objects may still call in. A process
    // that installs no machine of its own sees the embedded small office.
    static State* const state = [] {
        auto* created = new State();
        created->machine = DefaultMachine();
        return created;
    }();
    return *state;
}

CallScope::CallScope(State& state) : state_(state) {
    if (!state.installed && !state.storeTried) {
        state.storeTried = true;
        if (std::optional<Store> opened = Store::Open(StateFolder())) {
            state.store.emplace(std::move(*opened));
        }
        if (!state.store) {
            std::fprintf(stderr,
                         "tallowind: the spooler state folder %s cannot be used; this process "
                         "keeps its own machine\n",
                         StateFolder().c_str());
        }
    }
    if (state.store) {
        state.store->Begin(state.machine);
    }
}

CallScope::~CallScope() {
    if (state_.store) {
        state_.store->End(state_.machine);
    }
}

void SetError(DWORD error) {
    lastError = error;
}

DWORD LastError() {
    return lastError;
}

HANDLE NewHandle(State& state) {
    const std::uintptr_t value = state.nextHandle;
    state.nextHandle += 4;
    return reinterpret_cast<HANDLE>(value);
}

std::string Arg::Render() const {
    switch (kind_) {
        case Kind::Signed:
            return std::to_string(signed_);
        case Kind::Unsigned:
            return std::to_string(unsigned_);
        case Kind::Text:
            return pointer_ == nullptr
                       ? "NULL"
                       : "\"" + std::string(static_cast<const char*>(pointer_)) + "\"";
        case Kind::Pointer:
            break;
    }
    return pointer_ == nullptr ? "NULL" : "ptr";
}

bool Enter(State& state, const char* function, Args args, const std::vector<Arg>& record) {
    Call call;
    call.function = function;
    call.args.reserve(args.size());
    for (const Arg& arg : args) {
        call.args.push_back(arg.Render());
    }
    for (const Arg& field : record) {
        call.record.push_back(field.Render());
    }
    state.calls.push_back(std::move(call));

    // Every pending entry of this function counts the call; the ones that reach zero are due now.
    bool failed = false;
    DWORD error = ERROR_SUCCESS;
    for (auto it = state.failures.begin(); it != state.failures.end();) {
        if (it->function == function && --it->remaining == 0) {
            if (!failed) {
                failed = true;
                error = it->error;
            }
            it = state.failures.erase(it);
        } else {
            ++it;
        }
    }
    std::vector<std::function<void(Machine&)>> due;
    for (auto it = state.changes.begin(); it != state.changes.end();) {
        if (it->function == function && --it->remaining == 0) {
            due.push_back(std::move(it->change));
            it = state.changes.erase(it);
        } else {
            ++it;
        }
    }
    if (failed) {
        SetError(error);
        return true;
    }
    for (auto& change : due) {
        change(state.machine);
    }
    return false;
}

}  // namespace detail

using detail::GetState;

void Install(Machine machine) {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.machine = std::move(machine);
    // A hand-built queue may leave ids at 0; the spooler's ids are unique and increase.
    detail::NumberJobs(state.machine);
    state.installed = true;
    state.store.reset();
    state.calls.clear();
    state.failures.clear();
    state.changes.clear();
    state.printerHandles.clear();
    state.tokenHandles.clear();
    // The caller may still hold these blocks, so they stay allocated; they just stop counting.
    for (auto& [address, block] : state.blocks) {
        state.forgotten.push_back(std::move(block));
    }
    state.blocks.clear();
    state.messagePumps = 0;
    state.dispatcher = nullptr;
}

Machine& Current() {
    return GetState().machine;
}

std::vector<Job> JobsOf(const std::string& printer) {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    const Printer* found = detail::FindPrinter(state.machine, printer);
    return found != nullptr ? found->jobs : std::vector<Job>{};
}

void SetAdministrator(bool administrator) {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.machine.administrator = administrator;
}

void FailCall(const std::string& function, int nth, DWORD error) {
    if (nth < 1) {
        return;
    }
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.failures.push_back({function, nth, error});
}

void BeforeCall(const std::string& function, int nth, std::function<void(Machine&)> change) {
    if (nth < 1 || !change) {
        return;
    }
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.changes.push_back({function, nth, std::move(change)});
}

const std::vector<Call>& Calls() {
    return GetState().calls;
}

std::vector<Call> CallsOf(const std::string& function) {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    std::vector<Call> matching;
    std::copy_if(state.calls.begin(), state.calls.end(), std::back_inserter(matching),
                 [&](const Call& call) { return call.function == function; });
    return matching;
}

void ClearCalls() {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.calls.clear();
}

int OpenPrinterHandles() {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    return static_cast<int>(state.printerHandles.size());
}

int OpenTokenHandles() {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    return static_cast<int>(state.tokenHandles.size());
}

int LiveBlocks() {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    return static_cast<int>(state.blocks.size());
}

int MessagePumps() {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    return state.messagePumps;
}

void SetMessageDispatcher(std::function<void()> dispatch) {
    detail::State& state = GetState();
    std::lock_guard lock(state.mutex);
    state.dispatcher = std::move(dispatch);
}

}  // namespace sim
