// PrinterManager's operations on one printer: reading its records and fields, changing its
// settings, pausing, purging, adding, deleting and connecting. The level-2 read is one procedure
// for the readers and the field changes; the field changes are one procedure with a table.
#include <cstring>

#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::ChoosePrinter;
using printing::CopyText;
using printing::PrinterHandle;
using printing::PrinterInfo;
using printing::TextArg;

namespace {

// Opens the chosen printer with access 0 and reads it at `level`; `read` gets the fixed part of
// the record while the spooler's block is still alive. `failure` when it cannot be opened or read.
template <typename Record, typename Result, typename Read>
Result ReadPrinter(const PrinterManager::Name& printerName, DWORD level, Result failure,
                   Read read) {
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return failure;
    }
    const PrinterInfo info(printer.get(), level);
    if (!info) {
        return failure;
    }
    return read(info.Snapshot<Record>());
}

template <typename Result, typename Read>
Result ReadLevel2(const PrinterManager::Name& printerName, Result failure, Read read) {
    return ReadPrinter<PRINTER_INFO_2A>(printerName, 2, std::move(failure), read);
}

bool HasBits(DWORD value, DWORD mask) {
    return (value & mask) == mask;
}

// What one field change does to the level-2 snapshot: a text field that takes the new value,
// and attribute bits set or cleared (the printer's other bits are kept).
struct FieldChange {
    LPSTR PRINTER_INFO_2A::*text = nullptr;
    DWORD setAttributes = 0;
    DWORD clearAttributes = 0;
};

constexpr FieldChange kShare{&PRINTER_INFO_2A::pShareName, PRINTER_ATTRIBUTE_SHARED, 0};
constexpr FieldChange kUnshare{nullptr, 0, PRINTER_ATTRIBUTE_SHARED};
constexpr FieldChange kRename{&PRINTER_INFO_2A::pPrinterName};
constexpr FieldChange kLocation{&PRINTER_INFO_2A::pLocation};
constexpr FieldChange kPort{&PRINTER_INFO_2A::pPortName};
constexpr FieldChange kComment{&PRINTER_INFO_2A::pComment};
constexpr FieldChange kSeparatorFile{&PRINTER_INFO_2A::pSepFile};

