// The simulated spooler's catalogues of the local machine: ports and port monitors, print
// processors and their data types, printer drivers and paper forms, with the buffer protocol,
// administrator rights, the load-driver privilege and the documented error codes.
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

constexpr DWORD kErrorAlreadyExists = 183;
constexpr std::size_t kMaxFormName = 31;

struct Environment {
    const char* name;
    const char* folder;  // below the driver and print-processor directories
};
constexpr Environment kEnvironments[] = {
    {"Windows NT x86", "W32X86"}, {"Windows x64", "x64"},   {"Windows IA64", "IA64"},
    {"Windows ARM64", "ARM64"},   {"Windows 4.0", "WIN40"},
};

// The environment a call names: null or empty is the machine's own; unknown names give null.
const Environment* ResolveEnvironment(const Machine& machine, const char* name) {
    const std::string_view wanted =
        name == nullptr || *name == '\0' ? std::string_view(machine.environment) : name;
    for (const Environment& environment : kEnvironments) {
        if (SameName(environment.name, wanted)) {
            return &environment;
        }
    }
    return nullptr;
}

std::string DriverDirectory(const Environment& environment) {
    return std::string("C:\\Windows\\system32\\spool\\DRIVERS\\") + environment.folder;
}

std::string ProcessorDirectory(const Environment& environment) {
    return std::string("C:\\Windows\\system32\\spool\\prtprocs\\") + environment.folder;
}

bool LocalServer(const Machine& machine, const char* name) {
    return name == nullptr || *name == '\0' || IsLocalMachine(machine, name);
}

bool PrivilegeEnabled(const Machine& machine) {
    return std::find(machine.enabledPrivileges.begin(), machine.enabledPrivileges.end(),
                     SE_LOAD_DRIVER_NAME) != machine.enabledPrivileges.end();
}

// Administrator rights, and for installing code also the load-driver privilege enabled.
DWORD CheckRights(const Machine& machine, bool loadsDrivers) {
    if (!machine.administrator) {
        return ERROR_ACCESS_DENIED;
    }
    if (loadsDrivers && !PrivilegeEnabled(machine)) {
        return ERROR_PRIVILEGE_NOT_HELD;
    }
    return ERROR_SUCCESS;
}

bool HasFile(const Machine& machine, std::string_view path) {
    return std::any_of(machine.files.begin(), machine.files.end(),
                       [&](const std::string& file) { return SameName(file, path); });
}

std::string_view BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A file given by full path, or by name in `directory` or its version-3 subfolder.
std::string FindFile(const Machine& machine, std::string_view file, const std::string& directory) {
    for (const std::string& candidate :
         {std::string(file), directory + "\\" + std::string(BaseName(file)),
          directory + "\\3\\" + std::string(BaseName(file))}) {
        if (HasFile(machine, candidate)) {
            return candidate;
        }
    }
    return std::string();
}

bool PortInUse(const Machine& machine, std::string_view port) {
    return std::any_of(machine.printers.begin(), machine.printers.end(), [&](const Printer& p) {
        std::string_view ports = p.portName;
        while (!ports.empty()) {
            const std::size_t comma = ports.find(',');
            if (SameName(ports.substr(0, comma), port)) {
                return true;
            }
            ports = comma == std::string_view::npos ? std::string_view() : ports.substr(comma + 1);
        }
        return false;
    });
}

template <typename List>
auto FindNamed(List& list, std::string_view name) -> decltype(&list.front()) {
    for (auto& item : list) {
        if (SameName(item.name, name)) {
            return &item;
        }
    }
    return nullptr;
}

bool DriverInUse(const Machine& machine, std::string_view driver) {
    return std::any_of(machine.printers.begin(), machine.printers.end(),
                       [&](const Printer& p) { return SameName(p.driverName, driver); });
}

std::vector<std::string> FilesOf(const Driver& driver) {
    std::vector<std::string> files = {driver.driverPath, driver.dataFile, driver.configFile};
    if (!driver.helpFile.empty()) {
        files.push_back(driver.helpFile);
    }
    for (const std::string& dependent : driver.dependentFiles) {
        files.push_back(dependent);
    }
    return files;
}

// ---- Records ----

void Fill(Packer& packer, PORT_INFO_1A& record, const Port& port) {
    record.pName = packer.Text(port.name);
}

void Fill(Packer& packer, PORT_INFO_2A& record, const Port& port) {
    record.pPortName = packer.Text(port.name);
    record.pMonitorName = packer.TextOrNull(port.monitor);
    record.pDescription = packer.TextOrNull(port.description);
    record.fPortType = port.type;
    record.Reserved = 0;
}

