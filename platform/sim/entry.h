// The one way into every simulated function: log the call with its rendered arguments, apply an
// injected failure or a pending machine change, then run the body. No exception leaves it.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/state.h"

namespace sim::detail {

// One argument as the call log will show it; rendering happens inside the guarded call, so
// building an Arg never allocates or throws. Text must be marked with Text() and any other char
// pointer (an output buffer) with Ptr(), so an output buffer is never read as text.
class Arg {
  public:
    template <std::signed_integral T>
    requires(!std::same_as<T, char>) Arg(T value)
    noexcept : kind_(Kind::Signed), signed_(value) {}
    template <std::unsigned_integral T>
    requires(!std::same_as<T, bool>) Arg(T value)
    noexcept : kind_(Kind::Unsigned), unsigned_(value) {}
    Arg(const void* pointer) noexcept : kind_(Kind::Pointer), pointer_(pointer) {}
    Arg(std::nullptr_t) noexcept : kind_(Kind::Pointer) {}
    Arg(const char*) = delete;
    Arg(char*) = delete;

    // A number in decimal; a text quoted ("\"\"" when empty); NULL for a null pointer; else "ptr".
    std::string Render() const;

  private:
    enum class Kind { Signed, Unsigned, Pointer, Text };
    friend Arg Text(const char* text) noexcept;

    Kind kind_;
    std::intmax_t signed_ = 0;
    std::uintmax_t unsigned_ = 0;
    const void* pointer_ = nullptr;
};

// A text argument: quoted, "\"\"" when empty, NULL when absent.
inline Arg Text(const char* text) noexcept {
    Arg arg(static_cast<const void*>(text));
    arg.kind_ = Arg::Kind::Text;
    return arg;
}

// A pointer argument that is not read, such as an output buffer: "ptr" or "NULL".
inline Arg Ptr(const void* pointer) noexcept {
    return Arg(pointer);
}

using Args = std::initializer_list<Arg>;

// Sets the last error and returns the call's failure value (FALSE unless another is given).
template <typename Result = BOOL>
Result Fail(DWORD error, Result failure = FALSE) {
    SetError(error);
    return failure;
}

// Logs the call and advances the pending failures and changes of `function`. Returns true when
// an injected failure fires: the last error is then set and the call must return its failure value.
bool Enter(State& state, const char* function, Args args, const std::vector<Arg>& record);

// For calls with no input record in the log.
struct NoRecord {
    std::vector<Arg> operator()() const { return {}; }
};

// Runs `body(state)` as the simulated `function`, returning `failure` on an injected failure or
// when anything throws (the last error is then ERROR_NOT_ENOUGH_MEMORY). `record()` gives the
// fields of the input record the call reads, for the log (see sim::Call).
template <typename Result, typename Record, typename Body>
Result Run(const char* function, Result failure, Args args, Record&& record, Body&& body) noexcept {
    try {
        State& state = GetState();
        std::lock_guard lock(state.mutex);
        const CallScope scope(state);
        if (Enter(state, function, args, record())) {
            return failure;
        }
        return body(state);
    } catch (...) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return failure;
    }
}

template <typename Result, typename Body>
Result Run(const char* function, Result failure, Args args, Body&& body) noexcept {
    return Run(function, failure, args, NoRecord{}, body);
}

}  // namespace sim::detail
