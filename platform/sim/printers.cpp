// The printer functions of the simulated spooler: enumeration, the default printer, opening,
// closing and reading printers, with the spooler's buffer protocol, access checks and error codes.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/buffer.h"
#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/spooler.h"

namespace sim::detail {
namespace {

// Windows' defaults for the two timeouts of PRINTER_INFO_5, in milliseconds.
constexpr DWORD kDeviceNotSelectedTimeout = 15000;
constexpr DWORD kTransmissionRetryTimeout = 45000;

// A printer as one answer shows it. A printer listed through a server's name is named
// \\server\printer and carries that server, as a remote spooler reports it.
struct Listed {
    const Printer* printer = nullptr;
    std::string name;
    std::string server;  // empty for a local printer listed as local
};

Listed AsListed(const Printer& printer) {
    return {&printer, printer.name, printer.serverName};
}

Listed AsListedOnServer(const Printer& printer, const std::string& server) {
    return {&printer, server + "\\" + printer.name, server};
}

void Fill(Packer& packer, PRINTER_INFO_1A& record, const Listed& listed) {
    const Printer& printer = *listed.printer;
    record.Flags = PRINTER_ENUM_ICON8;
    record.pDescription =
        packer.Text(listed.name + "," + printer.driverName + "," + printer.location);
    record.pName = packer.Text(listed.name);
    record.pComment = packer.Text(printer.comment);
}

void Fill(Packer& packer, PRINTER_INFO_2A& record, const Listed& listed) {
    const Printer& printer = *listed.printer;
    record.pServerName = packer.TextOrNull(listed.server);
    record.pPrinterName = packer.Text(listed.name);
    record.pShareName = packer.Text(printer.shareName);
    record.pPortName = packer.Text(printer.portName);
    record.pDriverName = packer.Text(printer.driverName);
    record.pComment = packer.Text(printer.comment);
    record.pLocation = packer.Text(printer.location);
    record.pDevMode = packer.Extra<DEVMODEA>();
    FillDevMode(*record.pDevMode, listed.printer->devMode, listed.name);
    record.pSepFile = packer.Text(printer.sepFile);
    record.pPrintProcessor = packer.Text(printer.printProcessor);
    record.pDatatype = packer.Text(printer.datatype);
    record.pParameters = packer.Text(printer.parameters);
    record.pSecurityDescriptor = nullptr;
    record.Attributes = printer.attributes;
    record.Priority = printer.priority;
    record.DefaultPriority = printer.defaultPriority;
    record.StartTime = printer.startTime;
    record.UntilTime = printer.untilTime;
    record.Status = printer.status;
    record.cJobs = static_cast<DWORD>(printer.jobs.size());
    record.AveragePPM = printer.averagePPM;
}

void Fill(Packer& packer, PRINTER_INFO_4A& record, const Listed& listed) {
    record.pPrinterName = packer.Text(listed.name);
    record.pServerName = packer.TextOrNull(listed.server);
    record.Attributes = listed.printer->attributes;
}

void Fill(Packer& packer, PRINTER_INFO_5A& record, const Listed& listed) {
    record.pPrinterName = packer.Text(listed.name);
    record.pPortName = packer.Text(listed.printer->portName);
    record.Attributes = listed.printer->attributes;
    record.DeviceNotSelectedTimeout = kDeviceNotSelectedTimeout;
    record.TransmissionRetryTimeout = kTransmissionRetryTimeout;
}

// The records of `level` for `listed`, laid out with the buffer protocol.
template <typename Record>
bool PackPrinters(const std::vector<Listed>& listed, LPBYTE buffer, DWORD cbBuf,
                  LPDWORD pcbNeeded) {
    return PackAnswer(buffer, cbBuf, pcbNeeded, [&](Packer& packer) {
        Record* records = packer.Records<Record>(listed.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            Fill(packer, records[i], listed[i]);
        }
    });
}

bool PackPrintersAtLevel(DWORD level, const std::vector<Listed>& listed, LPBYTE buffer, DWORD cbBuf,
                         LPDWORD pcbNeeded) {
    switch (level) {
        case 1:
            return PackPrinters<PRINTER_INFO_1A>(listed, buffer, cbBuf, pcbNeeded);
        case 2:
            return PackPrinters<PRINTER_INFO_2A>(listed, buffer, cbBuf, pcbNeeded);
        case 4:
            return PackPrinters<PRINTER_INFO_4A>(listed, buffer, cbBuf, pcbNeeded);
        case 5:
            return PackPrinters<PRINTER_INFO_5A>(listed, buffer, cbBuf, pcbNeeded);
        default:
            SetError(ERROR_INVALID_LEVEL);
            return false;
    }
}

bool SupportedLevel(DWORD level) {
    return level == 1 || level == 2 || level == 4 || level == 5;
}

// The provider record EnumPrintersA(NAME, NULL, 1) lists: the one local print provider.
bool PackProvider(LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded) {
    return PackAnswer(buffer, cbBuf, pcbNeeded, [&](Packer& packer) {
        auto* record = packer.Records<PRINTER_INFO_1A>(1);
        record->Flags = PRINTER_ENUM_ICON1 | PRINTER_ENUM_CONTAINER | PRINTER_ENUM_EXPAND;
        record->pDescription = packer.Text("Local Print Provider");
        record->pName = packer.Text("Local Print Provider");
        record->pComment = packer.Text("Locally connected printers");
    });
}

// The printers EnumPrintersA lists for `flags` and `name`, in the spooler's order, or false with
// the last error set.
bool SelectPrinters(const Machine& machine, DWORD flags, const char* name, DWORD level,
                    std::vector<Listed>& listed) {
    const bool byName = (flags & PRINTER_ENUM_NAME) != 0;
    if (level == 4 && (flags & ~(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS)) != 0) {
        SetError(ERROR_INVALID_FLAGS);
        return false;
    }
    if (level != 1 && (flags & (PRINTER_ENUM_REMOTE | PRINTER_ENUM_NETWORK)) != 0) {
        SetError(ERROR_INVALID_FLAGS);
        return false;
    }
    auto add = [&](Listed entry) {
        const bool present = std::any_of(listed.begin(), listed.end(), [&](const Listed& other) {
            return other.printer == entry.printer;
        });
        const bool shared = (entry.printer->attributes & PRINTER_ATTRIBUTE_SHARED) != 0;
        if (!present && (shared || (flags & PRINTER_ENUM_SHARED) == 0)) {
            listed.push_back(std::move(entry));
        }
    };

    if (byName && name != nullptr) {
        const std::string_view server(name);
        if (server.empty()) {
            for (const Printer& printer : machine.printers) {
                add(AsListed(printer));
            }
        } else if (IsLocalMachine(machine, server)) {
            for (const Printer& printer : machine.printers) {
                add(AsListedOnServer(printer, machine.machineName));
            }
        } else {
            // A remote server is known through the user's connections to it.
            bool known = false;
            for (const Printer& printer : machine.connections) {
                if (SameName(printer.serverName, server)) {
                    known = true;
                    add(AsListed(printer));
                }
            }
            if (!known) {
                SetError(ERROR_INVALID_NAME);
                return false;
            }
        }
    } else if ((flags & PRINTER_ENUM_LOCAL) != 0) {
        for (const Printer& printer : machine.printers) {
            add(AsListed(printer));
        }
    }
    if ((flags & PRINTER_ENUM_CONNECTIONS) != 0) {
        for (const Printer& printer : machine.connections) {
            add(AsListed(printer));
        }
    }
    return true;
}

}  // namespace
}  // namespace sim::detail

