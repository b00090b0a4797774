// tallowind-cli's printer verbs over PrinterManager: the printer list with the default marked, one
// printer's settings with its attribute and status bits in words, changes, control, add and
// delete, connections and the default printer.
#include <cstdint>
#include <iomanip>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "printing/printer_manager.h"

namespace cli {

namespace {

// PRINTER_ATTRIBUTE_* bits, in value order.
constexpr Bit kAttributeBits[] = {
    {0x1, "queued"},
    {0x2, "direct"},
    {0x4, "default"},
    {0x8, "shared"},
    {0x10, "network"},
    {0x20, "hidden"},
    {0x40, "local"},
    {0x80, "enable-devq"},
    {0x100, "keep-printed-jobs"},
    {0x200, "do-complete-first"},
    {0x400, "work-offline"},
    {0x800, "enable-bidi"},
    {0x1000, "raw-only"},
    {0x2000, "published"},
    {0x4000, "fax"},
    {0x8000, "ts"},
    {0x20000, "pushed-user"},
    {0x40000, "pushed-machine"},
    {0x80000, "machine"},
    {0x100000, "friendly-name"},
    {0x200000, "ts-generic-driver"},
};

// PRINTER_STATUS_* bits, in value order.
constexpr Bit kStatusBits[] = {
    {0x1, "paused"},
    {0x2, "error"},
    {0x4, "pending-deletion"},
    {0x8, "paper-jam"},
    {0x10, "paper-out"},
    {0x20, "manual-feed"},
    {0x40, "paper-problem"},
    {0x80, "offline"},
    {0x100, "io-active"},
    {0x200, "busy"},
    {0x400, "printing"},
    {0x800, "output-bin-full"},
    {0x1000, "not-available"},
    {0x2000, "waiting"},
    {0x4000, "processing"},
    {0x8000, "initializing"},
    {0x10000, "warming-up"},
    {0x20000, "toner-low"},
    {0x40000, "no-toner"},
    {0x80000, "page-punt"},
    {0x100000, "user-intervention"},
    {0x200000, "out-of-memory"},
    {0x400000, "door-open"},
    {0x800000, "server-unknown"},
    {0x1000000, "power-save"},
    {0x2000000, "server-offline"},
    {0x4000000, "driver-update-needed"},
};

int Printers(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return Usage(err, "printers takes no arguments");
    }
    const PrinterManager manager;
    TextList names;
    TextList descriptions;
    if (manager.ListPrinters(names, descriptions) < 0) {
        return Failed(err, "the printers cannot be listed");
    }
    const std::string defaultPrinter = manager.GetDefaultPrinter();
    for (const std::string& name : names) {
        out << (name == defaultPrinter ? "* " : "  ") << name << '\n';
    }
    return kExitOk;
}

int Show(const std::string& name, std::ostream& out, std::ostream& err) {
    const PrinterManager manager;
    const PrinterDetails details = manager.GetPrinterDetails(name);
    if (details.printerName.empty()) {
        return Failed(err, "the printer " + name + " cannot be read");
    }
    const std::pair<const char*, std::string> rows[] = {
        {"Name", details.printerName},
        {"Share name", details.shareName},
        {"Port", details.portName},
        {"Driver", details.driverName},
        {"Comment", details.comment},
        {"Location", details.location},
        {"Separator file", manager.GetPrinterSeparatorFile(name)},
        {"Print processor", details.printProcessor},
        {"Data type", details.dataType},
        {"Attributes", Decode(details.attributes, kAttributeBits, "none")},
        {"Priority", std::to_string(details.priority)},
        {"Status", Decode(details.status, kStatusBits, "ready")},
        {"Jobs", std::to_string(details.jobCount)},
        {"Pages per minute", std::to_string(details.averagePagesPerMinute)},
        {"Network printer", manager.IsNetworkPrinter(name) ? "yes" : "no"},
        {"Shared", manager.IsPrinterShared(name) ? "yes" : "no"},
        {"Default printer", manager.GetDefaultPrinter() == details.printerName ? "yes" : "no"},
    };
    for (const auto& [label, value] : rows) {
        out << std::left << std::setw(18) << (std::string(label) + ":") << value << '\n';
    }
    return kExitOk;
}

int Set(const Args& args, std::ostream& err) {
    std::string error;
    const auto options = ParseOptions(
        args, 3, {"--comment", "--location", "--port", "--separator", "--share", "--rename"},
        {"--unshare"}, error);
    if (!options) {
        return Usage(err, error);
    }
    if (options->Value("--share") && options->Flag("--unshare")) {
        return Usage(err, "--share and --unshare exclude each other");
    }
    if (options->values.empty() && options->flags.empty()) {
        return Usage(err, "printer set needs at least one change");
    }
    const PrinterManager manager;
    const std::string name = args[2];
    using Change = bool (PrinterManager::*)(const PrinterManager::Name&, const std::string&) const;
    const std::pair<const char*, Change> changes[] = {
        {"--comment", &PrinterManager::SetPrinterComment},
        {"--location", &PrinterManager::SetPrinterLocation},
        {"--port", &PrinterManager::SetPrinterPort},
        {"--separator", &PrinterManager::SetPrinterSeparatorFile},
        {"--share", &PrinterManager::SharePrinter},
    };
    for (const auto& [option, change] : changes) {
        if (const auto value = options->Value(option)) {
            if (!(manager.*change)(name, *value)) {
                return Failed(err, std::string(option + 2) + " of " + name + " cannot be changed");
            }
        }
    }
    if (options->Flag("--unshare") && !manager.UnsharePrinter(name)) {
        return Failed(err, name + " cannot be unshared");
    }
    // Last, so that the other changes still find the printer under its old name.
    if (const auto newName = options->Value("--rename")) {
        if (!manager.RenamePrinter(name, *newName)) {
            return Failed(err, name + " cannot be renamed to " + *newName);
        }
    }
    return kExitOk;
}

int Add(const Args& args, std::ostream& err) {
    std::string error;
    const auto options = ParseOptions(args, 3, {"--port", "--driver", "--processor"}, {}, error);
    if (!options) {
        return Usage(err, error);
    }
    const auto port = options->Value("--port");
    const auto driver = options->Value("--driver");
    if (!port || !driver) {
        return Usage(err, "printer add needs --port and --driver");
    }
    const std::string processor = options->Value("--processor").value_or("winprint");
    if (!PrinterManager().AddPrinter(args[2], *port, *driver, processor)) {
        return Failed(err, "the printer " + args[2] +
                               " cannot be added (administrator rights, a known port, driver and "
                               "processor, and a new name are needed)");
    }
    return kExitOk;
}

int PrinterVerb(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 3) {
        return Usage(err, "printer needs an action and a printer name");
    }
    const std::string& action = args[1];
    const std::string& name = args[2];
    const PrinterManager manager;
    if (action == "set") {
        return Set(args, err);
    }
    if (action == "add") {
        return Add(args, err);
    }
    if (args.size() != 3) {
        return Usage(err, "printer " + action + " takes only the printer's name");
    }
    if (action == "show") {
        return Show(name, out, err);
    }
    using Control = bool (PrinterManager::*)(const PrinterManager::Name&) const;
    const std::map<std::string, Control> controls = {
        {"pause", &PrinterManager::PausePrinter},
        {"resume", &PrinterManager::ResumePrinter},
        {"purge", &PrinterManager::PurgePrinter},
    };
    if (const auto control = controls.find(action); control != controls.end()) {
        if (!(manager.*(control->second))(name)) {
            return Failed(err, "cannot " + action + " " + name + " (administrator rights needed)");
        }
        return kExitOk;
    }
    if (action == "delete") {
        if (!manager.DeletePrinter(name)) {
            return Failed(err, "the printer " + name + " cannot be deleted");
        }
        return kExitOk;
    }
    return Usage(err, "unknown printer action " + action);
}

