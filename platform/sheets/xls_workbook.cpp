// BIFF5/BIFF8 workbooks: the globals give the sheets (BOUNDSHEET), code page, date system, number
// formats and shared strings; each sheet's substream gives its cells. Records are read through a
// window over the workbook stream, each with the CONTINUE records that extend it.
#include "platform/sheets/xls_workbook.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "platform/sheets/cell_text.h"
#include "platform/sheets/limits.h"
#include "platform/sheets/text_codec.h"

namespace sheets {

namespace {

enum RecordType : uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kSst = 0x00FC,
    kLabelSst = 0x00FD,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof = 0x0809,
};

// A record and the CONTINUE records after it, their payloads joined; `segments` holds where each
// payload starts in `data` (the first is 0).
struct Record {
    uint16_t type = 0;
    uint64_t offset = 0;  // of its header in the stream
    std::vector<uint8_t> data;
    std::vector<size_t> segments;
};

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
double F64(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | p[i];
    }
    return std::bit_cast<double>(bits);
}

double RkValue(uint32_t rk) {
    double value = (rk & 2) != 0 ? static_cast<double>(static_cast<int32_t>(rk) >> 2)
                                 : std::bit_cast<double>(static_cast<uint64_t>(rk & ~3U) << 32);
    return (rk & 1) != 0 ? value / 100 : value;
}

// Sequential records of one stream, read through a 64 KiB window.
class RecordReader {
  public:
    RecordReader(CompoundStream& stream, uint64_t offset) : stream_(stream), offset_(offset) {}

    // The next record; false at the stream's end (error stays None) or on failure.
    bool Next(Record& record, Error& error) {
        uint8_t header[4];
        if (offset_ == stream_.Size()) {
            return false;
        }
        if (!Bytes(offset_, header, error)) {
            return false;
        }
        record.type = U16(header);
        record.offset = offset_;
        record.data.clear();
        record.segments.clear();
        if (!AppendPayload(record, U16(header + 2), error)) {
            return false;
        }
        // CONTINUE records extend the one before them.
        while (offset_ + 4 <= stream_.Size()) {
            if (!Bytes(offset_, header, error)) {
                return false;
            }
            if (U16(header) != kContinue) {
                break;
            }
            if (record.data.size() > limits::kMaxSharedStringBytes) {
                error = MakeError(Failure::TooLarge, "a record is continued past our limits");
                return false;
            }
            if (!AppendPayload(record, U16(header + 2), error)) {
                return false;
            }
        }
        return true;
    }

  private:
    bool AppendPayload(Record& record, uint16_t size, Error& error) {
        if (offset_ + 4 + size > stream_.Size()) {
            error = MakeError(Failure::Truncated, "a record overruns the workbook stream");
            return false;
        }
        record.segments.push_back(record.data.size());
        record.data.resize(record.data.size() + size);
        if (!Bytes(offset_ + 4, {record.data.data() + record.segments.back(), size}, error)) {
            return false;
        }
        offset_ += 4 + size;
        return true;
    }

    bool Bytes(uint64_t at, std::span<uint8_t> out, Error& error) {
        if (at + out.size() > stream_.Size()) {
            error = MakeError(Failure::Truncated, "the workbook stream ends inside a record");
            return false;
        }
        if (at < windowStart_ || at + out.size() > windowStart_ + window_.size()) {
            const uint64_t size =
                std::min<uint64_t>(std::max<size_t>(out.size(), 65536), stream_.Size() - at);
            window_.resize(static_cast<size_t>(size));
            windowStart_ = at;
            if (!stream_.Read(at, window_, error)) {
                window_.clear();
                return false;
            }
        }
        if (!out.empty()) {
            std::memcpy(out.data(), window_.data() + (at - windowStart_), out.size());
        }
        return true;
    }

    CompoundStream& stream_;
    uint64_t offset_;
    std::vector<uint8_t> window_;
    uint64_t windowStart_ = 0;
};

