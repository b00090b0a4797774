// Random-access bytes of a workbook, from a file (read on demand) or from memory, counting what
// was read so that tests and benchmarks can see which parts a reader touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/sheets/workbook_file.h"

namespace sheets {

class ByteSource {
  public:
    virtual ~ByteSource() = default;
    uint64_t Size() const { return size_; }
    uint64_t BytesRead() const { return bytesRead_; }

    // Reads out.size() bytes at `offset`; false if they are not all inside the source or the read
    // fails (with `error` set to Truncated or Unreadable).
    bool Read(uint64_t offset, std::span<uint8_t> out, Error& error);

  protected:
    explicit ByteSource(uint64_t size) : size_(size) {}
    virtual bool ReadAt(uint64_t offset, std::span<uint8_t> out) = 0;

  private:
    uint64_t size_;
    uint64_t bytesRead_ = 0;
};

// Opens `path` for reading; null with `error` set to Missing, Unreadable or TooLarge.
std::shared_ptr<ByteSource> OpenFileSource(const std::string& path, Error& error);
std::shared_ptr<ByteSource> MemorySource(std::vector<uint8_t> bytes);

inline Error MakeError(Failure failure, std::string reason) {
    return Error{failure, std::move(reason)};
}

}  // namespace sheets
