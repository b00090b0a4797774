// Lays out the answer of an Enum*/Get* call the way the spooler does: the fixed-size records back
// to back from the buffer's start, then the strings and device modes they point to, each aligned to
// a pointer, all inside the caller's buffer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/state.h"
#include "platform/spooler.h"

namespace sim::detail {

// One pass over the layout. A measuring packer only adds up the bytes and hands out scratch
// records; a writing packer fills the caller's buffer, which must hold Needed() bytes.
class Packer {
  public:
    Packer() = default;                                  // measures
    explicit Packer(LPBYTE buffer) : buffer_(buffer) {}  // writes

    // The array of `count` records at the buffer's start; call it once, before anything else.
    template <typename Record>
    Record* Records(std::size_t count) {
        return static_cast<Record*>(Place(count * sizeof(Record), alignof(Record)));
    }
    // A zero-filled item the records point to, such as a DEVMODEA.
    template <typename Item>
    Item* Extra() {
        return static_cast<Item*>(Place(sizeof(Item), alignof(Item)));
    }
    // A copy of `text` with its NUL; an empty text still takes a byte and gets a pointer to "".
    LPSTR Text(std::string_view text);
    // A copy of `text`, or a null pointer (taking no room) when it is empty.
    LPSTR TextOrNull(std::string_view text);
    // A list of names, each with its NUL, closed by an extra NUL; a null pointer when empty.
    LPSTR MultiText(const std::vector<std::string>& names);

    std::size_t Needed() const { return used_; }

  private:
    void* Place(std::size_t bytes, std::size_t alignment);

    LPBYTE buffer_ = nullptr;
    std::size_t used_ = 0;
    std::vector<std::vector<std::max_align_t>> scratch_;  // a measuring pass's records
};

// The buffer protocol of the Enum*/Get* calls: `fill(packer)` lays out the answer. It is measured
// first; *pcbNeeded gets the byte count, and when the buffer is missing or too small the call
// fails with ERROR_INSUFFICIENT_BUFFER before anything is written. An empty answer fits any buffer.
template <typename Fill>
bool PackAnswer(LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded, Fill&& fill) {
    Packer measure;
    fill(measure);
    const std::size_t needed = measure.Needed();
    if (needed > 0xFFFFFFFFu) {
        SetError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    *pcbNeeded = static_cast<DWORD>(needed);
    if (needed > 0 && (buffer == nullptr || cbBuf < needed)) {
        SetError(ERROR_INSUFFICIENT_BUFFER);
        return false;
    }
    Packer write(buffer);
    fill(write);
    return true;
}

}  // namespace sim::detail