// Reads a record's payload across its CONTINUE boundaries. Character data split by a boundary
// resumes after a flags byte that says whether the rest is 8-bit or UTF-16; other fields run on.
class Payload {
  public:
    explicit Payload(const Record& record) : record_(record) {}

    size_t Remaining() const { return record_.data.size() - pos_; }

    bool Skip(size_t count) {
        EnterSegment();
        if (count > Remaining()) {
            return false;
        }
        pos_ += count;
        Settle();
        return true;
    }
    bool U8(uint8_t& value) {
        EnterSegment();
        if (Remaining() < 1) {
            return false;
        }
        value = record_.data[pos_++];
        Settle();
        return true;
    }
    bool U16(uint16_t& value) {
        uint8_t low = 0, high = 0;
        if (!U8(low) || !U8(high)) {
            return false;
        }
        value = static_cast<uint16_t>(low | (high << 8));
        return true;
    }
    bool U32(uint32_t& value) {
        uint16_t low = 0, high = 0;
        if (!U16(low) || !U16(high)) {
            return false;
        }
        value = low | (static_cast<uint32_t>(high) << 16);
        return true;
    }

    // BIFF8 characters: `count` of them, the first ones 8-bit unless `wide`.
    bool Characters(size_t count, bool wide, std::string& out) {
        while (count > 0) {
            if (pos_ == SegmentEnd()) {
                if (segment_ + 1 >= record_.segments.size() || Remaining() < 1) {
                    return false;
                }
                ++segment_;
                wide = (record_.data[pos_++] & 1) != 0;
                continue;
            }
            const size_t width = wide ? 2 : 1;
            const size_t take = std::min((SegmentEnd() - pos_) / width, count);
            if (take == 0) {
                return false;
            }
            const std::span<const uint8_t> bytes(record_.data.data() + pos_, take * width);
            if (wide) {
                AppendUtf16Le(out, bytes);
            } else {
                AppendLatin1(out, bytes);
            }
            pos_ += take * width;
            count -= take;
        }
        return true;
    }

    // A string's character count, stored in one byte or in two.
    bool Count(int countBytes, uint16_t& count) {
        if (countBytes != 1) {
            return U16(count);
        }
        uint8_t small = 0;
        if (!U8(small)) {
            return false;
        }
        count = small;
        return true;
    }

    // A BIFF8 string: a count of `countBytes` bytes, flags, optional rich-text and phonetic
    // sizes, the characters, then the rich-text runs and phonetic data, which are skipped.
    bool UnicodeString(int countBytes, std::string& out) {
        uint16_t count = 0;
        uint8_t flags = 0;
        if (!Count(countBytes, count) || !U8(flags)) {
            return false;
        }
        uint16_t runs = 0;
        uint32_t extra = 0;
        if ((flags & 0x08) != 0 && !U16(runs)) {
            return false;
        }
        if ((flags & 0x04) != 0 && !U32(extra)) {
            return false;
        }
        return Characters(count, (flags & 1) != 0, out) && Skip(4 * size_t{runs}) && Skip(extra);
    }

    // A BIFF5 string: a count of `countBytes` bytes, then bytes in the workbook's code page.
    bool CodePageString(int countBytes, uint16_t codepage, std::string& out) {
        uint16_t count = 0;
        if (!Count(countBytes, count)) {
            return false;
        }
        EnterSegment();
        if (count > Remaining()) {
            return false;
        }
        out = CodePageToUtf8({reinterpret_cast<const char*>(record_.data.data() + pos_), count},
                             codepage);
        pos_ += count;
        Settle();
        return true;
    }

  private:
    size_t SegmentEnd() const {
        return segment_ + 1 < record_.segments.size() ? record_.segments[segment_ + 1]
                                                      : record_.data.size();
    }
    // A field that starts at a boundary starts in the next segment.
    void EnterSegment() {
        if (pos_ == SegmentEnd() && segment_ + 1 < record_.segments.size()) {
            ++segment_;
        }
    }
    // After a field that ran past boundaries, the segment is the one holding the position (a
    // position right at a boundary stays with the segment before it).
    void Settle() {
        while (segment_ + 1 < record_.segments.size() && record_.segments[segment_ + 1] < pos_) {
            ++segment_;
        }
    }