void Fill(Packer& packer, MONITOR_INFO_1A& record, const Monitor& monitor) {
    record.pName = packer.Text(monitor.name);
}

void Fill(Packer& packer, MONITOR_INFO_2A& record, const Monitor& monitor) {
    record.pName = packer.Text(monitor.name);
    record.pEnvironment = packer.TextOrNull(monitor.environment);
    record.pDLLName = packer.TextOrNull(monitor.dll);
}

void Fill(Packer& packer, PRINTPROCESSOR_INFO_1A& record, const PrintProcessor& processor) {
    record.pName = packer.Text(processor.name);
}

void Fill(Packer& packer, DATATYPES_INFO_1A& record, const std::string& datatype) {
    record.pName = packer.Text(datatype);
}

void Fill(Packer& packer, DRIVER_INFO_2A& record, const Driver& driver) {
    record.cVersion = driver.version;
    record.pName = packer.Text(driver.name);
    record.pEnvironment = packer.Text(driver.environment);
    record.pDriverPath = packer.Text(driver.driverPath);
    record.pDataFile = packer.Text(driver.dataFile);
    record.pConfigFile = packer.Text(driver.configFile);
}

template <typename Record>
void FillLevel3(Packer& packer, Record& record, const Driver& driver) {
    record.cVersion = driver.version;
    record.pName = packer.Text(driver.name);
    record.pEnvironment = packer.Text(driver.environment);
    record.pDriverPath = packer.Text(driver.driverPath);
    record.pDataFile = packer.Text(driver.dataFile);
    record.pConfigFile = packer.Text(driver.configFile);
    record.pHelpFile = packer.TextOrNull(driver.helpFile);
    record.pDependentFiles = packer.MultiText(driver.dependentFiles);
    record.pMonitorName = packer.TextOrNull(driver.monitorName);
    record.pDefaultDataType = packer.TextOrNull(driver.defaultDataType);
}

void Fill(Packer& packer, DRIVER_INFO_3A& record, const Driver& driver) {
    FillLevel3(packer, record, driver);
}

void Fill(Packer& packer, DRIVER_INFO_6A& record, const Driver& driver) {
    FillLevel3(packer, record, driver);
    record.pszzPreviousNames = packer.MultiText(driver.previousNames);
    record.ftDriverDate = driver.date;
    record.dwlDriverVersion = driver.driverVersion;
    record.pszMfgName = packer.TextOrNull(driver.manufacturer);
    record.pszOEMUrl = packer.TextOrNull(driver.oemUrl);
    record.pszHardwareID = packer.TextOrNull(driver.hardwareId);
    record.pszProvider = packer.TextOrNull(driver.provider);
}

void Fill(Packer& packer, FORM_INFO_1A& record, const Form& form) {
    record.Flags = form.flags;
    record.pName = packer.Text(form.name);
    record.Size = form.size;
    record.ImageableArea = form.imageableArea;
}

// Packs `items` as records of type Record and reports their count.
template <typename Record, typename Item>
bool PackList(const std::vector<Item>& items, LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded,
              LPDWORD pcReturned) {
    if (pcbNeeded == nullptr || pcReturned == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    *pcReturned = 0;
    const bool packed = PackAnswer(buffer, cbBuf, pcbNeeded, [&](Packer& packer) {
        Record* records = packer.Records<Record>(items.size());
        for (std::size_t i = 0; i < items.size(); ++i) {
            Fill(packer, records[i], items[i]);
        }
    });
    if (packed) {
        *pcReturned = static_cast<DWORD>(items.size());
    }
    return packed;
}

// One path string, as the directory calls answer.
bool PackPath(const std::string& path, LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded) {
    if (pcbNeeded == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER);
    }
    return PackAnswer(buffer, cbBuf, pcbNeeded, [&](Packer& packer) { packer.Text(path); });
}

// The drivers of one environment (or of all, for "all").
std::vector<Driver> DriversOf(const Machine& machine, const char* environment, bool& known) {
    known = true;
    if (environment != nullptr && SameName(environment, "all")) {
        return machine.drivers;
    }
    const Environment* resolved = ResolveEnvironment(machine, environment);
    if (resolved == nullptr) {
        known = false;
        return {};
    }
    std::vector<Driver> drivers;
    for (const Driver& driver : machine.drivers) {
        if (SameName(driver.environment, resolved->name)) {
            drivers.push_back(driver);
        }
    }
    return drivers;
}