using sim::Machine;
using sim::Printer;
using sim::detail::Arg;
using sim::detail::Ptr;
using sim::detail::Run;
using sim::detail::State;
using sim::detail::Text;

BOOL EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                   LPDWORD pcbNeeded, LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run(
        "EnumPrintersA", FALSE,
        {Flags, Text(Name), Level, Ptr(pPrinterEnum), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)},
        [&](State& state) -> BOOL {
            if (pcbNeeded == nullptr || pcReturned == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            *pcReturned = 0;
            if (!SupportedLevel(Level)) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            const bool providers = (Flags & PRINTER_ENUM_NAME) != 0 && Name == nullptr &&
                                   (Flags & PRINTER_ENUM_LOCAL) == 0;
            if (providers) {
                if (Level != 1) {
                    return Fail(ERROR_INVALID_LEVEL);
                }
                if (!PackProvider(pPrinterEnum, cbBuf, pcbNeeded)) {
                    return FALSE;
                }
                *pcReturned = 1;
                return TRUE;
            }
            std::vector<Listed> listed;
            if (!SelectPrinters(state.machine, Flags, Name, Level, listed) ||
                !PackPrintersAtLevel(Level, listed, pPrinterEnum, cbBuf, pcbNeeded)) {
                return FALSE;
            }
            *pcReturned = static_cast<DWORD>(listed.size());
            return TRUE;
        });
}

