// PrinterManager: the facade over the print spooler. Every operation opens, uses and releases its
// spooler handles and blocks before it returns, and reports only through its result: a boolean
// (the spooler's own), a count or -1, an empty text, or an empty record. An operation on one
// printer takes an optional name: left out, the default printer is asked for afresh; given, it is
// used unchanged, an empty name reaching the spooler as a null pointer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A list of texts in the active code page, owned by the caller and filled by the operations.
using TextList = std::vector<std::string>;

// A printer's main settings, as its PRINTER_INFO_2 gives them. A printer that could not be read
// gives eight empty texts and five zeros.
struct PrinterDetails {
    std::string printerName;
    std::string shareName;
    std::string portName;
    std::string driverName;
    std::string comment;
    std::string location;
    std::string printProcessor;
    std::string dataType;
    int32_t attributes = 0;  // PRINTER_ATTRIBUTE_* bits
    int32_t priority = 0;
    int32_t status = 0;  // PRINTER_STATUS_* bits
    int32_t jobCount = 0;
    int32_t averagePagesPerMinute = 0;

    bool operator==(const PrinterDetails&) const = default;
};

class PrinterManager {
  public:
    using Name = std::optional<std::string>;

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

    // ---- One printer: records, settings and administration ----

    // Level 4 attributes carry PRINTER_ATTRIBUTE_NETWORK; false when the printer cannot be read.
    bool IsNetworkPrinter(const Name& printerName = std::nullopt) const;
    // Jobs queued; 0 when the printer cannot be read.
    int32_t GetPrinterJobCount(const Name& printerName = std::nullopt) const;
    PrinterDetails GetPrinterDetails(const Name& printerName = std::nullopt) const;
    // Deletes the named printer (no default-printer rule); pending deletion while jobs are queued.
    bool DeletePrinter(const std::string& printerName) const;
    // Installs a local printer from the four required fields, after enabling SeLoadDriverPrivilege.
    bool AddPrinter(const std::string& printerName, const std::string& portName,
                    const std::string& driverName, const std::string& printProcessor) const;
    // The spooler's connect dialog; the handle of the printer chosen (the caller's to close), or 0.
    std::intptr_t ConnectToPrinterDialog() const;
    bool ShowPrinterProperties(const Name& printerName = std::nullopt) const;
    bool PausePrinter(const Name& printerName = std::nullopt) const;
    bool ResumePrinter(const Name& printerName = std::nullopt) const;
    bool PurgePrinter(const Name& printerName = std::nullopt) const;
    // Sets the shared bit, keeping every other attribute bit, under `shareName`.
    bool SharePrinter(const Name& printerName, const std::string& shareName) const;
    std::string GetPrinterShareName(const Name& printerName = std::nullopt) const;
    // Clears the shared bit, keeping every other attribute bit and the share name.
    bool UnsharePrinter(const Name& printerName = std::nullopt) const;
    bool RenamePrinter(const Name& printerName, const std::string& newName) const;
    std::string GetPrinterLocation(const Name& printerName = std::nullopt) const;
    bool SetPrinterLocation(const Name& printerName, const std::string& location) const;
    bool IsPrinterShared(const Name& printerName = std::nullopt) const;
    std::string GetPrinterPort(const Name& printerName = std::nullopt) const;
    bool SetPrinterPort(const Name& printerName, const std::string& portName) const;
    std::string GetPrinterComment(const Name& printerName = std::nullopt) const;
    bool SetPrinterComment(const Name& printerName, const std::string& comment) const;
    std::string GetPrinterSeparatorFile(const Name& printerName = std::nullopt) const;
    bool SetPrinterSeparatorFile(const Name& printerName, const std::string& separatorFile) const;
    bool AddPrinterConnection(const std::string& printerName) const;
    bool DeletePrinterConnection(const std::string& printerName) const;
};

// Enables a privilege of the current process's token. True only when the adjustment succeeded and
// the token did hold the privilege.
bool EnablePrivilege(const std::string& privilegeName);