bool PackDrivers(DWORD level, const std::vector<Driver>& drivers, LPBYTE buffer, DWORD cbBuf,
                 LPDWORD pcbNeeded, LPDWORD pcReturned) {
    switch (level) {
        case 2:
            return PackList<DRIVER_INFO_2A>(drivers, buffer, cbBuf, pcbNeeded, pcReturned);
        case 3:
            return PackList<DRIVER_INFO_3A>(drivers, buffer, cbBuf, pcbNeeded, pcReturned);
        case 6:
            return PackList<DRIVER_INFO_6A>(drivers, buffer, cbBuf, pcbNeeded, pcReturned);
        default:
            return Fail(ERROR_INVALID_LEVEL);
    }
}

DWORD CheckForm(const FORM_INFO_1A& form) {
    if (form.pName == nullptr || *form.pName == '\0' || std::strlen(form.pName) > kMaxFormName) {
        return ERROR_INVALID_FORM_NAME;
    }
    const RECTL& area = form.ImageableArea;
    if (form.Size.cx <= 0 || form.Size.cy <= 0 || area.left < 0 || area.top < 0 ||
        area.right > form.Size.cx || area.bottom > form.Size.cy || area.left > area.right ||
        area.top > area.bottom) {
        return ERROR_INVALID_FORM_SIZE;
    }
    return ERROR_SUCCESS;
}

// Forms belong to the print server; a printer handle and a server handle both reach them.
const PrinterHandleEntry* FormHandle(State& state, HANDLE handle) {
    return FindPrinterHandle(state, handle);
}

std::vector<Arg> FormRecord(DWORD level, LPBYTE pForm) {
    if (level != 1 || pForm == nullptr) {
        return {};
    }
    const auto* form = reinterpret_cast<const FORM_INFO_1A*>(pForm);
    return {form->Flags,
            Text(form->pName),
            form->Size.cx,
            form->Size.cy,
            form->ImageableArea.left,
            form->ImageableArea.top,
            form->ImageableArea.right,
            form->ImageableArea.bottom};
}

}  // namespace
}  // namespace sim::detail

using sim::Driver;
using sim::Form;
using sim::Machine;
using sim::Monitor;
using sim::Port;
using sim::PrintProcessor;
using sim::detail::Ptr;
using sim::detail::Run;
using sim::detail::State;
using sim::detail::Text;

// ---- Ports and monitors ----

