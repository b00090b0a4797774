// A read-only zip archive over a ByteSource (libzip), with parts read whole or streamed under a
// size limit that holds whatever the zip directory claims.
#pragma once

#include <zip.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sheets/byte_source.h"

namespace sheets {

class ZipArchive;

// One part being inflated; closes with the object.
class ZipPartStream {
  public:
    ~ZipPartStream();
    ZipPartStream(const ZipPartStream&) = delete;
    ZipPartStream& operator=(const ZipPartStream&) = delete;

    // Up to `size` bytes into `buffer`: the count, 0 at the part's end, -1 on failure (then
    // error() says why: Corrupt, Truncated or TooLarge past the limit).
    int64_t Read(char* buffer, size_t size);
    const Error& error() const { return error_; }

  private:
    friend class ZipArchive;
    ZipPartStream(ZipArchive& archive, zip_file_t* file, uint64_t limit)
        : archive_(archive), file_(file), limit_(limit) {}

    ZipArchive& archive_;
    zip_file_t* file_;
    uint64_t limit_;
    uint64_t produced_ = 0;
    Error error_;
};

class ZipArchive {
  public:
    // Reads the zip directory; null with `error` set (NotAWorkbook, Truncated, Corrupt, ...).
    static std::unique_ptr<ZipArchive> Open(std::shared_ptr<ByteSource> source, Error& error);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The entry of a part name (no leading slash); ASCII letters match in any case, as part names
    // do in a package.
    std::optional<uint64_t> Find(const std::string& name) const;
    // A whole part of at most `limit` uncompressed bytes.
    bool ReadPart(uint64_t entry, uint64_t limit, std::string& out, Error& error);
    // A part to stream, of at most `limit` uncompressed bytes.
    std::unique_ptr<ZipPartStream> OpenPart(uint64_t entry, uint64_t limit, Error& error);

  private:
    friend class ZipPartStream;
    struct SourceState;
    // Serves libzip's reads from the ByteSource.
    static zip_int64_t SourceCallback(void* userdata, void* data, zip_uint64_t length,
                                      zip_source_cmd_t command);
    explicit ZipArchive(std::unique_ptr<SourceState> state);
    // The failure behind a libzip error code, preferring what the byte source reported.
    Error Explain(int code, const char* what) const;

    std::unique_ptr<SourceState> state_;
    zip_t* zip_ = nullptr;
};

}  // namespace sheets
