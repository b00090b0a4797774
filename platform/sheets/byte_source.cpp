// File and memory byte sources. The file is held open by a descriptor that closes with the source
// and read with pread, so readers sharing the source never disturb each other's position.
#include "platform/sheets/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/sheets/limits.h"

namespace sheets {

bool ByteSource::Read(uint64_t offset, std::span<uint8_t> out, Error& error) {
    if (offset > size_ || out.size() > size_ - offset) {
        error = MakeError(Failure::Truncated, "the file ends before the data it refers to");
        return false;
    }
    if (!ReadAt(offset, out)) {
        error = MakeError(Failure::Unreadable, "reading the file failed");
        return false;
    }
    bytesRead_ += out.size();
    return true;
}

namespace {

// A file descriptor that closes when it goes.
class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

class FileSource final : public ByteSource {
  public:
    FileSource(UniqueFd fd, uint64_t size) : ByteSource(size), fd_(std::move(fd)) {}

  protected:
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        size_t done = 0;
        while (done < out.size()) {
            const ssize_t got = ::pread(fd_.get(), out.data() + done, out.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                return false;
            }
            done += static_cast<size_t>(got);
        }
        return true;
    }

  private:
    UniqueFd fd_;
};

class BufferSource final : public ByteSource {
  public:
    explicit BufferSource(std::vector<uint8_t> bytes)
        : ByteSource(bytes.size()), bytes_(std::move(bytes)) {}

  protected:
    bool ReadAt(uint64_t offset, std::span<uint8_t> out) override {
        if (!out.empty()) {
            std::memcpy(out.data(), bytes_.data() + offset, out.size());
        }
        return true;
    }

  private:
    std::vector<uint8_t> bytes_;
};

}  // namespace

std::shared_ptr<ByteSource> OpenFileSource(const std::string& path, Error& error) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        error = errno == ENOENT || errno == ENOTDIR
                    ? MakeError(Failure::Missing, "no such file")
                    : MakeError(Failure::Unreadable,
                                std::string("cannot open: ") + std::strerror(errno));
        return nullptr;
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        error = MakeError(Failure::Unreadable, "not a regular file");
        return nullptr;
    }
    const auto size = static_cast<uint64_t>(info.st_size);
    if (size > limits::kMaxFileBytes) {
        error = MakeError(Failure::TooLarge, "the file is larger than any workbook we read");
        return nullptr;
    }
    return std::make_shared<FileSource>(std::move(fd), size);
}

std::shared_ptr<ByteSource> MemorySource(std::vector<uint8_t> bytes) {
    return std::make_shared<BufferSource>(std::move(bytes));
}

}  // namespace sheets
