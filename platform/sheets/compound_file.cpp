// OLE2 compound files: sectors are located through the FAT, which is itself read one sector at a
// time as chains reach it, so opening a stream costs only the FAT sectors its chain passes.
#include "platform/sheets/compound_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/sheets/limits.h"
#include "platform/sheets/text_codec.h"

namespace sheets {

namespace {

constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;
constexpr uint32_t kNoStream = 0xFFFFFFFF;
constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

Error Broken(std::string reason) {
    return MakeError(Failure::Corrupt, std::move(reason));
}

}  // namespace

bool CompoundFile::HasSignature(std::span<const uint8_t> head) {
    return head.size() >= sizeof kSignature &&
           std::memcmp(head.data(), kSignature, sizeof kSignature) == 0;
}

std::unique_ptr<CompoundFile> CompoundFile::Open(std::shared_ptr<ByteSource> source, Error& error) {
    std::unique_ptr<CompoundFile> file(new CompoundFile(std::move(source)));
    if (!file->ReadHeader(error) || !file->ReadDirectory(error)) {
        return nullptr;
    }
    return file;
}

bool CompoundFile::ReadHeader(Error& error) {
    uint8_t header[512];
    if (source_->Size() < sizeof header) {
        error = MakeError(Failure::Truncated, "the compound file ends inside its header");
        return false;
    }
    if (!source_->Read(0, header, error)) {
        return false;
    }
    if (!HasSignature(header) || U16(header + 28) != 0xFFFE) {
        error = MakeError(Failure::NotAWorkbook, "not a compound file");
        return false;
    }
    sectorShift_ = U16(header + 30);
    miniSectorShift_ = U16(header + 32);
    if ((sectorShift_ != 9 && sectorShift_ != 12) || miniSectorShift_ != 6) {
        error = Broken("the compound file has an unknown sector size");
        return false;
    }
    const uint64_t sectorSize = 1ULL << sectorShift_;
    const uint64_t size = source_->Size();
    const uint64_t sectors =
        size > sectorSize ? (size - sectorSize + sectorSize - 1) / sectorSize : 0;
    sectorCount_ = static_cast<uint32_t>(std::min<uint64_t>(sectors, kMaxRegularSector));
    const uint32_t fatSectorCount = U32(header + 44);
    firstDirectorySector_ = U32(header + 48);
    miniCutoff_ = U32(header + 56);
    firstMiniFatSector_ = U32(header + 60);
    miniFatSectorCount_ = U32(header + 64);
    uint32_t difatSector = U32(header + 68);
    const uint32_t difatSectorCount = U32(header + 72);
    if (fatSectorCount > sectorCount_ || difatSectorCount > sectorCount_) {
        error = MakeError(Failure::Truncated, "the compound file is shorter than its FAT");
        return false;
    }
    for (uint32_t i = 0; i < 109 && fatSectors_.size() < fatSectorCount; ++i) {
        fatSectors_.push_back(U32(header + 76 + 4 * i));
    }
    // The rest of the DIFAT is a chain of its own; each sector ends with the next one's number.
    const size_t perSector = sectorSize / 4 - 1;
    std::vector<uint8_t> buffer(sectorSize);
    for (uint32_t read = 0; fatSectors_.size() < fatSectorCount; ++read) {
        if (read >= difatSectorCount || difatSector > kMaxRegularSector) {
            error = Broken("the DIFAT ends before the FAT it describes");
            return false;
        }
        if (!ReadSector(difatSector, 0, buffer, error)) {
            return false;
        }
        for (size_t i = 0; i < perSector && fatSectors_.size() < fatSectorCount; ++i) {
            fatSectors_.push_back(U32(buffer.data() + 4 * i));
        }
        difatSector = U32(buffer.data() + 4 * perSector);
    }
    return true;
}

bool CompoundFile::ReadSector(uint32_t sector, uint64_t offsetInSector, std::span<uint8_t> out,
                              Error& error) {
    if (sector >= sectorCount_) {
        error = MakeError(Failure::Truncated, "a sector lies past the end of the file");
        return false;
    }
    const uint64_t offset = (static_cast<uint64_t>(sector) + 1) << sectorShift_;
    return source_->Read(offset + offsetInSector, out, error);
}

bool CompoundFile::NextSector(uint32_t sector, uint32_t& next, Error& error) {
    const uint32_t perSector = (1U << sectorShift_) / 4;
    const uint32_t fatIndex = sector / perSector;
    if (fatIndex >= fatSectors_.size()) {
        error = Broken("a chain leaves the FAT");
        return false;
    }
    auto cached = fatCache_.find(fatIndex);
    if (cached == fatCache_.end()) {
        std::vector<uint8_t> bytes(1U << sectorShift_);
        if (!ReadSector(fatSectors_[fatIndex], 0, bytes, error)) {
            return false;
        }
        std::vector<uint32_t> entries(perSector);
        for (uint32_t i = 0; i < perSector; ++i) {
            entries[i] = U32(bytes.data() + 4 * i);
        }
        cached = fatCache_.emplace(fatIndex, std::move(entries)).first;
    }
    next = cached->second[sector % perSector];
    return true;
}

bool CompoundFile::ReadChain(uint32_t start, std::vector<uint32_t>& chain, size_t maxLength,
                             Error& error) {
    chain.clear();
    std::vector<bool> visited(sectorCount_);
    for (uint32_t sector = start; sector != kEndOfChain;) {
        if (sector > kMaxRegularSector) {
            error = Broken("a chain holds a free or reserved sector");
            return false;
        }
        if (sector >= sectorCount_) {
            error = MakeError(Failure::Truncated, "a chain runs past the end of the file");
            return false;
        }
        if (visited[sector]) {
            error = Broken("a chain loops");
            return false;
        }
        if (chain.size() >= maxLength) {
            error = MakeError(Failure::TooLarge, "a chain is longer than we read");
            return false;
        }
        visited[sector] = true;
        chain.push_back(sector);
        if (!NextSector(sector, sector, error)) {
            return false;
        }
    }
    return true;
}

bool CompoundFile::ReadDirectory(Error& error) {
    const size_t sectorSize = size_t{1} << sectorShift_;
    std::vector<uint32_t> chain;
    const size_t maxSectors =
        std::min<size_t>(sectorCount_, limits::kMaxDirectoryEntries * 128 / sectorSize);
    if (!ReadChain(firstDirectorySector_, chain, maxSectors, error)) {
        return false;
    }
    std::vector<uint8_t> bytes(sectorSize);
    for (const uint32_t sector : chain) {
        if (!ReadSector(sector, 0, bytes, error)) {
            return false;
        }
        for (size_t at = 0; at + 128 <= sectorSize; at += 128) {
            const uint8_t* p = bytes.data() + at;
            Entry entry;
            const size_t nameBytes = std::min<size_t>(U16(p + 64), 64);
            AppendUtf16Le(entry.name, {p, nameBytes >= 2 ? nameBytes - 2 : 0});
            entry.type = p[66];
            entry.left = U32(p + 68);
            entry.right = U32(p + 72);
            entry.child = U32(p + 76);
            entry.start = U32(p + 116);
            entry.size = U32(p + 120);
            if (sectorShift_ == 12) {
                entry.size |= static_cast<uint64_t>(U32(p + 124)) << 32;
            }
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != 5) {
        error = Broken("the compound file has no root storage");
        return false;
    }
    return true;
}

const CompoundFile::Entry* CompoundFile::FindRootChild(std::string_view name) const {
    // The root's children form a binary tree through left and right; walk it with a stack and
    // visit each entry at most once, whatever loops a hostile file puts in it.
    std::vector<bool> seen(entries_.size());
    std::vector<uint32_t> pending{entries_[0].child};
    while (!pending.empty()) {
        const uint32_t index = pending.back();
        pending.pop_back();
        if (index == kNoStream || index >= entries_.size() || seen[index]) {
            continue;
        }
        seen[index] = true;
        const Entry& entry = entries_[index];
        if (entry.type == 2 && SameName(entry.name, name)) {
            return &entry;
        }
        pending.push_back(entry.left);
        pending.push_back(entry.right);
    }
    return nullptr;
}

bool CompoundFile::HasStream(std::string_view name) const {
    return FindRootChild(name) != nullptr;
}

std::unique_ptr<CompoundStream> CompoundFile::OpenStream(std::string_view name, Error& error) {
    const Entry* entry = FindRootChild(name);
    if (entry == nullptr) {
        error = MakeError(Failure::NotAWorkbook,
                          "the compound file has no " + std::string(name) + " stream");
        return nullptr;
    }
    const bool mini = entry->size < miniCutoff_;
    if (mini && miniStream_ == nullptr) {
        const Entry& root = entries_[0];
        if (root.size > (static_cast<uint64_t>(sectorCount_) << sectorShift_)) {
            error = MakeError(Failure::Truncated, "the mini stream is larger than the file");
            return nullptr;
        }
        miniStream_.reset(new CompoundStream(*this, root.start, root.size, false));
    }
    const uint64_t capacity =
        mini ? miniStream_->Size() : static_cast<uint64_t>(sectorCount_) << sectorShift_;
    if (entry->size > capacity) {
        error = MakeError(Failure::Truncated,
                          "the " + std::string(name) + " stream is larger than the file");
        return nullptr;
    }
    return std::unique_ptr<CompoundStream>(
        new CompoundStream(*this, entry->start, entry->size, mini));
}

bool CompoundFile::NextMiniSector(uint32_t sector, uint32_t& next, Error& error) {
    if (!miniFatLoaded_) {
        std::vector<uint32_t> chain;
        if (!ReadChain(firstMiniFatSector_, chain, sectorCount_, error)) {
            return false;
        }
        const size_t sectorSize = size_t{1} << sectorShift_;
        std::vector<uint8_t> bytes(sectorSize);
        for (const uint32_t fatSector : chain) {
            if (!ReadSector(fatSector, 0, bytes, error)) {
                return false;
            }
            for (size_t i = 0; i < sectorSize / 4; ++i) {
                miniFat_.push_back(U32(bytes.data() + 4 * i));
            }
        }
        miniFatLoaded_ = true;
    }
    if (sector >= miniFat_.size()) {
        error = Broken("a mini stream chain leaves the mini FAT");
        return false;
    }
    next = miniFat_[sector];
    return true;
}

bool CompoundStream::SectorAt(uint64_t index, uint32_t& sector, Error& error) {
    const uint64_t sectorCount =
        mini_ ? (file_.miniStream_->Size() >> file_.miniSectorShift_) + 1 : file_.sectorCount_;
    while (chain_.size() <= index) {
        uint32_t next = start_;
        if (!chain_.empty()) {
            const bool ok = mini_ ? file_.NextMiniSector(chain_.back(), next, error)
                                  : file_.NextSector(chain_.back(), next, error);
            if (!ok) {
                return false;
            }
        }
        if (next == kEndOfChain) {
            error = MakeError(Failure::Truncated, "a stream's chain ends before the stream does");
            return false;
        }
        if (next > kMaxRegularSector) {
            error = Broken("a stream's chain holds a free or reserved sector");
            return false;
        }
        if (next >= sectorCount) {
            error = MakeError(Failure::Truncated, "a stream's chain runs past the end of the file");
            return false;
        }
        if (visited_.empty()) {
            visited_.resize(sectorCount);
        }
        if (visited_[next]) {
            error = Broken("a stream's chain loops");
            return false;
        }
        visited_[next] = true;
        chain_.push_back(next);
    }
    sector = chain_[index];
    return true;
}

bool CompoundStream::Read(uint64_t offset, std::span<uint8_t> out, Error& error) {
    if (offset > size_ || out.size() > size_ - offset) {
        error = MakeError(Failure::Truncated, "a read runs past the end of a stream");
        return false;
    }
    const uint32_t shift = mini_ ? file_.miniSectorShift_ : file_.sectorShift_;
    const uint64_t unit = 1ULL << shift;
    size_t done = 0;
    while (done < out.size()) {
        const uint64_t at = offset + done;
        uint64_t index = at >> shift;
        const uint64_t within = at & (unit - 1);
        uint32_t sector = 0;
        if (!SectorAt(index, sector, error)) {
            return false;
        }
        // Consecutive sectors are read in one go.
        size_t run = static_cast<size_t>(std::min<uint64_t>(unit - within, out.size() - done));
        uint32_t last = sector;
        while (!mini_ && done + run < out.size() && run < (1U << 20)) {
            uint32_t following = 0;
            if (!SectorAt(index + 1, following, error)) {
                return false;
            }
            if (following != last + 1) {
                break;
            }
            ++index;
            last = following;
            run += static_cast<size_t>(std::min<uint64_t>(unit, out.size() - done - run));
        }
        const std::span<uint8_t> part = out.subspan(done, run);
        const bool ok = mini_ ? file_.miniStream_->Read(
                                    (static_cast<uint64_t>(sector) << shift) + within, part, error)
                              : file_.ReadSector(sector, within, part, error);
        if (!ok) {
            return false;
        }
        done += run;
    }
    return true;
}

}  // namespace sheets
