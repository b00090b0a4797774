// The machine's naming rules; see lookup.h.
#include "platform/sim/lookup.h"

#include <algorithm>

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

}  // namespace sim::detail
