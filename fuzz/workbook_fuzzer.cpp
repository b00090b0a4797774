// libFuzzer target for the workbook readers: opens the input from memory and reads every sheet.
// Built twice: FUZZ_FORMAT_XLSX keeps zip inputs only, FUZZ_FORMAT_XLS compound files only, so
// each fuzzer spends its time in one reader.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "platform/sheets/workbook_file.h"

namespace {

bool Wanted(const uint8_t* data, size_t size) {
#if defined(FUZZ_FORMAT_XLSX)
    return size >= 2 && data[0] == 'P' && data[1] == 'K';
#else
    static const uint8_t kCompoundFile[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    return size >= sizeof kCompoundFile &&
           std::memcmp(data, kCompoundFile, sizeof kCompoundFile) == 0;
#endif
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!Wanted(data, size)) {
        return -1;  // not added to the corpus
    }
    sheets::Error error;
    std::unique_ptr<sheets::WorkbookFile> file =
        sheets::WorkbookFile::OpenMemory({data, size}, error);
    if (file == nullptr) {
        if (error.failure == sheets::Failure::None || error.reason.empty()) {
            __builtin_trap();  // a failure must say what it is
        }
        return 0;
    }
    for (size_t i = 0; i < file->Sheets().size(); ++i) {
        std::string text;
        if (!file->SheetText(i, text, error) && error.failure == sheets::Failure::None) {
            __builtin_trap();
        }
    }
    return 0;
}
