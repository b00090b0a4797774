// tallowind-cli's catalogue verbs: ports, port monitors, print processors and their data types,
// drivers and paper forms of the local machine, listed, added, changed and removed.
#include <charconv>
#include <cmath>
#include <iomanip>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "printing/printer_manager.h"

namespace cli {

namespace {

constexpr const char* kLoadDriverPrivilege = "SeLoadDriverPrivilege";

int Result(bool done, std::ostream& err, const std::string& what) {
    return done ? kExitOk : Failed(err, what);
}

int Ports(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return Usage(err, "ports takes no arguments");
    }
    TextList names, descriptions;
    if (PrinterManager().ListPorts(names, descriptions) < 0) {
        return Failed(err, "the ports cannot be listed");
    }
    Table(out, {"PORT", "DESCRIPTION"}, {&names, &descriptions});
    return kExitOk;
}

int Port(const Args& args, std::ostream& err) {
    const PrinterManager manager;
    if (args.size() >= 2 && args[1] == "add") {
        std::string problem;
        const auto options = ParseOptions(args, 2, {"--monitor"}, {}, problem);
        if (!options) {
            return Usage(err, problem);
        }
        const auto monitor = options->Value("--monitor");
        return Result(monitor ? manager.AddPort(*monitor) : manager.AddPort(), err,
                      "no port was added (cancelled, an unknown monitor, or no rights)");
    }
    if (args.size() != 3) {
        return Usage(err, "port add [--monitor M] | delete PORT | configure PORT");
    }
    if (args[1] == "delete") {
        return Result(manager.DeletePort(args[2]), err,
                      "the port " + args[2] + " cannot be deleted");
    }
    if (args[1] == "configure") {
        return Result(manager.ConfigurePort(args[2]), err,
                      "the port " + args[2] + " was not configured");
    }
    return Usage(err, "unknown port action " + args[1]);
}

int Monitors(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return Usage(err, "monitors takes no arguments");
    }
    TextList names, environments, dlls;
    if (PrinterManager().ListMonitors(names, environments, dlls) < 0) {
        return Failed(err, "the monitors cannot be listed");
    }
    Table(out, {"MONITOR", "ENVIRONMENT", "DLL"}, {&names, &environments, &dlls});
    return kExitOk;
}

int Monitor(const Args& args, std::ostream& err) {
    if (args.size() < 3) {
        return Usage(err, "monitor add NAME --env E --dll D | delete NAME [--env E]");
    }
    std::string problem;
    const auto options = ParseOptions(args, 3, {"--env", "--dll"}, {}, problem);
    if (!options) {
        return Usage(err, problem);
    }
    // Installing code needs the load-driver privilege of an administrator.
    EnablePrivilege(kLoadDriverPrivilege);
    const PrinterManager manager;
    const std::string environment = options->Value("--env").value_or("");
    if (args[1] == "add") {
        const auto dll = options->Value("--dll");
        if (!dll) {
            return Usage(err, "monitor add needs --dll");
        }
        return Result(manager.AddMonitor(args[2], environment, *dll), err,
                      "the monitor " + args[2] + " cannot be added");
    }
    if (args[1] == "delete") {
        return Result(manager.DeleteMonitor(args[2], environment), err,
                      "the monitor " + args[2] + " cannot be deleted");
    }
    return Usage(err, "unknown monitor action " + args[1]);
}

int Processors(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return Usage(err, "processors takes no arguments");
    }
    const PrinterManager manager;
    TextList processors;
    if (manager.ListPrintProcessors(processors) < 0) {
        return Failed(err, "the print processors cannot be listed");
    }
    out << "Directory: " << manager.GetPrintProcessorDirectory() << '\n';
    for (const std::string& processor : processors) {
        out << processor << '\n';
    }
    return kExitOk;
}

int Processor(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 3) {
        return Usage(err, "processor datatypes NAME | add PATH | delete NAME");
    }
    const PrinterManager manager;
    if (args[1] == "datatypes") {
        TextList types;
        if (manager.ListPrintProcessorDataTypes(args[2], types) < 0) {
            return Failed(err, "the data types of " + args[2] + " cannot be listed");
        }
        for (const std::string& type : types) {
            out << type << '\n';
        }
        return kExitOk;
    }
    EnablePrivilege(kLoadDriverPrivilege);
    if (args[1] == "add") {
        return Result(manager.AddPrintProcessor(args[2]), err,
                      "the print processor " + args[2] + " cannot be added");
    }
    if (args[1] == "delete") {
        return Result(manager.DeletePrintProcessor(args[2]), err,
                      "the print processor " + args[2] + " cannot be deleted");
    }
    return Usage(err, "unknown processor action " + args[1]);
}

