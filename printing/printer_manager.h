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

#include "platform/spooler.h"

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

// One print job, as its JOB_INFO_2 gives it. Note the order: the notification name comes before
// the document name. A new entry, and the entry of a job that could not be read, has every
// integer 0 and every text empty.
struct JobEntry {
    int32_t jobId = 0;
    std::string printerName;
    std::string machineName;
    std::string userName;
    std::string notifyName;
    std::string documentName;
    std::string dataType;
    std::string printProcessor;
    std::string driverName;
    std::string submittedText;  // submission time in UTC+8, e.g. "02:05:09 2015/01/18 星期天"
    int32_t size = 0;           // bytes spooled
    int32_t totalPages = 0;
    int32_t status = 0;  // JOB_STATUS_* bits, as the spooler gives them
    int32_t priority = 0;

    bool operator==(const JobEntry&) const = default;
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

    // ---- Jobs ----

    // The first 99 jobs of the printer's queue, in queue order. Returns their number, or -1 when
    // the printer cannot be opened or its queue cannot be read (the list is then empty).
    int ListJobs(const Name& printerName, std::vector<JobEntry>& jobs) const;
    // "星期天" for 0 (Sunday) to "星期六" for 6; the empty text for any other number.
    std::string GetWeekdayName(int32_t weekday) const;
    // Job control: the spooler's yes or no; 0 when the printer cannot be opened with full access.
    bool PauseJob(const Name& printerName, int32_t jobId) const;
    bool ResumeJob(const Name& printerName, int32_t jobId) const;
    bool DeleteJob(const Name& printerName, int32_t jobId) const;
    bool RestartJob(const Name& printerName, int32_t jobId) const;
    // Sends the text's bytes unchanged as one raw document of one page; the result is
    // WritePrinter's. An empty document name goes as a null pointer.
    bool PrintRawText(const Name& printerName, const std::string& documentName,
                      const std::string& data) const;
    // One job by its identifier; the empty entry when it cannot be read.
    JobEntry GetJob(const Name& printerName, int32_t jobId) const;

    // "hh:mm:ss year<sep>MM<sep>dd weekday" of a UTC submission time shifted to UTC+8.
    std::string FormatSubmittedTime(const SYSTEMTIME& submitted) const;
};

// The user's date separator (LOCALE_SDATE), read afresh; one blank when it cannot be read.
std::string GetDateSeparator();

// Enables a privilege of the current process's token. True only when the adjustment succeeded and
// the token did hold the privilege.
bool EnablePrivilege(const std::string& privilegeName);
