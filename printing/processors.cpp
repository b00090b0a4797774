// PrinterManager's print processors and their data types, and FileTitleFromPath, which names a
// new print processor after its file.
#include <array>
#include <cstring>

#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::CopyText;
using printing::EnumerateTwoPass;
using printing::TextArg;

namespace {

constexpr WORD kFileTitleSize = 256;

// The current environment, named by an empty text (not a null pointer) where the spooler is
// asked for a directory.
char kCurrentEnvironment[] = "";

}  // namespace

int PrinterManager::ListPrintProcessors(TextList& processors) const {
    processors.clear();
    return EnumerateTwoPass<PRINTPROCESSOR_INFO_1A>(
        [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumPrintProcessorsA(nullptr, nullptr, 1, buffer, size, needed, returned);
        },
        [&](const PRINTPROCESSOR_INFO_1A& processor) {
            processors.push_back(CopyText(processor.pName));
        });
}

std::string PrinterManager::GetPrintProcessorDirectory() const {
    return printing::ReadTextTwoPass([](LPBYTE buffer, DWORD size, LPDWORD needed) {
        return ::GetPrintProcessorDirectoryA(nullptr, kCurrentEnvironment, 1, buffer, size, needed);
    });
}

bool PrinterManager::AddPrintProcessor(const std::string& path) const {
    const std::string name = FileTitleFromPath(path);
    return ::AddPrintProcessorA(nullptr, nullptr, TextArg(path), TextArg(name)) != 0;
}

bool PrinterManager::DeletePrintProcessor(const std::string& processorName) const {
    return ::DeletePrintProcessorA(nullptr, nullptr, TextArg(processorName)) != 0;
}

// The one enumeration that appends: the list is not emptied, and on failure it stays as it was.
int PrinterManager::ListPrintProcessorDataTypes(const std::string& processorName,
                                                TextList& dataTypes) const {
    TextList found;
    const int count = EnumerateTwoPass<DATATYPES_INFO_1A>(
        [&](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumPrintProcessorDatatypesA(nullptr, TextArg(processorName), 1, buffer, size,
                                                  needed, returned);
        },
        [&](const DATATYPES_INFO_1A& dataType) { found.push_back(CopyText(dataType.pName)); });
    dataTypes.insert(dataTypes.end(), found.begin(), found.end());
    return count;
}

std::string FileTitleFromPath(const std::string& path, bool keepExtension) {
    std::array<char, kFileTitleSize> buffer{};
    if (::GetFileTitleA(path.c_str(), buffer.data(), kFileTitleSize) != 0) {
        return std::string();
    }
    std::string title(buffer.data(), strnlen(buffer.data(), buffer.size()));
    if (!keepExtension) {
        const char* extension = ::PathFindExtensionA(title.c_str());
        if (extension != nullptr) {
            title.resize(title.size() - std::strlen(extension));
        }
    }
    return title;
}