int ConnectionVerb(const Args& args, std::ostream& err) {
    if (args.size() != 3 || (args[1] != "add" && args[1] != "delete")) {
        return Usage(err, "connection add|delete \\\\SERVER\\PRINTER");
    }
    const PrinterManager manager;
    const bool done = args[1] == "add" ? manager.AddPrinterConnection(args[2])
                                       : manager.DeletePrinterConnection(args[2]);
    if (!done) {
        return Failed(err, "the connection " + args[2] + " cannot be " +
                               (args[1] == "add" ? "added" : "deleted"));
    }
    return kExitOk;
}

int DefaultVerb(const Args& args, std::ostream& out, std::ostream& err) {
    const PrinterManager manager;
    if (args.size() == 1) {
        const std::string name = manager.GetDefaultPrinter();
        out << (name.empty() ? "(no default printer)" : name) << '\n';
        return kExitOk;
    }
    if (args.size() != 2) {
        return Usage(err, "default takes at most one printer name");
    }
    if (!manager.SetDefaultPrinter(args[1])) {
        return Failed(err, args[1] + " cannot be made the default printer");
    }
    return kExitOk;
}

}  // namespace

int RunPrinterVerb(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& verb = args[0];
    if (verb == "printers") {
        return Printers(args, out, err);
    }
    if (verb == "printer") {
        return PrinterVerb(args, out, err);
    }
    if (verb == "connection") {
        return ConnectionVerb(args, err);
    }
    return DefaultVerb(args, out, err);
}

}  // namespace cli
