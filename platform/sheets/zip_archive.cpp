// libzip reads the archive through a source callback of ours, so file and memory workbooks are
// read alike and every byte read is counted by the ByteSource.
#include "platform/sheets/zip_archive.h"

#include <algorithm>
#include <cstring>

#include "platform/sheets/limits.h"

namespace sheets {

struct ZipArchive::SourceState {
    std::shared_ptr<ByteSource> source;
    uint64_t position = 0;
    Error error;  // the byte source's failure, if a read failed
    zip_error_t zipError{};
};

zip_int64_t ZipArchive::SourceCallback(void* userdata, void* data, zip_uint64_t length,
                                       zip_source_cmd_t command) {
    auto* state = static_cast<SourceState*>(userdata);
    const uint64_t size = state->source->Size();
    switch (command) {
        case ZIP_SOURCE_OPEN:
            state->position = 0;
            return 0;
        case ZIP_SOURCE_READ: {
            const uint64_t count = std::min<uint64_t>(length, size - state->position);
            if (count > 0 &&
                !state->source->Read(state->position, {static_cast<uint8_t*>(data), count},
                                     state->error)) {
                zip_error_set(&state->zipError, ZIP_ER_READ, 0);
                return -1;
            }
            state->position += count;
            return static_cast<zip_int64_t>(count);
        }
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_FREE:
            return 0;
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = size;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&state->zipError, data, length);
        case ZIP_SOURCE_SEEK: {
            const zip_int64_t target = zip_source_seek_compute_offset(state->position, size, data,
                                                                      length, &state->zipError);
            if (target < 0) {
                return -1;
            }
            state->position = static_cast<uint64_t>(target);
            return 0;
        }
        case ZIP_SOURCE_TELL:
            return static_cast<zip_int64_t>(state->position);
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                ZIP_SOURCE_SUPPORTS, -1);
        default:
            zip_error_set(&state->zipError, ZIP_ER_OPNOTSUPP, 0);
            return -1;
    }
}

namespace {

// A libzip error value that is released on every path.
class ZipErrorHolder {
  public:
    ZipErrorHolder() { zip_error_init(&error_); }
    ~ZipErrorHolder() { zip_error_fini(&error_); }
    ZipErrorHolder(const ZipErrorHolder&) = delete;
    ZipErrorHolder& operator=(const ZipErrorHolder&) = delete;
    zip_error_t* get() { return &error_; }

  private:
    zip_error_t error_;
};

}  // namespace

ZipArchive::ZipArchive(std::unique_ptr<SourceState> state) : state_(std::move(state)) {}

ZipArchive::~ZipArchive() {
    if (zip_ != nullptr) {
        zip_discard(zip_);
    }
    zip_error_fini(&state_->zipError);
}

Error ZipArchive::Explain(int code, const char* what) const {
    if (state_->error.failure != Failure::None) {
        return state_->error;
    }
    switch (code) {
        case ZIP_ER_NOPASSWD:
        case ZIP_ER_WRONGPASSWD:
        case ZIP_ER_ENCRNOTSUPP:
            return MakeError(Failure::Encrypted, std::string(what) + " is encrypted");
        case ZIP_ER_MEMORY:
            return MakeError(Failure::TooLarge, std::string(what) + " needs too much memory");
        case ZIP_ER_COMPNOTSUPP:
            return MakeError(Failure::Corrupt,
                             std::string(what) + " is compressed by an unknown method");
        case ZIP_ER_READ:
        case ZIP_ER_EOF:
            return MakeError(Failure::Truncated, std::string(what) + " ends early");
        default:
            return MakeError(Failure::Corrupt, std::string(what) + " is damaged");
    }
}