std::string DateText(const DateTime& date) {
    if (date == DateTime{}) {
        return "";
    }
    std::ostringstream text;
    text << date.year << '-' << std::setw(2) << std::setfill('0') << date.month << '-'
         << std::setw(2) << date.day;
    return text.str();
}

void ShowDriver(std::ostream& out, const DriverDetails& driver) {
    const std::pair<const char*, std::string> rows[] = {
        {"Name", driver.name},
        {"Version", std::to_string(driver.version)},
        {"Environment", driver.environment},
        {"Driver file", driver.driverPath},
        {"Data file", driver.dataFile},
        {"Config file", driver.configFile},
        {"Help file", driver.helpFile},
        {"Dependent files", driver.dependentFiles},
        {"Monitor", driver.monitorName},
        {"Default data type", driver.defaultDataType},
        {"Previous names", driver.previousNames},
        {"Date", DateText(driver.driverDate)},
        {"Driver version", driver.driverVersion},
        {"Manufacturer", driver.manufacturer},
        {"OEM URL", driver.oemUrl},
        {"Hardware ID", driver.hardwareId},
        {"Provider", driver.provider},
    };
    for (const auto& [label, value] : rows) {
        out << std::left << std::setw(19) << (std::string(label) + ":") << value << '\n';
    }
}

int Drivers(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) {
        return Usage(err, "drivers takes no arguments");
    }
    const PrinterManager manager;
    std::vector<DriverDetails> drivers;
    if (manager.ListDrivers(drivers) < 0) {
        return Failed(err, "the drivers cannot be listed");
    }
    out << "Directory: " << manager.GetPrinterDriverDirectory() << '\n';
    TextList names, versions, dates, environments;
    for (const DriverDetails& driver : drivers) {
        names.push_back(driver.name);
        versions.push_back(driver.driverVersion);
        dates.push_back(DateText(driver.driverDate));
        environments.push_back(driver.environment);
    }
    Table(out, {"DRIVER", "VERSION", "DATE", "ENVIRONMENT"},
          {&names, &versions, &dates, &environments});
    return kExitOk;
}

int Driver(const Args& args, std::ostream& out, std::ostream& err) {
    const PrinterManager manager;
    if (args.size() >= 2 && args[1] == "show") {
        if (args.size() > 3) {
            return Usage(err, "driver show [PRINTER]");
        }
        const DriverDetails driver =
            args.size() == 3 ? manager.GetPrinterDriver(args[2]) : manager.GetPrinterDriver();
        if (driver.name.empty()) {
            return Failed(err, "the printer's driver cannot be read");
        }
        ShowDriver(out, driver);
        return kExitOk;
    }
    if (args.size() < 3) {
        return Usage(err,
                     "driver show [PRINTER] | add NAME --path P --data D --config C | "
                     "delete NAME [--all-files]");
    }
    std::string problem;
    if (args[1] == "add") {
        const auto options = ParseOptions(args, 3, {"--path", "--data", "--config"}, {}, problem);
        if (!options) {
            return Usage(err, problem);
        }
        const auto path = options->Value("--path");
        const auto data = options->Value("--data");
        const auto config = options->Value("--config");
        if (!path || !data || !config) {
            return Usage(err, "driver add needs --path, --data and --config");
        }
        return Result(manager.AddPrinterDriver(args[2], *path, *data, *config), err,
                      "the driver " + args[2] + " cannot be added");
    }
    if (args[1] == "delete") {
        const auto options = ParseOptions(args, 3, {}, {"--all-files"}, problem);
        if (!options) {
            return Usage(err, problem);
        }
        const bool deleted = options->Flag("--all-files") ? manager.DeletePrinterDriverEx(args[2])
                                                          : manager.DeletePrinterDriver(args[2]);
        return Result(deleted, err, "the driver " + args[2] + " cannot be deleted");
    }
    return Usage(err, "unknown driver action " + args[1]);
}

std::string Number(float value) {
    std::ostringstream text;
    text << value;
    return text.str();
}

