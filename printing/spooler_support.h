// The mechanics every PrinterManager operation shares: texts to and from the spooler, the
// zero-filled answer block, the printer handle that closes itself, the two-pass enumeration and
// the printer selection rule. Each lives here once.
#pragma once

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "platform/spooler.h"

namespace printing {

// A text read out of a spooler record: up to its first NUL; a null pointer is the empty text.
inline std::string CopyText(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

// The pointer a text reaches the spooler as: the empty text goes as a null pointer. The spooler
// takes non-const pointers for inputs it never writes to.
inline LPSTR TextArg(const std::string& text) {
    return text.empty() ? nullptr : const_cast<LPSTR>(text.c_str());
}

// A zero-filled GlobalAlloc block of exactly the requested size, freed on every path.
class GlobalBlock {
  public:
    explicit GlobalBlock(DWORD bytes)
        : memory_(::GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes)), size_(bytes) {}
    ~GlobalBlock() {
        if (memory_ != nullptr) {
            ::GlobalFree(memory_);
        }
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;

    LPBYTE data() const { return static_cast<LPBYTE>(memory_); }
    DWORD size() const { return size_; }

  private:
    HGLOBAL memory_;
    DWORD size_;
};

// A printer opened with OpenPrinterA, closed with ClosePrinter when it goes out of scope. It is
// closed only when the open succeeded. An empty name reaches the spooler as a null pointer.
class PrinterHandle {
  public:
    PrinterHandle(const std::string& printerName, DWORD desiredAccess,
                  const char* datatype = nullptr) {
        PRINTER_DEFAULTSA defaults{};
        defaults.pDatatype = const_cast<LPSTR>(datatype);
        defaults.pDevMode = nullptr;
        defaults.DesiredAccess = desiredAccess;
        opened_ = ::OpenPrinterA(TextArg(printerName), &handle_, &defaults) != 0;
    }
    ~PrinterHandle() {
        if (opened_) {
            ::ClosePrinter(handle_);
        }
    }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;

    explicit operator bool() const { return opened_; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_ = nullptr;
    bool opened_ = false;
};

// The two-pass enumeration: `enumerate(buffer, size, &needed, &returned)` is called first with no
// buffer and size 0 to learn the byte count (its result is not looked at), then with a zero-filled
// block of exactly that size. When the second call fails the result is -1 and `readAll` never
// runs; otherwise `readAll` sees the returned records at once (they lie back to back from the
// block's start) and the result is their count.
template <typename Record, typename Enumerate, typename ReadAll>
int EnumerateTwoPassAll(Enumerate&& enumerate, ReadAll&& readAll) {
    DWORD needed = 0;
    DWORD returned = 0;
    enumerate(nullptr, DWORD{0}, &needed, &returned);
    GlobalBlock block(needed);
    returned = 0;
    if (!enumerate(block.data(), block.size(), &needed, &returned)) {
        return -1;
    }
    if (static_cast<uint64_t>(returned) * sizeof(Record) > block.size()) {
        return -1;  // a count the block cannot hold is not to be believed
    }
    readAll(std::span<const Record>(reinterpret_cast<const Record*>(block.data()), returned));
    return static_cast<int>(returned);
}

// The same, with `read` called once per record, in order.
template <typename Record, typename Enumerate, typename Read>
int EnumerateTwoPass(Enumerate&& enumerate, Read&& read) {
    return EnumerateTwoPassAll<Record>(std::forward<Enumerate>(enumerate),
                                       [&](std::span<const Record> records) {
                                           for (const Record& record : records) {
                                               read(record);
                                           }
                                       });
}

// A text the spooler writes into a block whose size it reports first (a directory path): the
// text up to its first NUL, or the empty text when the second call fails.
template <typename Get>
std::string ReadTextTwoPass(Get&& get) {
    DWORD needed = 0;
    get(nullptr, DWORD{0}, &needed);
    GlobalBlock block(needed);
    if (!get(block.data(), block.size(), &needed) || block.data() == nullptr) {
        return std::string();
    }
    const auto* text = reinterpret_cast<const char*>(block.data());
    return std::string(text, strnlen(text, block.size()));
}

// A printer's information at one level, read by the two-pass pattern: a size query (its result
// not looked at), then a zero-filled block of exactly that size. The block lives as long as this
// object, so record pointers into it stay valid until the operation is done with them.
class PrinterInfo {
  public:
    PrinterInfo(HANDLE printer, DWORD level) : block_(SizeNeeded(printer, level)) {
        DWORD needed = 0;
        read_ = ::GetPrinterA(printer, level, block_.data(), block_.size(), &needed) != 0;
    }
    explicit operator bool() const { return read_; }
    // The fixed part of the record at the block's start, copied into a record of the caller's own.
    template <typename Record>
    Record Snapshot() const {
        Record record{};
        if (read_ && block_.data() != nullptr && block_.size() >= sizeof(Record)) {
            std::memcpy(&record, block_.data(), sizeof(Record));
        }
        return record;
    }

  private:
    static DWORD SizeNeeded(HANDLE printer, DWORD level) {
        DWORD needed = 0;
        ::GetPrinterA(printer, level, nullptr, 0, &needed);
        return needed;
    }

    GlobalBlock block_;
    bool read_ = false;
};

// Dispatches the window messages that are waiting, then returns.
inline void PumpWaitingMessages() {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// The printer an operation works on: the given name unchanged (even when empty), or, when the
// caller left it out, the default printer's name asked for afresh.
std::string ChoosePrinter(const std::optional<std::string>& printerName);

}  // namespace printing