BOOL GetDefaultPrinterA(LPSTR pszBuffer, LPDWORD pcchBuffer) {
    using namespace sim::detail;
    auto record = [&] {
        return pcchBuffer != nullptr ? std::vector<Arg>{*pcchBuffer} : std::vector<Arg>{};
    };
    return Run("GetDefaultPrinterA", FALSE, {Ptr(pszBuffer), Ptr(pcchBuffer)}, record,
               [&](State& state) -> BOOL {
                   if (pcchBuffer == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   const Printer* printer = DefaultPrinter(state.machine);
                   if (printer == nullptr) {
                       return Fail(ERROR_FILE_NOT_FOUND);
                   }
                   const auto needed = static_cast<DWORD>(printer->name.size() + 1);
                   if (pszBuffer == nullptr || *pcchBuffer < needed) {
                       *pcchBuffer = needed;
                       return Fail(ERROR_INSUFFICIENT_BUFFER);
                   }
                   std::memcpy(pszBuffer, printer->name.c_str(), needed);
                   *pcchBuffer = needed;
                   return TRUE;
               });
}

BOOL SetDefaultPrinterA(LPCSTR pszPrinter) {
    using namespace sim::detail;
    return Run("SetDefaultPrinterA", FALSE, {Text(pszPrinter)}, [&](State& state) -> BOOL {
        Machine& machine = state.machine;
        if (pszPrinter == nullptr || *pszPrinter == '\0') {
            // Keep a default that still exists; otherwise the first printer in listing order.
            if (DefaultPrinter(machine) != nullptr) {
                return TRUE;
            }
            const Printer* first = !machine.printers.empty()      ? &machine.printers.front()
                                   : !machine.connections.empty() ? &machine.connections.front()
                                                                  : nullptr;
            if (first == nullptr) {
                return Fail(ERROR_INVALID_PRINTER_NAME);
            }
            machine.defaultPrinter = first->name;
            return TRUE;
        }
        const Printer* printer = FindPrinter(machine, pszPrinter);
        if (printer == nullptr) {
            return Fail(ERROR_INVALID_PRINTER_NAME);
        }
        machine.defaultPrinter = printer->name;
        return TRUE;
    });
}

BOOL OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault) {
    using namespace sim::detail;
    auto record = [&] {
        return pDefault != nullptr
                   ? std::vector<Arg>{Text(pDefault->pDatatype), Ptr(pDefault->pDevMode),
                                      pDefault->DesiredAccess}
                   : std::vector<Arg>{};
    };
    return Run("OpenPrinterA", FALSE, {Text(pPrinterName), Ptr(phPrinter), Ptr(pDefault)}, record,
               [&](State& state) -> BOOL {
                   if (phPrinter == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   *phPrinter = nullptr;
                   Machine& machine = state.machine;
                   const DWORD requested = pDefault != nullptr ? pDefault->DesiredAccess : 0;
                   PrinterHandleEntry entry;

                   if (pPrinterName == nullptr || IsLocalMachine(machine, pPrinterName)) {
                       // The local print server. With no access asked for, it may be enumerated.
                       entry.server = true;
                       entry.access = requested != 0 ? requested : SERVER_ACCESS_ENUMERATE;
                       if ((entry.access & ~AllowedServerAccess(machine)) != 0) {
                           return Fail(ERROR_ACCESS_DENIED);
                       }
                   } else {
                       // The ",Job n" and ",Xcv..." forms are not modelled; a comma never starts a
                       // name.
                       const Printer* printer = std::strchr(pPrinterName, ',') != nullptr
                                                    ? nullptr
                                                    : FindPrinter(machine, pPrinterName);
                       if (printer == nullptr ||
                           (printer->status & PRINTER_STATUS_PENDING_DELETION) != 0) {
                           return Fail(ERROR_INVALID_PRINTER_NAME);
                       }
                       entry.printer = printer->name;
                       entry.access = requested != 0 ? requested : PRINTER_ACCESS_USE;
                       if ((entry.access & ~AllowedPrinterAccess(machine, *printer)) != 0) {
                           return Fail(ERROR_ACCESS_DENIED);
                       }
                       if (pDefault != nullptr && pDefault->pDatatype != nullptr) {
                           if (!SupportsDatatype(machine, *printer, pDefault->pDatatype)) {
                               return Fail(ERROR_INVALID_DATATYPE);
                           }
                           entry.datatype = pDefault->pDatatype;
                       }
                   }
                   HANDLE handle = NewHandle(state);
                   state.printerHandles.emplace(reinterpret_cast<std::uintptr_t>(handle),
                                                std::move(entry));
                   *phPrinter = handle;
                   return TRUE;
               });
}

BOOL ClosePrinter(HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("ClosePrinter", FALSE, {Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const auto found = state.printerHandles.find(reinterpret_cast<std::uintptr_t>(hPrinter));
        if (found == state.printerHandles.end()) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        // A document still open is ended as EndDocPrinter would end it.
        EndDocument(state, found->second);
        state.printerHandles.erase(found);
        return TRUE;
    });
}

BOOL GetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run("GetPrinterA", FALSE, {Ptr(hPrinter), Level, Ptr(pPrinter), cbBuf, Ptr(pcbNeeded)},
               [&](State& state) -> BOOL {
                   const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
                   if (entry == nullptr || entry->server) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (pcbNeeded == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   const Printer* printer = FindPrinter(state.machine, entry->printer);
                   if (printer == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (!SupportedLevel(Level)) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   return PackPrintersAtLevel(Level, std::vector<Listed>{AsListed(*printer)},
                                              pPrinter, cbBuf, pcbNeeded)
                              ? TRUE
                              : FALSE;
               });
}