    const Record& record_;
    size_t pos_ = 0;
    size_t segment_ = 0;
};

struct BoundSheet {
    uint32_t position = 0;
    uint8_t type = 0;
};

class XlsWorkbook final : public WorkbookFile {
  public:
    XlsWorkbook(std::shared_ptr<ByteSource> source, std::unique_ptr<CompoundFile> file)
        : WorkbookFile(Format::Xls, std::move(source)), file_(std::move(file)) {}

    bool List(Error& error) {
        stream_ = file_->OpenStream(file_->HasStream("Workbook") ? "Workbook" : "Book", error);
        if (stream_ == nullptr) {
            return false;
        }
        RecordReader reader(*stream_, 0);
        Record record;
        if (!reader.Next(record, error)) {
            if (error.failure == Failure::None) {
                error = MakeError(Failure::Truncated, "the workbook stream is empty");
            }
            return false;
        }
        if (record.type != kBof || record.data.size() < 4 || U16(record.data.data() + 2) != 5) {
            error = MakeError(Failure::Corrupt, "the workbook stream does not begin its globals");
            return false;
        }
        biff8_ = U16(record.data.data()) >= 0x0600;
        codepage_ = biff8_ ? 1200 : 1252;
        std::vector<std::string> names;
        bool inSheets = false;
        while (true) {
            if (!reader.Next(record, error)) {
                if (error.failure == Failure::None) {
                    error = MakeError(Failure::Truncated, "the workbook globals have no end");
                }
                return false;
            }
            if (record.offset > limits::kMaxGlobalsBytes) {
                error = MakeError(Failure::TooLarge, "the workbook globals are too large");
                return false;
            }
            if (record.type == kBoundSheet) {
                inSheets = true;
                if (!AddSheet(record, error)) {
                    return false;
                }
                continue;
            }
            // Listing stops after the sheet records; the rest of the globals wait for SheetText.
            if (inSheets || record.type == kEof) {
                globalsRest_ = record.offset;
                break;
            }
            if (!Global(record, error)) {
                return false;
            }
        }
        return true;
    }

  protected:
    bool ReadSheetText(size_t index, std::string& text, Error& error) override {
        if (!globalsComplete_ && !ReadRestOfGlobals(error)) {
            return false;
        }
        RecordReader reader(*stream_, boundSheets_[index].position);
        Record record;
        if (!reader.Next(record, error) || record.type != kBof) {
            if (error.failure == Failure::None || error.failure == Failure::Truncated) {
                error =
                    MakeError(Failure::Corrupt, "a sheet's records are not where its entry says");
            }
            return false;
        }
        SheetGrid grid;
        int depth = 1;  // charts inside a sheet bring BOF/EOF pairs of their own
        std::optional<std::pair<uint16_t, uint16_t>> pendingString;
        while (depth > 0) {
            if (!reader.Next(record, error)) {
                if (error.failure == Failure::None) {
                    error = MakeError(Failure::Truncated, "a sheet's records have no end");
                }
                return false;
            }
            if (record.type == kBof) {
                ++depth;
            } else if (record.type == kEof) {
                --depth;
            } else if (depth == 1 && !Cell(record, grid, pendingString, error)) {
                return false;
            }
        }
        return grid.Render(text, error);
    }