// Reads the printer with full access, changes the snapshot as `change` says, pumps the waiting
// window messages once and writes the whole snapshot back. Every field not changed goes back as
// read, its pointers still into the spooler's block, which lives until SetPrinterA has returned.
bool ChangePrinterField(const PrinterManager::Name& printerName, const FieldChange& change,
                        const std::string& value = std::string()) {
    const PrinterHandle printer(ChoosePrinter(printerName), PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    const PrinterInfo info(printer.get(), 2);
    if (!info) {
        return false;
    }
    PRINTER_INFO_2A snapshot = info.Snapshot<PRINTER_INFO_2A>();
    if (change.text != nullptr) {
        snapshot.*change.text = TextArg(value);
    }
    snapshot.Attributes = (snapshot.Attributes | change.setAttributes) & ~change.clearAttributes;
    printing::PumpWaitingMessages();
    return ::SetPrinterA(printer.get(), 2, reinterpret_cast<LPBYTE>(&snapshot), 0) != 0;
}

bool ControlPrinter(const PrinterManager::Name& printerName, DWORD command) {
    const PrinterHandle printer(ChoosePrinter(printerName), PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    return ::SetPrinterA(printer.get(), 0, nullptr, command) != 0;
}

}  // namespace

bool PrinterManager::IsNetworkPrinter(const Name& printerName) const {
    return ReadPrinter<PRINTER_INFO_4A>(printerName, 4, false, [](const PRINTER_INFO_4A& info) {
        return HasBits(info.Attributes, PRINTER_ATTRIBUTE_NETWORK);
    });
}

int32_t PrinterManager::GetPrinterJobCount(const Name& printerName) const {
    return ReadLevel2(printerName, int32_t{0},
                      [](const PRINTER_INFO_2A& info) { return static_cast<int32_t>(info.cJobs); });
}

PrinterDetails PrinterManager::GetPrinterDetails(const Name& printerName) const {
    return ReadLevel2(printerName, PrinterDetails{}, [](const PRINTER_INFO_2A& info) {
        PrinterDetails details;
        details.printerName = CopyText(info.pPrinterName);
        details.shareName = CopyText(info.pShareName);
        details.portName = CopyText(info.pPortName);
        details.driverName = CopyText(info.pDriverName);
        details.comment = CopyText(info.pComment);
        details.location = CopyText(info.pLocation);
        details.printProcessor = CopyText(info.pPrintProcessor);
        details.dataType = CopyText(info.pDatatype);
        details.attributes = static_cast<int32_t>(info.Attributes);
        details.priority = static_cast<int32_t>(info.Priority);
        details.status = static_cast<int32_t>(info.Status);
        details.jobCount = static_cast<int32_t>(info.cJobs);
        details.averagePagesPerMinute = static_cast<int32_t>(info.AveragePPM);
        return details;
    });
}

bool PrinterManager::DeletePrinter(const std::string& printerName) const {
    const PrinterHandle printer(printerName, PRINTER_ALL_ACCESS, "RAW");
    if (!printer) {
        return false;
    }
    return ::DeletePrinter(printer.get()) != 0;
}

bool PrinterManager::AddPrinter(const std::string& printerName, const std::string& portName,
                                const std::string& driverName,
                                const std::string& printProcessor) const {
    // Tried whether or not the privilege could be enabled: the spooler decides.
    EnablePrivilege(SE_LOAD_DRIVER_NAME);
    PRINTER_INFO_2A info{};
    info.pPrinterName = TextArg(printerName);
    info.pPortName = TextArg(portName);
    info.pDriverName = TextArg(driverName);
    info.pPrintProcessor = TextArg(printProcessor);
    const HANDLE printer = ::AddPrinterA(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (printer == nullptr) {
        return false;
    }
    ::ClosePrinter(printer);
    return true;
}

std::intptr_t PrinterManager::ConnectToPrinterDialog() const {
    return reinterpret_cast<std::intptr_t>(::ConnectToPrinterDlg(::GetForegroundWindow(), 0));
}

// The open's result is not examined: the dialog and the close are called with whatever handle
// the open left, null when it failed.
bool PrinterManager::ShowPrinterProperties(const Name& printerName) const {
    const std::string name = ChoosePrinter(printerName);
    PRINTER_DEFAULTSA defaults{nullptr, nullptr, 0};
    HANDLE printer = nullptr;
    ::OpenPrinterA(TextArg(name), &printer, &defaults);
    const BOOL result = ::PrinterProperties(::GetForegroundWindow(), printer);
    ::ClosePrinter(printer);
    return result != 0;
}

bool PrinterManager::PausePrinter(const Name& printerName) const {
    return ControlPrinter(printerName, PRINTER_CONTROL_PAUSE);
}

bool PrinterManager::ResumePrinter(const Name& printerName) const {
    return ControlPrinter(printerName, PRINTER_CONTROL_RESUME);
}

bool PrinterManager::PurgePrinter(const Name& printerName) const {
    return ControlPrinter(printerName, PRINTER_CONTROL_PURGE);
}

bool PrinterManager::SharePrinter(const Name& printerName, const std::string& shareName) const {
    return ChangePrinterField(printerName, kShare, shareName);
}

std::string PrinterManager::GetPrinterShareName(const Name& printerName) const {
    return ReadLevel2(printerName, std::string(),
                      [](const PRINTER_INFO_2A& info) { return CopyText(info.pShareName); });
}

bool PrinterManager::UnsharePrinter(const Name& printerName) const {
    return ChangePrinterField(printerName, kUnshare);
}

bool PrinterManager::RenamePrinter(const Name& printerName, const std::string& newName) const {
    return ChangePrinterField(printerName, kRename, newName);
}

std::string PrinterManager::GetPrinterLocation(const Name& printerName) const {
    return ReadLevel2(printerName, std::string(),
                      [](const PRINTER_INFO_2A& info) { return CopyText(info.pLocation); });
}

bool PrinterManager::SetPrinterLocation(const Name& printerName,
                                        const std::string& location) const {
    return ChangePrinterField(printerName, kLocation, location);
}

bool PrinterManager::IsPrinterShared(const Name& printerName) const {
    return ReadLevel2(printerName, false, [](const PRINTER_INFO_2A& info) {
        return HasBits(info.Attributes, PRINTER_ATTRIBUTE_SHARED);
    });
}

std::string PrinterManager::GetPrinterPort(const Name& printerName) const {
    return ReadLevel2(printerName, std::string(),
                      [](const PRINTER_INFO_2A& info) { return CopyText(info.pPortName); });
}

bool PrinterManager::SetPrinterPort(const Name& printerName, const std::string& portName) const {
    return ChangePrinterField(printerName, kPort, portName);
}

std::string PrinterManager::GetPrinterComment(const Name& printerName) const {
    return ReadLevel2(printerName, std::string(),
                      [](const PRINTER_INFO_2A& info) { return CopyText(info.pComment); });
}

bool PrinterManager::SetPrinterComment(const Name& printerName, const std::string& comment) const {
    return ChangePrinterField(printerName, kComment, comment);
}

std::string PrinterManager::GetPrinterSeparatorFile(const Name& printerName) const {
    return ReadLevel2(printerName, std::string(),
                      [](const PRINTER_INFO_2A& info) { return CopyText(info.pSepFile); });
}

bool PrinterManager::SetPrinterSeparatorFile(const Name& printerName,
                                             const std::string& separatorFile) const {
    return ChangePrinterField(printerName, kSeparatorFile, separatorFile);
}

bool PrinterManager::AddPrinterConnection(const std::string& printerName) const {
    return ::AddPrinterConnectionA(TextArg(printerName)) != 0;
}

bool PrinterManager::DeletePrinterConnection(const std::string& printerName) const {
    return ::DeletePrinterConnectionA(TextArg(printerName)) != 0;
}
