// PrinterManager's operations, in the class's order. Each is a thin synchronous wrapper over the
// spooler functions, built from the shared pieces of spooler_support.h.
#include "printing/printer_manager.h"

#include <vector>

#include "printing/spooler_support.h"

namespace printing {

std::string ChoosePrinter(const std::optional<std::string>& printerName) {
    return printerName ? *printerName : PrinterManager().GetDefaultPrinter();
}

}  // namespace printing

using printing::CopyText;
using printing::EnumerateTwoPass;
using printing::TextArg;

void PrinterManager::Destroy() {}

PrinterManager PrinterManager::Copy() const {
    return PrinterManager();
}

int PrinterManager::ListPrinters(TextList& printerNames, TextList& printerDescriptions) const {
    printerNames.clear();
    printerDescriptions.clear();
    constexpr DWORD kFlags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    return EnumerateTwoPass<PRINTER_INFO_1A>(
        [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumPrintersA(kFlags, nullptr, 1, buffer, size, needed, returned);
        },
        [&](const PRINTER_INFO_1A& record) {
            printerDescriptions.push_back(CopyText(record.pDescription));
            printerNames.push_back(CopyText(record.pName));
        });
}

int PrinterManager::ListPrinters(TextList& printerNames) const {
    TextList descriptions;
    return ListPrinters(printerNames, descriptions);
}

// Asks the spooler how many characters the name needs and reads it into a buffer of that size, so
// a name of any length comes back whole. Any failure gives the empty text, never a cut-off name.
std::string PrinterManager::GetDefaultPrinter() const {
    DWORD needed = 0;
    ::GetDefaultPrinterA(nullptr, &needed);
    if (needed == 0) {
        return std::string();
    }
    std::vector<char> buffer(needed, '\0');
    DWORD size = needed;
    if (!::GetDefaultPrinterA(buffer.data(), &size)) {
        return std::string();
    }
    buffer.back() = '\0';
    return CopyText(buffer.data());
}

bool PrinterManager::SetDefaultPrinter(const std::string& printerName) const {
    return ::SetDefaultPrinterA(TextArg(printerName)) != 0;
}
