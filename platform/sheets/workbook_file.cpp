// Opening a workbook: the format is found from the first bytes (a zip, or an OLE2 compound file
// holding a workbook stream or an encrypted package), then the format's reader lists the sheets.
#include "platform/sheets/workbook_file.h"

#include <new>

#include "platform/sheets/byte_source.h"
#include "platform/sheets/compound_file.h"
#include "platform/sheets/xls_workbook.h"
#include "platform/sheets/xlsx_workbook.h"
#include "platform/sheets/zip_archive.h"

namespace sheets {

const char* FailureName(Failure failure) {
    switch (failure) {
        case Failure::None:
            return "none";
        case Failure::Missing:
            return "missing";
        case Failure::Unreadable:
            return "unreadable";
        case Failure::Truncated:
            return "truncated";
        case Failure::Encrypted:
            return "encrypted";
        case Failure::NotAWorkbook:
            return "not a workbook";
        case Failure::TooLarge:
            return "too large";
        case Failure::Corrupt:
            return "corrupt";
        case Failure::NoSuchSheet:
            return "no such sheet";
    }
    return "unknown";
}

namespace {

std::unique_ptr<WorkbookFile> OpenSource(std::shared_ptr<ByteSource> source, Error& error) {
    uint8_t head[8] = {};
    const size_t headSize = static_cast<size_t>(std::min<uint64_t>(sizeof head, source->Size()));
    if (!source->Read(0, {head, headSize}, error)) {
        return nullptr;
    }
    const std::span<const uint8_t> start(head, headSize);
    if (headSize >= 4 && head[0] == 'P' && head[1] == 'K' &&
        ((head[2] == 3 && head[3] == 4) || (head[2] == 5 && head[3] == 6))) {
        std::unique_ptr<ZipArchive> archive = ZipArchive::Open(source, error);
        if (archive == nullptr) {
            return nullptr;
        }
        return OpenXlsxWorkbook(std::move(source), std::move(archive), error);
    }
    if (CompoundFile::HasSignature(start)) {
        std::unique_ptr<CompoundFile> file = CompoundFile::Open(source, error);
        if (file == nullptr) {
            return nullptr;
        }
        if (file->HasStream("EncryptedPackage")) {
            error = MakeError(Failure::Encrypted, "the workbook is password-protected");
            return nullptr;
        }
        if (!file->HasStream("Workbook") && !file->HasStream("Book")) {
            error = MakeError(Failure::NotAWorkbook, "the compound file holds no workbook");
            return nullptr;
        }
        return OpenXlsWorkbook(std::move(source), std::move(file), error);
    }
    error = MakeError(Failure::NotAWorkbook, source->Size() == 0
                                                 ? "the file is empty"
                                                 : "neither a zip package nor a compound file");
    return nullptr;
}

// No exception leaves the reader: running out of memory is reported like any other limit.
template <class F>
auto Guarded(Error& error, F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        error = MakeError(Failure::TooLarge, "out of memory");
    } catch (...) {
        error = MakeError(Failure::Corrupt, "the reader failed");
    }
    return {};
}

}  // namespace

WorkbookFile::WorkbookFile(Format format, std::shared_ptr<ByteSource> source)
    : format_(format), source_(std::move(source)) {}

WorkbookFile::~WorkbookFile() = default;

std::unique_ptr<WorkbookFile> WorkbookFile::Open(const std::string& path, Error& error) {
    error = Error{};
    return Guarded(error, [&]() -> std::unique_ptr<WorkbookFile> {
        std::shared_ptr<ByteSource> source = OpenFileSource(path, error);
        if (source == nullptr) {
            return nullptr;
        }
        return OpenSource(std::move(source), error);
    });
}

std::unique_ptr<WorkbookFile> WorkbookFile::Open(const std::string& path, std::string& error) {
    Error detail;
    std::unique_ptr<WorkbookFile> file = Open(path, detail);
    error = detail.reason;
    return file;
}

std::unique_ptr<WorkbookFile> WorkbookFile::OpenMemory(std::span<const uint8_t> bytes,
                                                       Error& error) {
    error = Error{};
    return Guarded(error, [&]() -> std::unique_ptr<WorkbookFile> {
        return OpenSource(MemorySource({bytes.begin(), bytes.end()}), error);
    });
}

bool WorkbookFile::SheetText(size_t index, std::string& text, Error& error) {
    text.clear();
    error = Error{};
    if (index >= sheets_.size()) {
        error = MakeError(Failure::NoSuchSheet, "no sheet " + std::to_string(index));
        return false;
    }
    if (sheets_[index].kind == SheetKind::Chart) {
        text = sheets_[index].name;
        return true;
    }
    const bool ok = Guarded(error, [&] { return ReadSheetText(index, text, error); });
    if (!ok) {
        text.clear();
        text.shrink_to_fit();
    }
    return ok;
}

bool WorkbookFile::SheetText(size_t index, std::string& text, std::string& error) {
    Error detail;
    const bool ok = SheetText(index, text, detail);
    error = detail.reason;
    return ok;
}

uint64_t WorkbookFile::BytesRead() const {
    return source_->BytesRead();
}

}  // namespace sheets