  private:
    bool AddSheet(const Record& record, Error& error) {
        Payload payload(record);
        BoundSheet sheet;
        uint8_t state = 0;
        std::string name;
        const bool ok =
            payload.U32(sheet.position) && payload.U8(state) && payload.U8(sheet.type) &&
            (biff8_ ? payload.UnicodeString(1, name) : payload.CodePageString(1, codepage_, name));
        if (!ok) {
            error = MakeError(Failure::Corrupt, "a sheet record is cut short");
            return false;
        }
        if (sheet.type == 6) {
            return true;  // a Visual Basic module is not a sheet
        }
        if (sheets_.size() >= limits::kMaxSheets) {
            error = MakeError(Failure::TooLarge, "the workbook has too many sheets");
            return false;
        }
        SheetInfo info;
        info.name = std::move(name);
        info.kind = sheet.type == 2   ? SheetKind::Chart
                    : sheet.type == 1 ? SheetKind::MacroSheet
                                      : SheetKind::Worksheet;
        const uint8_t visibility = state & 3;
        info.visibility = visibility == 0   ? Visibility::Visible
                          : visibility == 2 ? Visibility::VeryHidden
                                            : Visibility::Hidden;
        sheets_.push_back(std::move(info));
        boundSheets_.push_back(sheet);
        return true;
    }

    // A record of the globals other than a sheet record.
    bool Global(const Record& record, Error& error) {
        const uint8_t* p = record.data.data();
        const size_t size = record.data.size();
        switch (record.type) {
            case kFilePass:
                error = MakeError(Failure::Encrypted, "the workbook is password-protected");
                return false;
            case kCodePage:
                if (size >= 2) {
                    codepage_ = U16(p);
                }
                return true;
            case kDateMode:
                if (size >= 2) {
                    formats_.SetDate1904(U16(p) == 1);
                }
                return true;
            case kXf:
                if (size >= 4) {
                    if (formats_.CellFormatCount() >= limits::kMaxCellFormats) {
                        error = MakeError(Failure::TooLarge, "the workbook has too many formats");
                        return false;
                    }
                    formats_.AddCellFormat(U16(p + 2));
                }
                return true;
            case kFormat: {
                Payload payload(record);
                uint16_t id = 0;
                std::string code;
                if (payload.U16(id) && (biff8_ ? payload.UnicodeString(2, code)
                                               : payload.CodePageString(1, codepage_, code))) {
                    if (formats_.FormatCount() >= limits::kMaxNumberFormats) {
                        error = MakeError(Failure::TooLarge, "the workbook has too many formats");
                        return false;
                    }
                    formats_.AddFormat(id, std::move(code));
                }
                return true;
            }
            case kSst:
                return SharedStrings(record, error);
            default:
                return true;
        }
    }

    bool SharedStrings(const Record& record, Error& error) {
        Payload payload(record);
        uint32_t total = 0, unique = 0;
        if (!payload.U32(total) || !payload.U32(unique)) {
            return true;
        }
        for (uint32_t i = 0; i < unique && payload.Remaining() > 0; ++i) {
            std::string text;
            if (!payload.UnicodeString(2, text)) {
                error = MakeError(Failure::Corrupt, "a shared string is cut short");
                return false;
            }
            if (!strings_.Add(text, error)) {
                return false;
            }
        }
        return true;
    }

    bool ReadRestOfGlobals(Error& error) {
        RecordReader reader(*stream_, globalsRest_);
        Record record;
        while (reader.Next(record, error)) {
            if (record.offset > limits::kMaxGlobalsBytes) {
                error = MakeError(Failure::TooLarge, "the workbook globals are too large");
                return false;
            }
            if (record.type == kEof) {
                globalsComplete_ = true;
                return true;
            }
            if (record.type != kBoundSheet && !Global(record, error)) {
                return false;
            }
        }
        if (error.failure == Failure::None) {
            error = MakeError(Failure::Truncated, "the workbook globals have no end");
        }
        return false;
    }

    bool Add(SheetGrid& grid, const uint8_t* p, std::string_view text, Error& error) {
        return grid.Add(U16(p), U16(p + 2), text, error);
    }
    std::string Number(double value, uint16_t xf) const { return formats_.NumberText(value, xf); }

