// PrinterManager's ports and port monitors of the local machine: listing, adding, deleting and
// configuring ports, listing, adding and deleting monitors. The monitor may show its own dialog,
// owned by the foreground window.
#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::CopyText;
using printing::EnumerateTwoPass;
using printing::TextArg;

namespace {

constexpr const char* kDefaultPortMonitor = "Local Port";

}  // namespace

int PrinterManager::ListPorts(TextList& portNames, TextList& portDescriptions) const {
    portNames.clear();
    portDescriptions.clear();
    return EnumerateTwoPass<PORT_INFO_2A>(
        [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumPortsA(nullptr, 2, buffer, size, needed, returned);
        },
        [&](const PORT_INFO_2A& port) {
            portNames.push_back(CopyText(port.pPortName));
            portDescriptions.push_back(CopyText(port.pDescription));
        });
}

int PrinterManager::ListPorts(TextList& portNames) const {
    TextList descriptions;
    return ListPorts(portNames, descriptions);
}

bool PrinterManager::AddPort(const Name& monitorName) const {
    const std::string monitor = monitorName.value_or(kDefaultPortMonitor);
    return ::AddPortA(nullptr, ::GetForegroundWindow(), TextArg(monitor)) != 0;
}

bool PrinterManager::DeletePort(const std::string& portName) const {
    return ::DeletePortA(nullptr, ::GetForegroundWindow(), TextArg(portName)) != 0;
}

int PrinterManager::ListMonitors(TextList& monitorNames, TextList& monitorEnvironments,
                                 TextList& monitorDllNames) const {
    monitorNames.clear();
    monitorEnvironments.clear();
    monitorDllNames.clear();
    return EnumerateTwoPass<MONITOR_INFO_2A>(
        [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumMonitorsA(nullptr, 2, buffer, size, needed, returned);
        },
        [&](const MONITOR_INFO_2A& monitor) {
            monitorNames.push_back(CopyText(monitor.pName));
            monitorEnvironments.push_back(CopyText(monitor.pEnvironment));
            monitorDllNames.push_back(CopyText(monitor.pDLLName));
        });
}

int PrinterManager::ListMonitors(TextList& monitorNames, TextList& monitorEnvironments) const {
    TextList dllNames;
    return ListMonitors(monitorNames, monitorEnvironments, dllNames);
}

int PrinterManager::ListMonitors(TextList& monitorNames) const {
    TextList environments;
    TextList dllNames;
    return ListMonitors(monitorNames, environments, dllNames);
}

bool PrinterManager::AddMonitor(const std::string& monitorName, const std::string& environment,
                                const std::string& dllName) const {
    MONITOR_INFO_2A monitor{TextArg(monitorName), TextArg(environment), TextArg(dllName)};
    return ::AddMonitorA(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor)) != 0;
}

// The spooler takes the environment before the monitor's name.
bool PrinterManager::DeleteMonitor(const std::string& monitorName,
                                   const std::string& environment) const {
    return ::DeleteMonitorA(nullptr, TextArg(environment), TextArg(monitorName)) != 0;
}

bool PrinterManager::ConfigurePort(const std::string& portName) const {
    return ::ConfigurePortA(nullptr, ::GetForegroundWindow(), TextArg(portName)) != 0;
}
