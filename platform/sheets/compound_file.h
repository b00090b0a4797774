// A reader of OLE2 compound files (the container of .xls and of encrypted .xlsx): the header, the
// FAT and DIFAT read sector by sector as chains need them, the mini stream, and the directory.
// Chains are checked for loops and for sectors outside the file.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/sheets/byte_source.h"

namespace sheets {

class CompoundFile;

// One stream of a compound file, read on demand.
class CompoundStream {
  public:
    uint64_t Size() const { return size_; }
    // Reads out.size() bytes at `offset` inside the stream; false with `error` set when they are
    // not there (Truncated) or a chain is broken (Corrupt).
    bool Read(uint64_t offset, std::span<uint8_t> out, Error& error);

  private:
    friend class CompoundFile;
    CompoundStream(CompoundFile& file, uint32_t start, uint64_t size, bool mini)
        : file_(file), start_(start), size_(size), mini_(mini) {}
    // The chain's sector at position `index`, following the chain only as far as needed.
    bool SectorAt(uint64_t index, uint32_t& sector, Error& error);

    CompoundFile& file_;
    uint32_t start_;
    uint64_t size_;
    bool mini_;
    std::vector<uint32_t> chain_;
    std::vector<bool> visited_;  // sectors already in the chain: a second visit is a loop
};

class CompoundFile {
  public:
    static bool HasSignature(std::span<const uint8_t> head);
    // Reads the header, the DIFAT and the directory; null with `error` set on failure.
    static std::unique_ptr<CompoundFile> Open(std::shared_ptr<ByteSource> source, Error& error);

    // Whether the root storage holds a stream of this name (ASCII letters match in any case).
    bool HasStream(std::string_view name) const;
    // Opens the root storage's stream of this name; null with `error` set when absent or broken.
    std::unique_ptr<CompoundStream> OpenStream(std::string_view name, Error& error);

  private:
    friend class CompoundStream;
    struct Entry {
        std::string name;  // UTF-8
        uint8_t type = 0;  // 1 storage, 2 stream, 5 root
        uint32_t left = 0, right = 0, child = 0;
        uint32_t start = 0;
        uint64_t size = 0;
    };

    explicit CompoundFile(std::shared_ptr<ByteSource> source) : source_(std::move(source)) {}
    bool ReadHeader(Error& error);
    bool ReadDirectory(Error& error);
    // The FAT entry of `sector`, reading its FAT sector the first time it is needed.
    bool NextSector(uint32_t sector, uint32_t& next, Error& error);
    bool NextMiniSector(uint32_t sector, uint32_t& next, Error& error);
    bool ReadSector(uint32_t sector, uint64_t offsetInSector, std::span<uint8_t> out, Error& error);
    // The whole chain from `start` (for the directory and the mini FAT, both small).
    bool ReadChain(uint32_t start, std::vector<uint32_t>& chain, size_t maxLength, Error& error);
    const Entry* FindRootChild(std::string_view name) const;

    std::shared_ptr<ByteSource> source_;
    uint32_t sectorShift_ = 9;
    uint32_t miniSectorShift_ = 6;
    uint32_t miniCutoff_ = 4096;
    uint32_t sectorCount_ = 0;  // sectors after the header that the file holds
    uint32_t firstDirectorySector_ = 0;
    uint32_t firstMiniFatSector_ = 0;
    uint32_t miniFatSectorCount_ = 0;
    std::vector<uint32_t> fatSectors_;                              // from the DIFAT
    std::unordered_map<uint32_t, std::vector<uint32_t>> fatCache_;  // by FAT sector, on demand
    std::vector<uint32_t> miniFat_;
    bool miniFatLoaded_ = false;
    std::vector<Entry> entries_;
    std::unique_ptr<CompoundStream> miniStream_;
};

}  // namespace sheets
