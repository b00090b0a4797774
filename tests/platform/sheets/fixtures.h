// Shared helpers of the workbook reader tests: fixture paths, whole-file reads and a readable
// form of sheet lists for failure messages.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/sheets/workbook_file.h"

namespace sheets {

inline std::ostream& operator<<(std::ostream& out, const SheetInfo& sheet) {
    static const char* kinds[] = {"Worksheet", "Chart", "MacroSheet", "DialogSheet"};
    static const char* visibilities[] = {"Visible", "Hidden", "VeryHidden"};
    return out << "{\"" << sheet.name << "\", " << kinds[static_cast<int>(sheet.kind)] << ", "
               << visibilities[static_cast<int>(sheet.visibility)] << "}";
}

inline std::ostream& operator<<(std::ostream& out, Failure failure) {
    return out << FailureName(failure);
}

}  // namespace sheets

namespace sheets::testing {

inline std::string DataPath(const std::string& name) {
    return std::string(TALLOWIND_TEST_DATA) + "/" + name;
}

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fixture's file name as a test name: letters and digits, the rest as underscores.
inline std::string TestName(std::string file) {
    for (char& c : file) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return file;
}

// Opens a fixture, failing the test with the reason when it does not open.
inline std::unique_ptr<WorkbookFile> OpenFixture(const std::string& name) {
    Error error;
    std::unique_ptr<WorkbookFile> file = WorkbookFile::Open(DataPath(name), error);
    EXPECT_NE(file, nullptr) << name << ": " << FailureName(error.failure) << ": " << error.reason;
    return file;
}

}  // namespace sheets::testing
