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

// A calendar date and time of day, to the second; all zeros is the zero value.
struct DateTime {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;

    bool operator==(const DateTime&) const = default;
};

// One printer driver, as its DRIVER_INFO_6 gives it. The multi-string fields hold their first
// name only; a fresh record holds 0, empty texts and the zero date.
struct DriverDetails {
    int32_t version = 0;
    std::string name;
    std::string environment;
    std::string driverPath;
    std::string dataFile;
    std::string configFile;
    std::string helpFile;
    std::string dependentFiles;
    std::string monitorName;
    std::string defaultDataType;
    std::string previousNames;
    DateTime driverDate;        // the UTC date the spooler stores, at 00:00:00
    std::string driverVersion;  // four 16-bit words, most significant first: "10.0.500.1"
    std::string manufacturer;
    std::string oemUrl;
    std::string hardwareId;
    std::string provider;

    bool operator==(const DriverDetails&) const = default;
};

// One paper form. The sizes are in the unit of the operation that filled or takes the record:
// tenths of a millimetre for ListForms and SetForm, whole centimetres for GetForm.
struct FormDetails {
    std::string name;
    std::string kind;  // "用户定义", "内置" or "打印机"
    float width = 0;
    float height = 0;
    float imageableRight = 0;
    float imageableBottom = 0;

    bool operator==(const FormDetails&) const = default;
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

    // ---- Ports and monitors ----

    // The local ports with their descriptions; their number, or -1 (the lists then empty).
    int ListPorts(TextList& portNames, TextList& portDescriptions) const;
    int ListPorts(TextList& portNames) const;
    // Asks the monitor ("Local Port" when left out; an empty name goes as null) to add a port.
    bool AddPort(const Name& monitorName = std::nullopt) const;
    bool DeletePort(const std::string& portName) const;
    // The port monitors; their number, or -1 (the lists then empty).
    int ListMonitors(TextList& monitorNames, TextList& monitorEnvironments,
                     TextList& monitorDllNames) const;
    int ListMonitors(TextList& monitorNames, TextList& monitorEnvironments) const;
    int ListMonitors(TextList& monitorNames) const;
    bool AddMonitor(const std::string& monitorName, const std::string& environment,
                    const std::string& dllName) const;
    bool DeleteMonitor(const std::string& monitorName, const std::string& environment) const;

    // ---- Print processors and drivers ----

    int ListPrintProcessors(TextList& processors) const;
    // The print-processor directory, or the empty text.
    std::string GetPrintProcessorDirectory() const;
    // Installs the processor file `path` under its file title without the extension.
    bool AddPrintProcessor(const std::string& path) const;
    bool DeletePrintProcessor(const std::string& processorName) const;
    // Every installed driver; their number, or -1 (the list then empty). The window messages
    // waiting are dispatched once per driver.
    int ListDrivers(std::vector<DriverDetails>& drivers) const;
    // Appends the processor's data types to `dataTypes` (not emptied first); the number this call
    // found, or -1 (the list then as it was).
    int ListPrintProcessorDataTypes(const std::string& processorName, TextList& dataTypes) const;
    // The printer-driver directory, or the empty text.
    std::string GetPrinterDriverDirectory() const;
    // The driver of one printer; a fresh record when it cannot be read.
    DriverDetails GetPrinterDriver(const Name& printerName = std::nullopt) const;
    // Installs a version-3 driver from its files, after enabling SeLoadDriverPrivilege.
    bool AddPrinterDriver(const std::string& driverName, const std::string& driverPath,
                          const std::string& dataFile, const std::string& configFile) const;
    bool DeletePrinterDriver(const std::string& driverName) const;
    // Deletes every version of the driver with all its files.
    bool DeletePrinterDriverEx(const std::string& driverName) const;

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
    // Asks the port's monitor to configure it (it may show its own dialog).
    bool ConfigurePort(const std::string& portName) const;
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

    // ---- Forms ----

    // The printer's forms, sizes in tenths of a millimetre (fraction dropped); their number, or
    // -1. The window messages waiting are dispatched once per form.
    int ListForms(const Name& printerName, std::vector<FormDetails>& forms) const;
    bool DeleteForm(const Name& printerName, const std::string& formName) const;
    // Adds a user form of whole centimetres, imageable all over. False without a spooler call
    // when a size in thousandths of a millimetre would not fit 32 bits.
    bool AddForm(const Name& printerName, const std::string& formName, int32_t widthCm,
                 int32_t heightCm) const;
    // One form, sizes in whole centimetres (fraction dropped); a fresh record when unreadable.
    FormDetails GetForm(const Name& printerName, const std::string& formName) const;
    // Writes `form` (sizes in tenths of a millimetre) over the form named `formName`; the
    // imageable area starts at 0, 0. False without a spooler call when a size is not finite or
    // would not fit 32 bits in thousandths of a millimetre.
    bool SetForm(const Name& printerName, const std::string& formName,
                 const FormDetails& form) const;

    // "hh:mm:ss year<sep>MM<sep>dd weekday" of a UTC submission time shifted to UTC+8.
    std::string FormatSubmittedTime(const SYSTEMTIME& submitted) const;
};

// The user's date separator (LOCALE_SDATE), read afresh; one blank when it cannot be read.
std::string GetDateSeparator();

// The file-name part of `path` as the system shows it, without its extension unless
// `keepExtension`; the empty text when the title cannot be had.
std::string FileTitleFromPath(const std::string& path, bool keepExtension = false);

// Enables a privilege of the current process's token. True only when the adjustment succeeded and
// the token did hold the privilege.
bool EnablePrivilege(const std::string& privilegeName);