std::unique_ptr<ZipArchive> ZipArchive::Open(std::shared_ptr<ByteSource> source, Error& error) {
    auto state = std::make_unique<SourceState>();
    state->source = std::move(source);
    zip_error_init(&state->zipError);
    std::unique_ptr<ZipArchive> archive(new ZipArchive(std::move(state)));
    ZipErrorHolder zipError;
    zip_source_t* zipSource =
        zip_source_function_create(SourceCallback, archive->state_.get(), zipError.get());
    if (zipSource == nullptr) {
        error = MakeError(Failure::TooLarge, "no memory for the zip reader");
        return nullptr;
    }
    archive->zip_ = zip_open_from_source(zipSource, ZIP_RDONLY, zipError.get());
    if (archive->zip_ == nullptr) {
        zip_source_free(zipSource);
        const int code = zip_error_code_zip(zipError.get());
        if (archive->state_->error.failure != Failure::None) {
            error = archive->state_->error;
        } else if (code == ZIP_ER_NOZIP) {
            // It starts like a zip (the caller checked) but has no directory at its end.
            error = MakeError(Failure::Truncated, "the zip directory is missing (a cut file)");
        } else {
            error = archive->Explain(code, "the zip directory");
        }
        return nullptr;
    }
    if (static_cast<uint64_t>(zip_get_num_entries(archive->zip_, 0)) > limits::kMaxZipEntries) {
        error = MakeError(Failure::TooLarge, "the zip holds too many entries");
        return nullptr;
    }
    return archive;
}

std::optional<uint64_t> ZipArchive::Find(const std::string& name) const {
    zip_int64_t index = zip_name_locate(zip_, name.c_str(), 0);
    if (index < 0) {
        index = zip_name_locate(zip_, name.c_str(), ZIP_FL_NOCASE);
    }
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<uint64_t>(index);
}

std::unique_ptr<ZipPartStream> ZipArchive::OpenPart(uint64_t entry, uint64_t limit, Error& error) {
    zip_stat_t stat;
    if (zip_stat_index(zip_, entry, 0, &stat) != 0) {
        error = MakeError(Failure::Corrupt, "a zip entry cannot be read");
        return nullptr;
    }
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && stat.encryption_method != ZIP_EM_NONE) {
        error = MakeError(Failure::Encrypted, "a part of the workbook is encrypted");
        return nullptr;
    }
    if ((stat.valid & ZIP_STAT_SIZE) != 0 && stat.size > limit) {
        error = MakeError(Failure::TooLarge,
                          std::string("the part ") + stat.name + " is larger than we read");
        return nullptr;
    }
    zip_file_t* file = zip_fopen_index(zip_, entry, 0);
    if (file == nullptr) {
        error = Explain(zip_error_code_zip(zip_get_error(zip_)), "a part of the workbook");
        return nullptr;
    }
    return std::unique_ptr<ZipPartStream>(new ZipPartStream(*this, file, limit));
}

bool ZipArchive::ReadPart(uint64_t entry, uint64_t limit, std::string& out, Error& error) {
    out.clear();
    std::unique_ptr<ZipPartStream> stream = OpenPart(entry, limit, error);
    if (stream == nullptr) {
        return false;
    }
    char buffer[65536];
    while (true) {
        const int64_t got = stream->Read(buffer, sizeof buffer);
        if (got < 0) {
            error = stream->error();
            return false;
        }
        if (got == 0) {
            return true;
        }
        out.append(buffer, static_cast<size_t>(got));
    }
}

ZipPartStream::~ZipPartStream() {
    zip_fclose(file_);
}

int64_t ZipPartStream::Read(char* buffer, size_t size) {
    if (error_.failure != Failure::None) {
        return -1;
    }
    const zip_int64_t got = zip_fread(file_, buffer, size);
    if (got < 0) {
        error_ = archive_.Explain(zip_error_code_zip(zip_file_get_error(file_)),
                                  "a part of the workbook");
        return -1;
    }
    produced_ += static_cast<uint64_t>(got);
    // The directory's sizes may lie; the limit holds for what actually comes out.
    if (produced_ > limit_) {
        error_ = MakeError(Failure::TooLarge, "a part of the workbook inflates past our limits");
        return -1;
    }
    return got;
}

}  // namespace sheets
