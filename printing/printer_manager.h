// PrinterManager: the facade over the print spooler. Every operation opens, uses and releases its
// spooler handles and blocks before it returns, and reports only through its result: a boolean
// (the spooler's own), a count or -1, an empty text, or an empty record.
#pragma once

#include <string>
#include <vector>

// A list of texts in the active code page, owned by the caller and filled by the operations.
using TextList = std::vector<std::string>;

class PrinterManager {
  public:
    // Does no work; run once before the instance is released.
    void Destroy();
    // A new instance: the class has no data to copy.
    PrinterManager Copy() const;

    // Local printers and the user's connections, in the spooler's order. Returns their number, or
    // -1 when the enumeration failed (both lists are then empty).
    int ListPrinters(TextList& printerNames, TextList& printerDescriptions) const;
    int ListPrinters(TextList& printerNames) const;
    // The default printer's name, or the empty text when there is none or it cannot be read.
    std::string GetDefaultPrinter() const;
    // Makes `printerName` the default; an empty name lets the spooler choose.
    bool SetDefaultPrinter(const std::string& printerName) const;
};

// Enables a privilege of the current process's token. True only when the adjustment succeeded and
// the token did hold the privilege.
bool EnablePrivilege(const std::string& privilegeName);