    // One record of a sheet's substream; only cell records add anything.
    bool Cell(const Record& record, SheetGrid& grid,
              std::optional<std::pair<uint16_t, uint16_t>>& pendingString, Error& error) {
        const uint8_t* p = record.data.data();
        const size_t size = record.data.size();
        auto cutShort = [&error] {
            error = MakeError(Failure::Corrupt, "a cell record is cut short");
            return false;
        };
        if (record.type != kString) {
            pendingString.reset();
        }
        switch (record.type) {
            case kLabelSst: {
                if (size < 10) {
                    return cutShort();
                }
                const auto text = strings_.Get(U32(p + 6));
                if (!text) {
                    error = MakeError(Failure::Corrupt, "a cell names a missing shared string");
                    return false;
                }
                return Add(grid, p, *text, error);
            }
            case kLabel:
            case kRString: {
                Payload payload(record);
                std::string text;
                if (!payload.Skip(6) || !(biff8_ ? payload.UnicodeString(2, text)
                                                 : payload.CodePageString(2, codepage_, text))) {
                    return cutShort();
                }
                return Add(grid, p, text, error);
            }
            case kNumber:
                if (size < 14) {
                    return cutShort();
                }
                return Add(grid, p, Number(F64(p + 6), U16(p + 4)), error);
            case kRk:
                if (size < 10) {
                    return cutShort();
                }
                return Add(grid, p, Number(RkValue(U32(p + 6)), U16(p + 4)), error);
            case kMulRk: {
                if (size < 6) {
                    return cutShort();
                }
                const uint16_t row = U16(p);
                const uint16_t first = U16(p + 2);
                for (size_t i = 0; 4 + 6 * i + 6 <= size - 2; ++i) {
                    const uint8_t* cell = p + 4 + 6 * i;
                    if (!grid.Add(row, static_cast<uint32_t>(first + i),
                                  Number(RkValue(U32(cell + 2)), U16(cell)), error)) {
                        return false;
                    }
                }
                return true;
            }
            case kBoolErr:
                if (size < 8) {
                    return cutShort();
                }
                return Add(grid, p,
                           p[7] != 0   ? ErrorText(p[6])
                           : p[6] != 0 ? "TRUE"
                                       : "FALSE",
                           error);
            case kFormula: {
                if (size < 20) {
                    return cutShort();
                }
                if (U16(p + 12) != 0xFFFF) {
                    return Add(grid, p, Number(F64(p + 6), U16(p + 4)), error);
                }
                switch (p[6]) {
                    case 0:  // a string, in the STRING record that follows
                        pendingString.emplace(U16(p), U16(p + 2));
                        return true;
                    case 1:
                        return Add(grid, p, p[8] != 0 ? "TRUE" : "FALSE", error);
                    case 2:
                        return Add(grid, p, ErrorText(p[8]), error);
                    default:
                        return true;
                }
            }
            case kString: {
                if (!pendingString) {
                    return true;
                }
                Payload payload(record);
                std::string text;
                if (!(biff8_ ? payload.UnicodeString(2, text)
                             : payload.CodePageString(2, codepage_, text))) {
                    return cutShort();
                }
                const auto [row, column] = *pendingString;
                pendingString.reset();
                return grid.Add(row, column, text, error);
            }
            default:
                return true;
        }
    }

    std::unique_ptr<CompoundFile> file_;
    std::unique_ptr<CompoundStream> stream_;
    std::vector<BoundSheet> boundSheets_;  // parallel to sheets_
    bool biff8_ = true;
    uint16_t codepage_ = 1200;
    uint64_t globalsRest_ = 0;
    bool globalsComplete_ = false;
    NumberFormats formats_;
    StringTable strings_;
};

}  // namespace

std::unique_ptr<WorkbookFile> OpenXlsWorkbook(std::shared_ptr<ByteSource> source,
                                              std::unique_ptr<CompoundFile> file, Error& error) {
    auto workbook = std::make_unique<XlsWorkbook>(std::move(source), std::move(file));
    if (!workbook->List(error)) {
        return nullptr;
    }
    return workbook;
}

}  // namespace sheets
