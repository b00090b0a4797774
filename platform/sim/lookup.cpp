// The machine's naming rules; see lookup.h.
#include "platform/sim/lookup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

namespace sim::detail {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view StripBackslashes(std::string_view name) {
    while (!name.empty() && name.front() == '\\') {
        name.remove_prefix(1);
    }
    return name;
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

bool IsConnection(const Printer& printer) {
    return !printer.serverName.empty();
}

bool IsLocalMachine(const Machine& machine, std::string_view name) {
    return !StripBackslashes(name).empty() &&
           SameName(StripBackslashes(name), StripBackslashes(machine.machineName));
}

Printer* FindPrinter(Machine& machine, std::string_view name) {
    if (name.empty()) {
        return nullptr;
    }
    for (Printer& printer : machine.printers) {
        if (SameName(printer.name, name)) {
            return &printer;
        }
    }
    for (Printer& printer : machine.connections) {
        if (SameName(printer.name, name)) {
            return &printer;
        }
    }
    // \\THIS-PC\name is the local printer `name`.
    if (name.starts_with("\\\\")) {
        const std::size_t slash = name.find('\\', 2);
        if (slash != std::string_view::npos && IsLocalMachine(machine, name.substr(0, slash))) {
            const std::string_view local = name.substr(slash + 1);
            for (Printer& printer : machine.printers) {
                if (SameName(printer.name, local)) {
                    return &printer;
                }
            }
        }
    }
    return nullptr;
}

Printer* DefaultPrinter(Machine& machine) {
    return FindPrinter(machine, machine.defaultPrinter);
}

const PrintProcessor* FindProcessor(const Machine& machine, std::string_view name) {
    for (const PrintProcessor& processor : machine.processors) {
        if (SameName(processor.name, name)) {
            return &processor;
        }
    }
    return nullptr;
}

PrinterHandleEntry* FindPrinterHandle(State& state, HANDLE handle) {
    const auto it = state.printerHandles.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == state.printerHandles.end() ? nullptr : &it->second;
}

bool SupportsDatatype(const Machine& machine, const Printer& printer, std::string_view datatype) {
    const PrintProcessor* processor = FindProcessor(machine, printer.printProcessor);
    return processor != nullptr &&
           std::any_of(processor->datatypes.begin(), processor->datatypes.end(),
                       [&](const std::string& known) { return SameName(known, datatype); });
}

// What the current user may open `printer` with. The print right of a standard user carries
// READ_CONTROL with it, as PRINTER_EXECUTE does; an administrator may do anything.
DWORD AllowedPrinterAccess(const Machine& machine, const Printer& printer) {
    if (machine.administrator) {
        return 0xFFFFFFFFu;
    }
    DWORD allowed = printer.standardUserAccess;
    if ((allowed & PRINTER_ACCESS_USE) != 0) {
        allowed |= READ_CONTROL;
    }
    return allowed;
}

DWORD AllowedServerAccess(const Machine& machine) {
    return machine.administrator ? 0xFFFFFFFFu : SERVER_READ;
}

namespace {

// Copies up to size - 1 bytes of `text` and ends them with a NUL, as the fixed DEVMODE names are.
void CopyFixed(BYTE* field, std::size_t size, std::string_view text) {
    const std::size_t count = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), count);
    field[count] = 0;
}

}  // namespace

void FillDevMode(DEVMODEA& devMode, const DevMode& settings, std::string_view deviceName) {
    CopyFixed(devMode.dmDeviceName, sizeof(devMode.dmDeviceName), deviceName);
    devMode.dmSpecVersion = DM_SPECVERSION;
    devMode.dmSize = static_cast<WORD>(sizeof(DEVMODEA));
    devMode.dmDriverExtra = 0;
    devMode.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_FORMNAME;
    devMode.dmOrientation = settings.orientation;
    devMode.dmPaperSize = settings.paperSize;
    devMode.dmCopies = settings.copies;
    CopyFixed(devMode.dmFormName, sizeof(devMode.dmFormName), settings.formName);
}

}  // namespace sim::detail