BOOL EnumPortsA(LPSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run("EnumPortsA", FALSE,
               {Text(pName), Level, Ptr(pPort), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)},
               [&](State& state) -> BOOL {
                   if (!LocalServer(state.machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   const auto& ports = state.machine.ports;
                   if (Level == 1) {
                       return PackList<PORT_INFO_1A>(ports, pPort, cbBuf, pcbNeeded, pcReturned);
                   }
                   if (Level == 2) {
                       return PackList<PORT_INFO_2A>(ports, pPort, cbBuf, pcbNeeded, pcReturned);
                   }
                   return Fail(ERROR_INVALID_LEVEL);
               });
}

// The monitor's dialog is scripted: the port name the user types, or a cancel.
BOOL AddPortA(LPSTR pName, HWND hWnd, LPSTR pMonitorName) {
    using namespace sim::detail;
    return Run(
        "AddPortA", FALSE, {Text(pName), Ptr(hWnd), Text(pMonitorName)}, [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (const DWORD error = CheckRights(machine, false)) {
                return Fail(error);
            }
            if (pMonitorName == nullptr || FindNamed(machine.monitors, pMonitorName) == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            const std::string typed = machine.dialogs.addPortName;
            if (typed.empty()) {
                return Fail(ERROR_CANCELLED);
            }
            if (FindNamed(machine.ports, typed) != nullptr) {
                return Fail(kErrorAlreadyExists);
            }
            const Monitor* monitor = FindNamed(machine.monitors, pMonitorName);
            machine.ports.push_back(
                Port{typed, monitor->name, monitor->name, PORT_TYPE_WRITE | PORT_TYPE_READ});
            return TRUE;
        });
}

BOOL DeletePortA(LPSTR pName, HWND hWnd, LPSTR pPortName) {
    using namespace sim::detail;
    return Run("DeletePortA", FALSE, {Text(pName), Ptr(hWnd), Text(pPortName)},
               [&](State& state) -> BOOL {
                   Machine& machine = state.machine;
                   if (!LocalServer(machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   if (const DWORD error = CheckRights(machine, false)) {
                       return Fail(error);
                   }
                   if (pPortName == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   if (FindNamed(machine.ports, pPortName) == nullptr) {
                       return Fail(ERROR_UNKNOWN_PORT);
                   }
                   if (PortInUse(machine, pPortName)) {
                       return Fail(ERROR_BUSY);
                   }
                   std::erase_if(machine.ports,
                                 [&](const Port& port) { return SameName(port.name, pPortName); });
                   return TRUE;
               });
}

BOOL ConfigurePortA(LPSTR pName, HWND hWnd, LPSTR pPortName) {
    using namespace sim::detail;
    return Run("ConfigurePortA", FALSE, {Text(pName), Ptr(hWnd), Text(pPortName)},
               [&](State& state) -> BOOL {
                   Machine& machine = state.machine;
                   if (!LocalServer(machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   if (pPortName == nullptr || FindNamed(machine.ports, pPortName) == nullptr) {
                       return Fail(ERROR_UNKNOWN_PORT);
                   }
                   if (const DWORD error = CheckRights(machine, false)) {
                       return Fail(error);
                   }
                   if (!machine.dialogs.configurePortOk) {
                       return Fail(ERROR_CANCELLED);
                   }
                   return TRUE;
               });
}

BOOL EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                   LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run(
        "EnumMonitorsA", FALSE,
        {Text(pName), Level, Ptr(pMonitor), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)},
        [&](State& state) -> BOOL {
            if (!LocalServer(state.machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            const auto& monitors = state.machine.monitors;
            if (Level == 1) {
                return PackList<MONITOR_INFO_1A>(monitors, pMonitor, cbBuf, pcbNeeded, pcReturned);
            }
            if (Level == 2) {
                return PackList<MONITOR_INFO_2A>(monitors, pMonitor, cbBuf, pcbNeeded, pcReturned);
            }
            return Fail(ERROR_INVALID_LEVEL);
        });
}

BOOL AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitors) {
    using namespace sim::detail;
    const auto* info = Level == 2 ? reinterpret_cast<const MONITOR_INFO_2A*>(pMonitors) : nullptr;
    auto record = [&] {
        return info != nullptr ? std::vector<Arg>{Text(info->pName), Text(info->pEnvironment),
                                                  Text(info->pDLLName)}
                               : std::vector<Arg>{};
    };
    return Run(
        "AddMonitorA", FALSE, {Text(pName), Level, Ptr(pMonitors)}, record,
        [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (Level != 2) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            if (info == nullptr || info->pName == nullptr || info->pDLLName == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            if (const DWORD error = CheckRights(machine, true)) {
                return Fail(error);
            }
            const Environment* environment = ResolveEnvironment(machine, info->pEnvironment);
            if (environment == nullptr || !SameName(environment->name, machine.environment)) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (FindNamed(machine.monitors, info->pName) != nullptr) {
                return Fail(ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
            }
            if (!HasFile(machine, std::string("C:\\Windows\\system32\\") +
                                      std::string(BaseName(info->pDLLName)))) {
                return Fail(ERROR_MOD_NOT_FOUND);
            }
            machine.monitors.push_back(
                Monitor{info->pName, environment->name, std::string(BaseName(info->pDLLName))});
            return TRUE;
        });
}

BOOL DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName) {
    using namespace sim::detail;
    return Run(
        "DeleteMonitorA", FALSE, {Text(pName), Text(pEnvironment), Text(pMonitorName)},
        [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (const DWORD error = CheckRights(machine, true)) {
                return Fail(error);
            }
            if (ResolveEnvironment(machine, pEnvironment) == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (pMonitorName == nullptr || FindNamed(machine.monitors, pMonitorName) == nullptr) {
                return Fail(ERROR_UNKNOWN_PRINT_MONITOR);
            }
            if (std::any_of(machine.ports.begin(), machine.ports.end(),
                            [&](const Port& p) { return SameName(p.monitor, pMonitorName); })) {
                return Fail(ERROR_PRINT_MONITOR_IN_USE);
            }
            std::erase_if(machine.monitors, [&](const Monitor& monitor) {
                return SameName(monitor.name, pMonitorName);
            });
            return TRUE;
        });
}

// ---- Print processors ----

BOOL EnumPrintProcessorsA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                          DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run("EnumPrintProcessorsA", FALSE,
               {Text(pName), Text(pEnvironment), Level, Ptr(pPrintProcessorInfo), cbBuf,
                Ptr(pcbNeeded), Ptr(pcReturned)},
               [&](State& state) -> BOOL {
                   const Machine& machine = state.machine;
                   if (!LocalServer(machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   const Environment* environment = ResolveEnvironment(machine, pEnvironment);
                   if (environment == nullptr) {
                       return Fail(ERROR_INVALID_ENVIRONMENT);
                   }
                   if (Level != 1) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   std::vector<PrintProcessor> processors;
                   for (const PrintProcessor& processor : machine.processors) {
                       if (SameName(processor.environment, environment->name)) {
                           processors.push_back(processor);
                       }
                   }
                   return PackList<PRINTPROCESSOR_INFO_1A>(processors, pPrintProcessorInfo, cbBuf,
                                                           pcbNeeded, pcReturned);
               });
}

BOOL GetPrintProcessorDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                 LPBYTE pPrintProcessorInfo, DWORD cbBuf, LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run(
        "GetPrintProcessorDirectoryA", FALSE,
        {Text(pName), Text(pEnvironment), Level, Ptr(pPrintProcessorInfo), cbBuf, Ptr(pcbNeeded)},
        [&](State& state) -> BOOL {
            if (!LocalServer(state.machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            const Environment* environment = ResolveEnvironment(state.machine, pEnvironment);
            if (environment == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (Level != 1) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            return PackPath(ProcessorDirectory(*environment), pPrintProcessorInfo, cbBuf,
                            pcbNeeded);
        });
}

BOOL AddPrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPathName,
                        LPSTR pPrintProcessorName) {
    using namespace sim::detail;
    return Run(
        "AddPrintProcessorA", FALSE,
        {Text(pName), Text(pEnvironment), Text(pPathName), Text(pPrintProcessorName)},
        [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (const DWORD error = CheckRights(machine, true)) {
                return Fail(error);
            }
            const Environment* environment = ResolveEnvironment(machine, pEnvironment);
            if (environment == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (pPathName == nullptr || pPrintProcessorName == nullptr ||
                *pPrintProcessorName == '\0') {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            if (FindProcessor(machine, pPrintProcessorName) != nullptr) {
                return Fail(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
            }
            // The file must already be in the print-processor directory.
            if (FindFile(machine, pPathName, ProcessorDirectory(*environment)).empty()) {
                return Fail(ERROR_FILE_NOT_FOUND);
            }
            machine.processors.push_back(PrintProcessor{
                pPrintProcessorName, environment->name, std::string(BaseName(pPathName)), {"RAW"}});
            return TRUE;
        });
}

BOOL DeletePrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPrintProcessorName) {
    using namespace sim::detail;
    return Run("DeletePrintProcessorA", FALSE,
               {Text(pName), Text(pEnvironment), Text(pPrintProcessorName)},
               [&](State& state) -> BOOL {
                   Machine& machine = state.machine;
                   if (!LocalServer(machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   if (const DWORD error = CheckRights(machine, true)) {
                       return Fail(error);
                   }
                   if (ResolveEnvironment(machine, pEnvironment) == nullptr) {
                       return Fail(ERROR_INVALID_ENVIRONMENT);
                   }
                   if (pPrintProcessorName == nullptr ||
                       FindProcessor(machine, pPrintProcessorName) == nullptr) {
                       return Fail(ERROR_UNKNOWN_PRINTPROCESSOR);
                   }
                   std::erase_if(machine.processors, [&](const PrintProcessor& processor) {
                       return SameName(processor.name, pPrintProcessorName);
                   });
                   return TRUE;
               });
}

BOOL EnumPrintProcessorDatatypesA(LPSTR pName, LPSTR pPrintProcessorName, DWORD Level,
                                  LPBYTE pDatatypes, DWORD cbBuf, LPDWORD pcbNeeded,
                                  LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run("EnumPrintProcessorDatatypesA", FALSE,
               {Text(pName), Text(pPrintProcessorName), Level, Ptr(pDatatypes), cbBuf,
                Ptr(pcbNeeded), Ptr(pcReturned)},
               [&](State& state) -> BOOL {
                   if (!LocalServer(state.machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   const PrintProcessor* processor =
                       pPrintProcessorName != nullptr
                           ? FindProcessor(state.machine, pPrintProcessorName)
                           : nullptr;
                   if (processor == nullptr) {
                       return Fail(ERROR_UNKNOWN_PRINTPROCESSOR);
                   }
                   if (Level != 1) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   return PackList<DATATYPES_INFO_1A>(processor->datatypes, pDatatypes, cbBuf,
                                                      pcbNeeded, pcReturned);
               });
}

// ---- Drivers ----

BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                         DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run("EnumPrinterDriversA", FALSE,
               {Text(pName), Text(pEnvironment), Level, Ptr(pDriverInfo), cbBuf, Ptr(pcbNeeded),
                Ptr(pcReturned)},
               [&](State& state) -> BOOL {
                   if (!LocalServer(state.machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   bool known = false;
                   const std::vector<Driver> drivers =
                       DriversOf(state.machine, pEnvironment, known);
                   if (!known) {
                       return Fail(ERROR_INVALID_ENVIRONMENT);
                   }
                   return PackDrivers(Level, drivers, pDriverInfo, cbBuf, pcbNeeded, pcReturned);
               });
}

BOOL GetPrinterDriverDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                LPBYTE pDriverDirectory, DWORD cbBuf, LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run(
        "GetPrinterDriverDirectoryA", FALSE,
        {Text(pName), Text(pEnvironment), Level, Ptr(pDriverDirectory), cbBuf, Ptr(pcbNeeded)},
        [&](State& state) -> BOOL {
            if (!LocalServer(state.machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            const Environment* environment = ResolveEnvironment(state.machine, pEnvironment);
            if (environment == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (Level != 1) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            return PackPath(DriverDirectory(*environment), pDriverDirectory, cbBuf, pcbNeeded);
        });
}

BOOL GetPrinterDriverA(HANDLE hPrinter, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                       DWORD cbBuf, LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run("GetPrinterDriverA", FALSE,
               {Ptr(hPrinter), Text(pEnvironment), Level, Ptr(pDriverInfo), cbBuf, Ptr(pcbNeeded)},
               [&](State& state) -> BOOL {
                   const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
                   const sim::Printer* printer = entry != nullptr && !entry->server
                                                     ? FindPrinter(state.machine, entry->printer)
                                                     : nullptr;
                   if (printer == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   bool known = false;
                   std::vector<Driver> drivers = DriversOf(state.machine, pEnvironment, known);
                   if (!known) {
                       return Fail(ERROR_INVALID_ENVIRONMENT);
                   }
                   std::erase_if(drivers, [&](const Driver& driver) {
                       return !SameName(driver.name, printer->driverName);
                   });
                   if (drivers.empty()) {
                       return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
                   }
                   drivers.resize(1);
                   DWORD returned = 0;
                   return PackDrivers(Level, drivers, pDriverInfo, cbBuf, pcbNeeded, &returned);
               });
}

BOOL AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo) {
    using namespace sim::detail;
    const auto* info = Level == 2 ? reinterpret_cast<const DRIVER_INFO_2A*>(pDriverInfo) : nullptr;
    auto record = [&] {
        return info != nullptr ? std::vector<Arg>{info->cVersion,           Text(info->pName),
                                                  Text(info->pEnvironment), Text(info->pDriverPath),
                                                  Text(info->pDataFile),    Text(info->pConfigFile)}
                               : std::vector<Arg>{};
    };
    return Run(
        "AddPrinterDriverA", FALSE, {Text(pName), Level, Ptr(pDriverInfo)}, record,
        [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (Level != 2) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            if (info == nullptr || info->pName == nullptr || *info->pName == '\0' ||
                info->pDriverPath == nullptr || info->pDataFile == nullptr ||
                info->pConfigFile == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            if (const DWORD error = CheckRights(machine, true)) {
                return Fail(error);
            }
            const Environment* environment = ResolveEnvironment(machine, info->pEnvironment);
            if (environment == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            if (info->cVersion >= 4) {
                return Fail(ERROR_PRINTER_DRIVER_BLOCKED);
            }
            const std::string directory = DriverDirectory(*environment);
            Driver driver;
            driver.version = info->cVersion;
            driver.name = info->pName;
            driver.environment = environment->name;
            driver.driverPath = FindFile(machine, info->pDriverPath, directory);
            driver.dataFile = FindFile(machine, info->pDataFile, directory);
            driver.configFile = FindFile(machine, info->pConfigFile, directory);
            if (driver.driverPath.empty() || driver.dataFile.empty() || driver.configFile.empty()) {
                return Fail(ERROR_FILE_NOT_FOUND);
            }
            // Adding a driver that exists replaces it.
            std::erase_if(machine.drivers, [&](const Driver& other) {
                return SameName(other.name, driver.name) &&
                       SameName(other.environment, driver.environment);
            });
            machine.drivers.push_back(std::move(driver));
            return TRUE;
        });
}

BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
    using namespace sim::detail;
    return Run("DeletePrinterDriverA", FALSE, {Text(pName), Text(pEnvironment), Text(pDriverName)},
               [&](State& state) -> BOOL {
                   Machine& machine = state.machine;
                   if (!LocalServer(machine, pName)) {
                       return Fail(ERROR_INVALID_NAME);
                   }
                   if (const DWORD error = CheckRights(machine, true)) {
                       return Fail(error);
                   }
                   const Environment* environment = ResolveEnvironment(machine, pEnvironment);
                   if (environment == nullptr) {
                       return Fail(ERROR_INVALID_ENVIRONMENT);
                   }
                   auto matches = [&](const Driver& driver) {
                       return pDriverName != nullptr && SameName(driver.name, pDriverName) &&
                              SameName(driver.environment, environment->name);
                   };
                   if (std::none_of(machine.drivers.begin(), machine.drivers.end(), matches)) {
                       return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
                   }
                   if (DriverInUse(machine, pDriverName)) {
                       return Fail(ERROR_PRINTER_DRIVER_IN_USE);
                   }
                   // Only the name goes; the files stay.
                   std::erase_if(machine.drivers, matches);
                   return TRUE;
               });
}

BOOL DeletePrinterDriverExA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName, DWORD dwDeleteFlag,
                            DWORD dwVersionFlag) {
    using namespace sim::detail;
    return Run(
        "DeletePrinterDriverExA", FALSE,
        {Text(pName), Text(pEnvironment), Text(pDriverName), dwDeleteFlag, dwVersionFlag},
        [&](State& state) -> BOOL {
            Machine& machine = state.machine;
            if (!LocalServer(machine, pName)) {
                return Fail(ERROR_INVALID_NAME);
            }
            if (const DWORD error = CheckRights(machine, false)) {
                return Fail(error);
            }
            const Environment* environment = ResolveEnvironment(machine, pEnvironment);
            if (environment == nullptr) {
                return Fail(ERROR_INVALID_ENVIRONMENT);
            }
            const bool specificVersion = (dwDeleteFlag & DPD_DELETE_SPECIFIC_VERSION) != 0;
            auto matches = [&](const Driver& driver) {
                return pDriverName != nullptr && SameName(driver.name, pDriverName) &&
                       SameName(driver.environment, environment->name) &&
                       (!specificVersion || driver.version == dwVersionFlag);
            };
            if (std::none_of(machine.drivers.begin(), machine.drivers.end(), matches)) {
                return Fail(ERROR_UNKNOWN_PRINTER_DRIVER);
            }
            if (DriverInUse(machine, pDriverName)) {
                return Fail(ERROR_PRINTER_DRIVER_IN_USE);
            }
            std::vector<std::string> files;
            for (const Driver& driver : machine.drivers) {
                if (matches(driver)) {
                    for (const std::string& file : FilesOf(driver)) {
                        files.push_back(file);
                    }
                }
            }
            auto sharedByOthers = [&](const std::string& file) {
                return std::any_of(
                    machine.drivers.begin(), machine.drivers.end(), [&](const Driver& other) {
                        if (matches(other)) {
                            return false;
                        }
                        const auto others = FilesOf(other);
                        return std::any_of(others.begin(), others.end(),
                                           [&](const std::string& f) { return SameName(f, file); });
                    });
            };
            const bool allFiles = (dwDeleteFlag & DPD_DELETE_ALL_FILES) != 0;
            if (allFiles && std::any_of(files.begin(), files.end(), sharedByOthers)) {
                return Fail(ERROR_PRINTER_DRIVER_IN_USE);
            }
            std::erase_if(machine.drivers, matches);
            if (allFiles || (dwDeleteFlag & DPD_DELETE_UNUSED_FILES) != 0) {
                std::erase_if(machine.files, [&](const std::string& present) {
                    return std::any_of(
                               files.begin(), files.end(),
                               [&](const std::string& f) { return SameName(f, present); }) &&
                           !sharedByOthers(present);
                });
            }
            return TRUE;
        });
}

// ---- Forms ----

BOOL EnumFormsA(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run("EnumFormsA", FALSE,
               {Ptr(hPrinter), Level, Ptr(pForm), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)},
               [&](State& state) -> BOOL {
                   if (FormHandle(state, hPrinter) == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (Level != 1) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   return PackList<FORM_INFO_1A>(state.machine.forms, pForm, cbBuf, pcbNeeded,
                                                 pcReturned);
               });
}

BOOL GetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
              LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run("GetFormA", FALSE,
               {Ptr(hPrinter), Text(pFormName), Level, Ptr(pForm), cbBuf, Ptr(pcbNeeded)},
               [&](State& state) -> BOOL {
                   if (FormHandle(state, hPrinter) == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   const Form* form =
                       pFormName != nullptr ? FindNamed(state.machine.forms, pFormName) : nullptr;
                   if (form == nullptr) {
                       return Fail(ERROR_INVALID_FORM_NAME);
                   }
                   if (Level != 1) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   DWORD returned = 0;
                   return PackList<FORM_INFO_1A>(std::vector<Form>{*form}, pForm, cbBuf, pcbNeeded,
                                                 &returned);
               });
}

BOOL AddFormA(HANDLE hPrinter, DWORD Level, LPBYTE pForm) {
    using namespace sim::detail;
    return Run(
        "AddFormA", FALSE, {Ptr(hPrinter), Level, Ptr(pForm)},
        [&] { return FormRecord(Level, pForm); },
        [&](State& state) -> BOOL {
            if (FormHandle(state, hPrinter) == nullptr) {
                return Fail(ERROR_INVALID_HANDLE);
            }
            if (Level != 1) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            if (pForm == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            if (const DWORD error = CheckRights(state.machine, false)) {
                return Fail(error);
            }
            FORM_INFO_1A info;
            std::memcpy(&info, pForm, sizeof(info));
            if (const DWORD error = CheckForm(info)) {
                return Fail(error);
            }
            if (FindNamed(state.machine.forms, info.pName) != nullptr) {
                return Fail(ERROR_FILE_EXISTS);
            }
            state.machine.forms.push_back(
                Form{info.pName, FORM_USER, info.Size, info.ImageableArea});
            return TRUE;
        });
}

BOOL SetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm) {
    using namespace sim::detail;
    return Run(
        "SetFormA", FALSE, {Ptr(hPrinter), Text(pFormName), Level, Ptr(pForm)},
        [&] { return FormRecord(Level, pForm); },
        [&](State& state) -> BOOL {
            const PrinterHandleEntry* entry = FormHandle(state, hPrinter);
            if (entry == nullptr) {
                return Fail(ERROR_INVALID_HANDLE);
            }
            if (Level != 1) {
                return Fail(ERROR_INVALID_LEVEL);
            }
            if (pForm == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            Machine& machine = state.machine;
            Form* form = pFormName != nullptr ? FindNamed(machine.forms, pFormName) : nullptr;
            if (form == nullptr) {
                return Fail(ERROR_INVALID_FORM_NAME);
            }
            if ((entry->access & (PRINTER_ACCESS_ADMINISTER | SERVER_ACCESS_ADMINISTER)) == 0) {
                return Fail(ERROR_ACCESS_DENIED);
            }
            FORM_INFO_1A info;
            std::memcpy(&info, pForm, sizeof(info));
            if (const DWORD error = CheckForm(info)) {
                return Fail(error);
            }
            const Form* named = FindNamed(machine.forms, info.pName);
            if (named != nullptr && named != form) {
                return Fail(ERROR_FILE_EXISTS);
            }
            form->name = info.pName;
            form->size = info.Size;
            form->imageableArea = info.ImageableArea;
            return TRUE;
        });
}

BOOL DeleteFormA(HANDLE hPrinter, LPSTR pFormName) {
    using namespace sim::detail;
    return Run("DeleteFormA", FALSE, {Ptr(hPrinter), Text(pFormName)}, [&](State& state) -> BOOL {
        if (FormHandle(state, hPrinter) == nullptr) {
            return Fail(ERROR_INVALID_HANDLE);
        }
        Machine& machine = state.machine;
        const Form* form = pFormName != nullptr ? FindNamed(machine.forms, pFormName) : nullptr;
        if (form == nullptr) {
            return Fail(ERROR_INVALID_FORM_NAME);
        }
        // Only forms that were added can be deleted.
        if (form->flags == FORM_BUILTIN) {
            return Fail(ERROR_INVALID_PARAMETER);
        }
        if (const DWORD error = CheckRights(machine, false)) {
            return Fail(error);
        }
        std::erase_if(machine.forms, [&](const Form& f) { return SameName(f.name, pFormName); });
        return TRUE;
    });
}

// ---- File titles ----

// The name after the last '\\', '/' or ':'; -1 for names that are not files (empty, wildcards or
// brackets, a trailing separator, a drive colon out of place).
short GetFileTitleA(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize) {
    using namespace sim::detail;
    return Run("GetFileTitleA", short{-1}, {Text(lpszFile), Ptr(lpszTitle), cchSize},
               [&](State&) -> short {
                   if (lpszFile == nullptr || *lpszFile == '\0' ||
                       std::strpbrk(lpszFile, "*[]") != nullptr) {
                       return -1;
                   }
                   const std::string_view file = lpszFile;
                   const char last = file.back();
                   if (last == ':' || last == '/' || last == '\\') {
                       return -1;
                   }
                   const std::size_t colon = file.find(':');
                   if (colon != std::string_view::npos &&
                       (colon != 1 || file.find(':', colon + 1) != std::string_view::npos)) {
                       return -1;
                   }
                   const std::size_t start = file.find_last_of("\\/:");
                   const std::string_view title =
                       start == std::string_view::npos ? file : file.substr(start + 1);
                   if (title.size() + 1 > 0x7FFF) {
                       return -1;
                   }
                   const auto needed = static_cast<short>(title.size() + 1);
                   if (lpszTitle == nullptr || cchSize < title.size() + 1) {
                       return needed;
                   }
                   std::memcpy(lpszTitle, title.data(), title.size());
                   lpszTitle[title.size()] = '\0';
                   return 0;
               });
}
