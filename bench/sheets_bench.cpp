// Speed and memory of the workbook readers: listing the sheets of a generated 200-sheet workbook
// of over 100 MB (stored, so as large on disk) against a small one of the same sheet count, and
// reading the text of one sheet of a million cells.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/sheets/workbook_file.h"
#include "tests/platform/sheets/xlsx_writer.h"

namespace {

using sheets::testing::XlsxShape;

constexpr int kSheets = 200;

// 200 sheets; the first of 100,000 rows × 10 columns, the others 1,000 × 10; 300,000 strings.
const XlsxShape kLarge{.sheets = kSheets,
                       .rows = 1000,
                       .firstSheetRows = 100000,
                       .columns = 10,
                       .sharedStrings = 300000,
                       .deflate = false};
const XlsxShape kSmall{.sheets = kSheets, .rows = 1, .firstSheetRows = 1, .columns = 2};

// The generated workbooks, written once into a private temporary folder and removed at exit.
struct Workbooks {
    std::filesystem::path folder;
    std::string large, small;

    Workbooks() {
        folder =
            std::filesystem::temp_directory_path() / ("sheets_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        large = (folder / "large.xlsx").string();
        small = (folder / "small.xlsx").string();
        std::string error;
        if (!sheets::testing::WriteXlsx(large, kLarge, error) ||
            !sheets::testing::WriteXlsx(small, kSmall, error)) {
            std::fprintf(stderr, "cannot generate the workbooks: %s\n", error.c_str());
            std::exit(1);
        }
    }
    ~Workbooks() { std::filesystem::remove_all(folder); }
};

const Workbooks& Generated() {
    static const Workbooks workbooks;
    return workbooks;
}

void ListSheets(benchmark::State& state, const std::string& path) {
    uint64_t bytesRead = 0;
    for (auto _ : state) {
        sheets::Error error;
        std::unique_ptr<sheets::WorkbookFile> file = sheets::WorkbookFile::Open(path, error);
        if (file == nullptr || file->Sheets().size() != kSheets) {
            state.SkipWithError(("cannot list: " + error.reason).c_str());
            return;
        }
        bytesRead = file->BytesRead();
        benchmark::DoNotOptimize(file->Sheets().data());
    }
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
    state.counters["read_KB"] = static_cast<double>(bytesRead) / 1e3;
}

void BM_ListSheetsLarge(benchmark::State& state) {
    ListSheets(state, Generated().large);
}
void BM_ListSheetsSmall(benchmark::State& state) {
    ListSheets(state, Generated().small);
}

void BM_ReadLargeSheet(benchmark::State& state) {
    sheets::Error error;
    std::unique_ptr<sheets::WorkbookFile> file =
        sheets::WorkbookFile::Open(Generated().large, error);
    if (file == nullptr) {
        state.SkipWithError(("cannot open: " + error.reason).c_str());
        return;
    }
    size_t textBytes = 0;
    for (auto _ : state) {
        std::string text;
        if (!file->SheetText(0, text, error)) {
            state.SkipWithError(("cannot read: " + error.reason).c_str());
            return;
        }
        textBytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["cells"] = static_cast<double>(kLarge.firstSheetRows * kLarge.columns);
    state.counters["text_MB"] = static_cast<double>(textBytes) / 1e6;
    state.SetBytesProcessed(static_cast<int64_t>(textBytes) * state.iterations());
}

BENCHMARK(BM_ListSheetsSmall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSheetsLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadLargeSheet)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
