// The seeded machines: the empty office (ports, monitors, winprint, drivers, built-in forms), the
// default small office built on it, and the builder tests use to make their own.
#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/sim/lookup.h"
#include "platform/sim/sim.h"

namespace sim {
namespace detail {

void NumberJobs(Machine& machine) {
    const auto eachJob = [&](auto&& visit) {
        for (auto* printers : {&machine.printers, &machine.connections, &machine.networkPrinters}) {
            for (Printer& printer : *printers) {
                for (Job& job : printer.jobs) {
                    visit(job);
                }
            }
        }
    };
    // Above every id already given first, so a new id never repeats one further down the queues.
    eachJob([&](const Job& job) { machine.nextJobId = std::max(machine.nextJobId, job.id + 1); });
    eachJob([&](Job& job) {
        if (job.id == 0) {
            job.id = machine.nextJobId++;
        }
    });
}

}  // namespace detail

namespace {

const char* const kEnvironment = "Windows x64";
const char* const kDriverDirectory = "C:\\Windows\\system32\\spool\\DRIVERS\\x64\\3\\";
const char* const kProcessorDirectory = "C:\\Windows\\system32\\spool\\prtprocs\\x64\\";

// 100-ns ticks since 1601-01-01 UTC at midnight of the given day.
FILETIME DateOf(int year, unsigned month, unsigned day) {
    // Days since 1970-01-01 by the civil-calendar rule (March-based years).
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yearOfEra = static_cast<unsigned>(y - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = static_cast<long long>(era) * 146097 + dayOfEra - 719468;
    constexpr long long kSecondsFrom1601To1970 = 11644473600LL;
    const auto ticks =
        static_cast<unsigned long long>((days * 86400 + kSecondsFrom1601To1970) * 10000000LL);
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

// A driver version as its four 16-bit parts, most significant first.
DWORDLONG VersionOf(DWORDLONG major, DWORDLONG minor, DWORDLONG build, DWORDLONG revision) {
    return (major << 48) | (minor << 32) | (build << 16) | revision;
}

Driver MakeDriver(std::string name, DWORD version, std::string file, std::string dataFile,
                  FILETIME date, DWORDLONG driverVersion) {
    Driver driver;
    driver.version = version;
    driver.name = std::move(name);
    driver.environment = kEnvironment;
    driver.driverPath = kDriverDirectory + file;
    driver.dataFile = kDriverDirectory + dataFile;
    driver.configFile = std::string(kDriverDirectory) + "genui.dll";
    driver.helpFile = "";
    driver.dependentFiles = {"genres.dll", "genfont.dat"};
    driver.date = date;
    driver.driverVersion = driverVersion;
    driver.manufacturer = "Generic";
    driver.provider = "Generic";
    return driver;
}

std::vector<Form> BuiltInForms() {
    struct Size {
        const char* name;
        LONG cx;
        LONG cy;
    };
    // Thousandths of a millimetre, width by height, in the spooler's order with Letter first.
    static const Size kSizes[] = {
        {"Letter", 215900, 279400},       {"Letter Small", 215900, 279400},
        {"Tabloid", 279400, 431800},      {"Ledger", 431800, 279400},
        {"Legal", 215900, 355600},        {"Statement", 139700, 215900},
        {"Executive", 184150, 266700},    {"A3", 297000, 420000},
        {"A4", 210000, 297000},           {"A4 Small", 210000, 297000},
        {"A5", 148000, 210000},           {"B4 (JIS)", 257000, 364000},
        {"B5 (JIS)", 182000, 257000},     {"Folio", 215900, 330200},
        {"Quarto", 215000, 275000},       {"10x14", 254000, 355600},
        {"11x17", 279400, 431800},        {"Note", 215900, 279400},
        {"Envelope #9", 98425, 225425},   {"Envelope #10", 104775, 241300},
        {"Envelope #11", 114300, 263525}, {"Envelope #12", 120650, 279400},
        {"Envelope #14", 127000, 292100}, {"C size sheet", 431800, 558800},
        {"D size sheet", 558800, 863600}, {"E size sheet", 863600, 1117600},
        {"Envelope DL", 110000, 220000},  {"Envelope C5", 162000, 229000},
        {"Envelope C3", 324000, 458000},  {"Envelope C4", 229000, 324000},
        {"Envelope C6", 114000, 162000},  {"Envelope C65", 114000, 229000},
        {"Envelope B4", 250000, 353000},  {"Envelope B5", 176000, 250000},
        {"Envelope B6", 176000, 125000},  {"Envelope Monarch", 98425, 190500},
        {"A6", 105000, 148000},           {"PRC 16K", 146000, 215000},
        {"PRC 32K", 97000, 151000},       {"PRC 32K(Big)", 97000, 151000},
    };
    std::vector<Form> forms;
    for (const Size& size : kSizes) {
        Form form;
        form.name = size.name;
        form.flags = FORM_BUILTIN;
        form.size = SIZEL{size.cx, size.cy};
        form.imageableArea = RECTL{0, 0, size.cx, size.cy};
        forms.push_back(std::move(form));
    }
    return forms;
}

std::vector<Port> StandardPorts() {
    std::vector<Port> ports;
    for (const char* name : {"LPT1:", "LPT2:", "LPT3:", "COM1:", "COM2:", "COM3:", "COM4:", "FILE:",
                             "PORTPROMPT:", "nul:"}) {
        ports.push_back({name, "Local Port", "Local Port", PORT_TYPE_WRITE | PORT_TYPE_READ});
    }
    ports.push_back({"SHRFAX:", "Shared Fax Monitor", "Fax port", PORT_TYPE_WRITE});
    ports.push_back(
        {"USB001", "USB Monitor", "USB printer port", PORT_TYPE_WRITE | PORT_TYPE_READ});
    ports.push_back({"192.168.1.20", "Standard TCP/IP Port", "Standard TCP/IP Port",
                     PORT_TYPE_WRITE | PORT_TYPE_NET_ATTACHED});
    return ports;
}

std::vector<Monitor> StandardMonitors() {
    return {
        {"Appmon", kEnvironment, "AppMon.dll"},
        {"Local Port", kEnvironment, "localspl.dll"},
        {"Shared Fax Monitor", kEnvironment, "FXSMON.DLL"},
        {"Standard TCP/IP Port", kEnvironment, "tcpmon.dll"},
        {"USB Monitor", kEnvironment, "usbmon.dll"},
        {"WSD Port", kEnvironment, "WSDMon.dll"},
    };
}

PrintProcessor Winprint() {
    PrintProcessor processor;
    processor.name = "winprint";
    processor.environment = kEnvironment;
    processor.file = "winprint.dll";
    processor.datatypes = {"RAW",          "RAW [FF appended]", "RAW [FF auto]", "NT EMF 1.003",
                           "NT EMF 1.006", "NT EMF 1.007",      "NT EMF 1.008",  "TEXT",
                           "XPS2GDI"};
    return processor;
}

std::vector<Driver> StandardDrivers() {
    std::vector<Driver> drivers;
    drivers.push_back(MakeDriver("Generic Text Driver", 3, "gentext.dll", "gentext.gpd",
                                 DateOf(2006, 6, 21), VersionOf(10, 0, 19041, 1)));
    drivers.push_back(MakeDriver("Generic Laser Class Driver", 3, "genlaser.dll", "genlaser.gpd",
                                 DateOf(2021, 3, 15), VersionOf(10, 0, 19041, 3693)));
    drivers.push_back(MakeDriver("Generic Inkjet Class Driver", 3, "geninkjet.dll", "geninkjet.gpd",
                                 DateOf(2020, 11, 2), VersionOf(6, 3, 9600, 17415)));
    drivers.push_back(MakeDriver("Generic Label Driver", 3, "genlabel.dll", "genlabel.gpd",
                                 DateOf(2019, 5, 8), VersionOf(2, 1, 0, 42)));
    Driver pdf = MakeDriver("Save as PDF Driver", 4, "pdfrender.dll", "pdfrender.gpd",
                            DateOf(2006, 6, 21), VersionOf(10, 0, 19041, 3636));
    pdf.defaultDataType = "XPS2GDI";
    drivers.push_back(std::move(pdf));
    Driver fax = MakeDriver("Shared Fax Driver", 3, "faxdrv.dll", "faxdrv.gpd", DateOf(2006, 6, 21),
                            VersionOf(10, 0, 19041, 1));
    fax.monitorName = "Shared Fax Monitor";
    drivers.push_back(std::move(fax));
    return drivers;
}

std::vector<std::string> PresentFiles(const Machine& machine) {
    std::vector<std::string> files;
    for (const Driver& driver : machine.drivers) {
        for (const std::string* path : {&driver.driverPath, &driver.dataFile, &driver.configFile}) {
            files.push_back(*path);
        }
        for (const std::string& dependent : driver.dependentFiles) {
            files.push_back(kDriverDirectory + dependent);
        }
    }
    for (const PrintProcessor& processor : machine.processors) {
        files.push_back(kProcessorDirectory + processor.file);
    }
    for (const Monitor& monitor : machine.monitors) {
        files.push_back("C:\\Windows\\system32\\" + monitor.dll);
    }
    // The separator pages every installation carries.
    for (const char* page : {"sysprint.sep", "sysprtj.sep", "pcl.sep", "pscript.sep"}) {
        files.push_back(std::string("C:\\Windows\\system32\\") + page);
    }
    // Drivers share files; each is present once.
    std::vector<std::string> unique;
    for (std::string& file : files) {
        if (std::find(unique.begin(), unique.end(), file) == unique.end()) {
            unique.push_back(std::move(file));
        }
    }
    return unique;
}

// A local printer with the shared defaults of a freshly installed one.
Printer LocalPrinter(const std::string& name, const std::string& port, const std::string& driver) {
    Printer printer;
    printer.name = name;
    printer.portName = port;
    printer.driverName = driver;
    return printer;
}

Printer Connection(const std::string& uncName, const std::string& driver) {
    Printer printer;
    printer.name = uncName;
    const std::size_t slash = uncName.find('\\', 2);
    if (!uncName.starts_with("\\\\") || slash == std::string::npos || slash + 1 >= uncName.size()) {
        throw std::invalid_argument("a connection is named \\\\server\\printer: " + uncName);
    }
    printer.serverName = uncName.substr(0, slash);
    printer.shareName = uncName.substr(slash + 1);
    printer.driverName = driver;
    printer.attributes =
        PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST;
    return printer;
}

}  // namespace

Machine EmptyMachine() {
    Machine machine;
    machine.ports = StandardPorts();
    machine.monitors = StandardMonitors();
    machine.processors = {Winprint()};
    machine.drivers = StandardDrivers();
    machine.forms = BuiltInForms();
    machine.files = PresentFiles(machine);
    return machine;
}

Machine DefaultMachine() {
    Machine machine = EmptyMachine();

    Printer laser = LocalPrinter("Office Laser", "192.168.1.20", "Generic Laser Class Driver");
    laser.attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
    laser.location = "2F Copy Room";
    laser.comment = "Duplex black and white, A4 and Letter";
    laser.averagePPM = 40;
    machine.printers.push_back(std::move(laser));

    Printer inkjet = LocalPrinter("Front Desk Inkjet", "USB001", "Generic Inkjet Class Driver");
    inkjet.attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
    inkjet.location = "1F Reception";
    inkjet.comment = "Colour";
    machine.printers.push_back(std::move(inkjet));

    Printer label = LocalPrinter("Label Printer", "COM1:", "Generic Label Driver");
    label.location = "1F Shipping";
    label.comment = "Address labels";
    label.devMode.paperSize = DMPAPER_A6;
    label.devMode.formName = "A6";
    machine.printers.push_back(std::move(label));

    machine.printers.push_back(LocalPrinter("Save as PDF", "PORTPROMPT:", "Save as PDF Driver"));

    Printer fax = LocalPrinter("Fax", "SHRFAX:", "Shared Fax Driver");
    fax.attributes |= PRINTER_ATTRIBUTE_FAX;
    machine.printers.push_back(std::move(fax));

    Printer finance = Connection("\\\\PRINTSRV\\Finance Mono", "Generic Laser Class Driver");
    finance.attributes |= PRINTER_ATTRIBUTE_ENABLE_BIDI;
    finance.portName = "10.0.3.31";
    finance.location = "3F Finance";
    finance.comment = "Finance department, mono";
    machine.networkPrinters.push_back(finance);
    machine.connections.push_back(std::move(finance));
    Printer plotter = Connection("\\\\PRINTSRV\\Plotter", "Generic Inkjet Class Driver");
    plotter.location = "2F Engineering";
    plotter.devMode.paperSize = DMPAPER_A3;
    plotter.devMode.formName = "A3";
    machine.networkPrinters.push_back(std::move(plotter));
    machine.networkPrinters.push_back(
        Connection("\\\\PRINTSRV\\Colour Laser", "Generic Laser Class Driver"));

    machine.defaultPrinter = "Office Laser";
    return machine;
}

MachineBuilder::MachineBuilder() : machine_(EmptyMachine()) {}

MachineBuilder::MachineBuilder(Machine base) : machine_(std::move(base)) {}

MachineBuilder& MachineBuilder::AddPrinter(Printer printer) {
    if (detail::IsConnection(printer)) {
        machine_.connections.push_back(std::move(printer));
    } else {
        machine_.printers.push_back(std::move(printer));
    }
    return *this;
}

MachineBuilder& MachineBuilder::AddPrinter(const std::string& name, const std::string& port,
                                           const std::string& driver) {
    machine_.printers.push_back(LocalPrinter(name, port, driver));
    return *this;
}

MachineBuilder& MachineBuilder::AddConnection(const std::string& uncName,
                                              const std::string& driver) {
    machine_.connections.push_back(Connection(uncName, driver));
    machine_.networkPrinters.push_back(machine_.connections.back());
    return *this;
}

MachineBuilder& MachineBuilder::Default(const std::string& name) {
    machine_.defaultPrinter = name;
    return *this;
}

MachineBuilder& MachineBuilder::Administrator(bool administrator) {
    machine_.administrator = administrator;
    return *this;
}

MachineBuilder& MachineBuilder::AddJob(const std::string& printerName, Job job) {
    Printer* printer = detail::FindPrinter(machine_, printerName);
    if (printer == nullptr) {
        throw std::invalid_argument("no printer named " + printerName);
    }
    if (job.id == 0) {
        job.id = machine_.nextJobId;
    }
    machine_.nextJobId = std::max(machine_.nextJobId, job.id + 1);
    if (job.userName.empty()) {
        job.userName = machine_.userName;
    }
    if (job.notifyName.empty()) {
        job.notifyName = job.userName;  // the spooler notifies the job's owner
    }
    if (job.machineName.empty()) {
        job.machineName = machine_.machineName;
    }
    if (job.driverName.empty()) {
        job.driverName = printer->driverName;
    }
    printer->jobs.push_back(std::move(job));
    return *this;
}

}  // namespace sim