int Forms(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() > 2) {
        return Usage(err, "forms takes at most one printer name");
    }
    const PrinterManager::Name printer =
        args.size() == 2 ? PrinterManager::Name(args[1]) : std::nullopt;
    std::vector<FormDetails> forms;
    if (PrinterManager().ListForms(printer, forms) < 0) {
        return Failed(err, "the forms cannot be listed");
    }
    TextList names, kinds, widths, heights;
    for (const FormDetails& form : forms) {
        names.push_back(form.name);
        kinds.push_back(form.kind);
        widths.push_back(Number(form.width));
        heights.push_back(Number(form.height));
    }
    out << "Sizes in tenths of a millimetre.\n";
    Table(out, {"FORM", "KIND", "WIDTH", "HEIGHT"}, {&names, &kinds, &widths, &heights});
    return kExitOk;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

int Form(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() < 3) {
        return Usage(err, "form show|add|set|delete NAME ...");
    }
    const std::string& action = args[1];
    const std::string& name = args[2];
    std::string problem;
    const auto options = ParseOptions(
        args, 3, {"--printer", "--width", "--height", "--right", "--bottom", "--kind", "--name"},
        {}, problem);
    if (!options) {
        return Usage(err, problem);
    }
    const auto printerOption = options->Value("--printer");
    const PrinterManager::Name printer =
        printerOption ? PrinterManager::Name(*printerOption) : std::nullopt;
    const PrinterManager manager;
    if (action == "show") {
        const FormDetails form = manager.GetForm(printer, name);
        if (form.name.empty()) {
            return Failed(err, "the form " + name + " cannot be read");
        }
        out << "Name:   " << form.name << "\nKind:   " << form.kind << "\nWidth:  " << form.width
            << " cm\nHeight: " << form.height << " cm\nImageable area to: " << form.imageableRight
            << " x " << form.imageableBottom << " cm (whole centimetres, fraction dropped)\n";
        return kExitOk;
    }
    if (action == "delete") {
        return Result(manager.DeleteForm(printer, name), err,
                      "the form " + name + " cannot be deleted");
    }
    if (action == "add") {
        int32_t width = 0;
        int32_t height = 0;
        if (!ParseNumber(options->Value("--width").value_or(""), width) ||
            !ParseNumber(options->Value("--height").value_or(""), height)) {
            return Usage(err, "form add takes --width and --height in whole centimetres");
        }
        return Result(manager.AddForm(printer, name, width, height), err,
                      "the form " + name + " cannot be added");
    }
    if (action == "set") {
        // Starts from the form as listed (tenths of a millimetre) and changes what is given.
        std::vector<FormDetails> forms;
        manager.ListForms(printer, forms);
        FormDetails form;
        for (const FormDetails& candidate : forms) {
            if (candidate.name == name) {
                form = candidate;
            }
        }
        if (form.name.empty()) {
            return Failed(err, "there is no form " + name);
        }
        for (const auto& [option, field] :
             {std::pair{"--width", &form.width}, std::pair{"--height", &form.height},
              std::pair{"--right", &form.imageableRight},
              std::pair{"--bottom", &form.imageableBottom}}) {
            if (const auto value = options->Value(option)) {
                float parsed = 0;
                if (!ParseNumber(*value, parsed)) {
                    return Usage(err, std::string(option) + " takes tenths of a millimetre");
                }
                *field = parsed;
            }
        }
        form.kind = options->Value("--kind").value_or(form.kind);
        form.name = options->Value("--name").value_or(form.name);
        return Result(manager.SetForm(printer, name, form), err,
                      "the form " + name + " cannot be changed");
    }
    return Usage(err, "unknown form action " + action);
}

}  // namespace

int RunCatalogVerb(const Args& args, std::ostream& out, std::ostream& err) {
    const std::string& verb = args[0];
    if (verb == "ports") {
        return Ports(args, out, err);
    }
    if (verb == "port") {
        return Port(args, err);
    }
    if (verb == "monitors") {
        return Monitors(args, out, err);
    }
    if (verb == "monitor") {
        return Monitor(args, err);
    }
    if (verb == "processors") {
        return Processors(args, out, err);
    }
    if (verb == "processor") {
        return Processor(args, out, err);
    }
    if (verb == "drivers") {
        return Drivers(args, out, err);
    }
    if (verb == "driver") {
        return Driver(args, out, err);
    }
    if (verb == "forms") {
        return Forms(args, out, err);
    }
    return Form(args, out, err);
}

}  // namespace cli
