// The simulated spooler's printer administration: SetPrinterA (control commands and writing
// PRINTER_INFO_2 back), AddPrinterA, DeletePrinter, connections, and the connect and properties
// dialogs, whose outcome the machine's DialogScript decides.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/spooler.h"

namespace sim::detail {
namespace {

std::string TextOf(const char* text) {
    return text != nullptr ? std::string(text) : std::string();
}

bool HasFile(const Machine& machine, std::string_view path) {
    return std::any_of(machine.files.begin(), machine.files.end(),
                       [&](const std::string& file) { return SameName(file, path); });
}

bool KnownPort(const Machine& machine, std::string_view name) {
    return std::any_of(machine.ports.begin(), machine.ports.end(),
                       [&](const Port& port) { return SameName(port.name, name); });
}

bool KnownDriver(const Machine& machine, std::string_view name) {
    return std::any_of(machine.drivers.begin(), machine.drivers.end(),
                       [&](const Driver& driver) { return SameName(driver.name, name); });
}

// A printer may print to several ports, named in one text separated by commas.
bool KnownPorts(const Machine& machine, std::string_view names) {
    while (true) {
        const std::size_t comma = names.find(',');
        const std::string_view name = names.substr(0, comma);
        if (name.empty() || !KnownPort(machine, name)) {
            return false;
        }
        if (comma == std::string_view::npos) {
            return true;
        }
        names.remove_prefix(comma + 1);
    }
}

bool ValidLocalName(const char* name) {
    return name != nullptr && *name != '\0' && std::strpbrk(name, "\\,") == nullptr &&
           std::strlen(name) < 221;
}

// The PRINTER_INFO_2 fields the log shows for a written record, in the record's order.
std::vector<Arg> RecordOf(const PRINTER_INFO_2A* info) {
    if (info == nullptr) {
        return {};
    }
    return {Text(info->pServerName),
            Text(info->pPrinterName),
            Text(info->pShareName),
            Text(info->pPortName),
            Text(info->pDriverName),
            Text(info->pComment),
            Text(info->pLocation),
            Ptr(info->pDevMode),
            Text(info->pSepFile),
            Text(info->pPrintProcessor),
            Text(info->pDatatype),
            Text(info->pParameters),
            Ptr(info->pSecurityDescriptor),
            info->Attributes,
            info->Priority,
            info->DefaultPriority,
            info->StartTime,
            info->UntilTime,
            info->Status,
            info->cJobs,
            info->AveragePPM};
}

// Checks the fields a printer record must carry and name things the machine knows. `self` is
// the printer being changed (null when adding one), so it may keep its own name.
DWORD CheckRecord(Machine& machine, const PRINTER_INFO_2A& info, const Printer* self) {
    if (!ValidLocalName(info.pPrinterName)) {
        return ERROR_INVALID_PRINTER_NAME;
    }
    const Printer* named = FindPrinter(machine, info.pPrinterName);
    if (named != nullptr && named != self &&
        (self != nullptr || (named->status & PRINTER_STATUS_PENDING_DELETION) == 0)) {
        return ERROR_PRINTER_ALREADY_EXISTS;
    }
    if (info.pPortName == nullptr || !KnownPorts(machine, info.pPortName)) {
        return ERROR_UNKNOWN_PORT;
    }
    if (info.pDriverName == nullptr || !KnownDriver(machine, info.pDriverName)) {
        return ERROR_UNKNOWN_PRINTER_DRIVER;
    }
    const PrintProcessor* processor =
        info.pPrintProcessor != nullptr ? FindProcessor(machine, info.pPrintProcessor) : nullptr;
    if (processor == nullptr) {
        return ERROR_UNKNOWN_PRINTPROCESSOR;
    }
    if (info.pDatatype != nullptr &&
        std::none_of(processor->datatypes.begin(), processor->datatypes.end(),
                     [&](const std::string& known) { return SameName(known, info.pDatatype); })) {
        return ERROR_INVALID_DATATYPE;
    }
    if (info.pSepFile != nullptr && *info.pSepFile != '\0' && !HasFile(machine, info.pSepFile)) {
        return ERROR_INVALID_SEPARATOR_FILE;
    }
    return ERROR_SUCCESS;
}

// Writes the settable fields of a record into a printer. The server name, status, job count and
// pages per minute are the spooler's own and are not taken.
void Apply(Printer& printer, const PRINTER_INFO_2A& info) {
    printer.name = TextOf(info.pPrinterName);
    printer.shareName = TextOf(info.pShareName);
    printer.portName = TextOf(info.pPortName);
    printer.driverName = TextOf(info.pDriverName);
    printer.comment = TextOf(info.pComment);
    printer.location = TextOf(info.pLocation);
    printer.sepFile = TextOf(info.pSepFile);
    printer.printProcessor = TextOf(info.pPrintProcessor);
    if (info.pDatatype != nullptr) {
        printer.datatype = info.pDatatype;
    }
    printer.parameters = TextOf(info.pParameters);
    printer.attributes = info.Attributes | PRINTER_ATTRIBUTE_LOCAL;
    printer.priority = info.Priority;
    printer.defaultPriority = info.DefaultPriority;
    printer.startTime = info.StartTime;
    printer.untilTime = info.UntilTime;
    if (info.pDevMode != nullptr) {
        const DEVMODEA& devMode = *info.pDevMode;
        if ((devMode.dmFields & DM_ORIENTATION) != 0) {
            printer.devMode.orientation = devMode.dmOrientation;
        }
        if ((devMode.dmFields & DM_PAPERSIZE) != 0) {
            printer.devMode.paperSize = devMode.dmPaperSize;
        }
        if ((devMode.dmFields & DM_COPIES) != 0) {
            printer.devMode.copies = devMode.dmCopies;
        }
        if ((devMode.dmFields & DM_FORMNAME) != 0) {
            const auto* form = reinterpret_cast<const char*>(devMode.dmFormName);
            printer.devMode.formName.assign(form, strnlen(form, sizeof(devMode.dmFormName)));
        }
    }
}

// A printer renamed: the default and the open handles follow it.
void Renamed(State& state, const std::string& from, const std::string& to) {
    if (SameName(state.machine.defaultPrinter, from)) {
        state.machine.defaultPrinter = to;
    }
    for (auto& [value, entry] : state.printerHandles) {
        if (!entry.server && SameName(entry.printer, from)) {
            entry.printer = to;
        }
    }
}

bool IsPrinting(const Job& job) {
    return (job.status & JOB_STATUS_PRINTING) != 0;
}

BOOL Control(Printer& printer, DWORD command, LPBYTE data) {
    switch (command) {
        case PRINTER_CONTROL_PAUSE:
        case PRINTER_CONTROL_RESUME:
        case PRINTER_CONTROL_PURGE:
            if (data != nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            if (command == PRINTER_CONTROL_PAUSE) {
                printer.status |= PRINTER_STATUS_PAUSED;
            } else if (command == PRINTER_CONTROL_RESUME) {
                printer.status &= ~PRINTER_STATUS_PAUSED;
            } else {
                // Every job goes but the one printing now.
                std::erase_if(printer.jobs, [](const Job& job) { return !IsPrinting(job); });
            }
            return TRUE;
        case PRINTER_CONTROL_SET_STATUS: {
            if (data == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            DWORD status = 0;
            std::memcpy(&status, data, sizeof(status));
            if ((status & (PRINTER_STATUS_PAUSED | PRINTER_STATUS_PENDING_DELETION)) != 0) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            printer.status =
                (printer.status & (PRINTER_STATUS_PAUSED | PRINTER_STATUS_PENDING_DELETION)) |
                status;
            return TRUE;
        }
        default:
            return Fail(ERROR_INVALID_PRINTER_COMMAND);
    }
}

// The shared printer `\\server\share` on the network, or null.
const Printer* FindNetworkPrinter(const Machine& machine, std::string_view name) {
    for (const Printer& printer : machine.networkPrinters) {
        if (SameName(printer.name, name)) {
            return &printer;
        }
    }
    return nullptr;
}

bool IsUncPrinterName(std::string_view name) {
    if (!name.starts_with("\\\\")) {
        return false;
    }
    const std::size_t slash = name.find('\\', 2);
    return slash != std::string_view::npos && slash > 2 && slash + 1 < name.size() &&
           name.find('\\', slash + 1) == std::string_view::npos;
}

// Connects to a shared network printer; an existing connection is kept as it is.
BOOL Connect(Machine& machine, const char* name) {
    if (name == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!IsUncPrinterName(name)) {
        return Fail(ERROR_INVALID_PRINTER_NAME);
    }
    for (const Printer& connection : machine.connections) {
        if (SameName(connection.name, name)) {
            return TRUE;
        }
    }
    const Printer* shared = FindNetworkPrinter(machine, name);
    if (shared == nullptr) {
        return Fail(ERROR_INVALID_PRINTER_NAME);
    }
    Printer connection = *shared;
    connection.attributes |= PRINTER_ATTRIBUTE_NETWORK;
    connection.attributes &= ~PRINTER_ATTRIBUTE_LOCAL;
    connection.jobs.clear();
    machine.connections.push_back(std::move(connection));
    return TRUE;
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

BOOL SetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
    using namespace sim::detail;
    auto record = [&] {
        return Level == 2 ? RecordOf(reinterpret_cast<const PRINTER_INFO_2A*>(pPrinter))
                          : std::vector<Arg>{};
    };
    return Run("SetPrinterA", FALSE, {Ptr(hPrinter), Level, Ptr(pPrinter), Command}, record,
               [&](State& state) -> BOOL {
                   const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
                   if (entry == nullptr || entry->server) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   Printer* printer = FindPrinter(state.machine, entry->printer);
                   if (printer == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (Command != 0 && Level != 0) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   if ((entry->access & PRINTER_ACCESS_ADMINISTER) == 0) {
                       return Fail(ERROR_ACCESS_DENIED);
                   }
                   if (Level == 0) {
                       const BOOL done = Control(*printer, Command, pPrinter);
                       if (done && Command == PRINTER_CONTROL_PURGE) {
                           RemoveIfDrained(state.machine, entry->printer);
                       }
                       return done;
                   }
                   if (Level != 2) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   if (pPrinter == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   if (IsConnection(*printer)) {
                       return Fail(ERROR_ACCESS_DENIED);  // a connection is set on its server
                   }
                   PRINTER_INFO_2A info;
                   std::memcpy(&info, pPrinter, sizeof(info));
                   if (const DWORD error = CheckRecord(state.machine, info, printer)) {
                       return Fail(error);
                   }
                   const std::string oldName = printer->name;
                   Apply(*printer, info);
                   if (oldName != printer->name) {
                       Renamed(state, oldName, printer->name);
                   }
                   return TRUE;
               });
}

HANDLE AddPrinterA(LPSTR pName, DWORD Level, LPBYTE pPrinter) {
    using namespace sim::detail;
    auto record = [&] {
        return Level == 2 ? RecordOf(reinterpret_cast<const PRINTER_INFO_2A*>(pPrinter))
                          : std::vector<Arg>{};
    };
    auto fail = [](DWORD error) { return Fail(error, HANDLE{nullptr}); };
    return Run("AddPrinterA", HANDLE{nullptr}, {Text(pName), Level, Ptr(pPrinter)}, record,
               [&](State& state) -> HANDLE {
                   Machine& machine = state.machine;
                   if (pName != nullptr && *pName != '\0' && !IsLocalMachine(machine, pName)) {
                       return fail(ERROR_INVALID_NAME);
                   }
                   if (Level != 2) {
                       return fail(ERROR_INVALID_LEVEL);
                   }
                   if (pPrinter == nullptr) {
                       return fail(ERROR_INVALID_PARAMETER);
                   }
                   if (!machine.administrator) {
                       return fail(ERROR_ACCESS_DENIED);
                   }
                   if (std::find(machine.enabledPrivileges.begin(), machine.enabledPrivileges.end(),
                                 SE_LOAD_DRIVER_NAME) == machine.enabledPrivileges.end()) {
                       return fail(ERROR_PRIVILEGE_NOT_HELD);
                   }
                   PRINTER_INFO_2A info;
                   std::memcpy(&info, pPrinter, sizeof(info));
                   if (info.Status != 0 || info.cJobs != 0 || info.AveragePPM != 0) {
                       return fail(ERROR_INVALID_PARAMETER);
                   }
                   if (const DWORD error = CheckRecord(machine, info, nullptr)) {
                       return fail(error);
                   }
                   // A printer of that name pending deletion comes back with the new settings.
                   Printer* revived = FindPrinter(machine, info.pPrinterName);
                   if (revived != nullptr) {
                       revived->status &= ~PRINTER_STATUS_PENDING_DELETION;
                   } else {
                       machine.printers.emplace_back();
                       revived = &machine.printers.back();
                   }
                   Apply(*revived, info);
                   PrinterHandleEntry entry;
                   entry.printer = revived->name;
                   entry.access = PRINTER_ALL_ACCESS;
                   HANDLE handle = NewHandle(state);
                   state.printerHandles.emplace(reinterpret_cast<std::uintptr_t>(handle),
                                                std::move(entry));
                   return handle;
               });
}

BOOL DeletePrinter(HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("DeletePrinter", FALSE, {Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
        if (entry == nullptr || entry->server) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        Machine& machine = state.machine;
        Printer* printer = FindPrinter(machine, entry->printer);
        if (printer == nullptr) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        if ((entry->access & DELETE) == 0 || IsConnection(*printer)) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        // A paused queue would never drain, so it cannot be left pending deletion.
        if (!printer->jobs.empty() && (printer->status & PRINTER_STATUS_PAUSED) != 0) {
            return Fail(ERROR_ACCESS_DENIED);
        }
        // It goes now if nothing is queued, else with its last job.
        printer->status |= PRINTER_STATUS_PENDING_DELETION;
        RemoveIfDrained(machine, entry->printer);
        return TRUE;
    });
}

BOOL AddPrinterConnectionA(LPSTR pName) {
    using namespace sim::detail;
    return Run("AddPrinterConnectionA", FALSE, {Text(pName)},
               [&](State& state) -> BOOL { return Connect(state.machine, pName); });
}

BOOL DeletePrinterConnectionA(LPSTR pName) {
    using namespace sim::detail;
    return Run("DeletePrinterConnectionA", FALSE, {Text(pName)}, [&](State& state) -> BOOL {
        if (pName == nullptr) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        Machine& machine = state.machine;
        const auto erased = std::erase_if(machine.connections, [&](const Printer& connection) {
            return SameName(connection.name, pName);
        });
        if (erased == 0) {
            return Fail(ERROR_INVALID_PRINTER_NAME);
        }
        if (SameName(machine.defaultPrinter, pName)) {
            machine.defaultPrinter.clear();
        }
        return TRUE;
    });
}

// Connects to the printer the script names and hands back a handle to it; an empty script is
// the user cancelling.
HANDLE ConnectToPrinterDlg(HWND hwnd, DWORD Flags) {
    using namespace sim::detail;
    auto fail = [](DWORD error) { return Fail(error, HANDLE{nullptr}); };
    return Run(
        "ConnectToPrinterDlg", HANDLE{nullptr}, {Ptr(hwnd), Flags}, [&](State& state) -> HANDLE {
            if (Flags != 0) {
                return fail(ERROR_INVALID_PARAMETER);
            }
            Machine& machine = state.machine;
            const std::string chosen = machine.dialogs.connectTo;
            if (chosen.empty()) {
                return fail(ERROR_CANCELLED);
            }
            if (FindPrinter(machine, chosen) == nullptr && !Connect(machine, chosen.c_str())) {
                return nullptr;
            }
            PrinterHandleEntry entry;
            entry.printer = FindPrinter(machine, chosen)->name;
            entry.access = PRINTER_ACCESS_USE;
            HANDLE handle = NewHandle(state);
            state.printerHandles.emplace(reinterpret_cast<std::uintptr_t>(handle),
                                         std::move(entry));
            return handle;
        });
}

BOOL PrinterProperties(HWND hWnd, HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("PrinterProperties", FALSE, {Ptr(hWnd), Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
        if (entry == nullptr || entry->server) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        if (!state.machine.dialogs.propertiesOk) {
            return Fail(ERROR_CANCELLED);
        }
        return TRUE;
    });
}
