// PrinterManager's catalogues of the local machine: ports and monitors, print processors and data
// types, drivers and forms, with the fields, arguments and units each operation uses.
#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "printing/printer_manager.h"
#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;

sim::Machine Admin() {
    sim::MachineBuilder builder(sim::DefaultMachine());
    builder.Administrator(true);
    return builder.Build();
}

class CatalogTest : public SpoolerTest {};

TEST_F(CatalogTest, PortsListNamesWithTheirDescriptionsAtTheSameIndex) {
    sim::Machine machine = sim::EmptyMachine();
    machine.ports = {{"LPT1:", "Local Port", "Printer port", 3},
                     {"NOTE:", "Local Port", "", 1},  // no description: a null pointer
                     {"10.0.0.9", "Standard TCP/IP Port", "Network port", 9}};
    Seed(machine);
    TextList names{"old"};
    TextList descriptions;
    EXPECT_EQ(PrinterManager().ListPorts(names, descriptions), 3);
    EXPECT_EQ(names, (TextList{"LPT1:", "NOTE:", "10.0.0.9"}));
    EXPECT_EQ(descriptions, (TextList{"Printer port", "", "Network port"}));
    EXPECT_EQ(sim::CallsOf("EnumPortsA").at(0).args,
              (Args{"NULL", "2", "NULL", "0", "ptr", "ptr"}));

    sim::FailCall("EnumPortsA", 2, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(PrinterManager().ListPorts(names), -1);
    EXPECT_TRUE(names.empty());
}

TEST_F(CatalogTest, PortChangesGoToTheMonitorWithTheForegroundWindow) {
    Seed(Admin());
    const PrinterManager manager;
    sim::Current().dialogs.addPortName = "LPT9:";
    EXPECT_TRUE(manager.AddPort());
    EXPECT_EQ(sim::CallsOf("AddPortA").at(0).args, (Args{"NULL", "ptr", "\"Local Port\""}));
    EXPECT_FALSE(manager.AddPort(""));  // an explicitly empty monitor name goes as null
    EXPECT_EQ(sim::CallsOf("AddPortA").at(1).args, (Args{"NULL", "ptr", "NULL"}));
    EXPECT_TRUE(manager.ConfigurePort("LPT9:"));
    EXPECT_TRUE(manager.DeletePort("LPT9:"));
    EXPECT_EQ(sim::CallsOf("DeletePortA").at(0).args, (Args{"NULL", "ptr", "\"LPT9:\""}));
    EXPECT_FALSE(manager.DeletePort("COM1:"));  // the label printer still prints there
    EXPECT_EQ(sim::CallsOf("GetForegroundWindow").size(), 5u);

    sim::Current().dialogs.addPortName.clear();  // the user cancels
    EXPECT_FALSE(manager.AddPort("Local Port"));
}

TEST_F(CatalogTest, MonitorsListedInParallelAddedAndDeletedInTheSpoolersArgumentOrder) {
    Seed(Admin());
    const PrinterManager manager;
    TextList names, environments, dlls;
    EXPECT_EQ(manager.ListMonitors(names, environments, dlls), 6);
    EXPECT_EQ(names[1], "Local Port");
    EXPECT_EQ(environments[1], "Windows x64");
    EXPECT_EQ(dlls[1], "localspl.dll");
    TextList only;
    EXPECT_EQ(manager.ListMonitors(only), 6);
    EXPECT_EQ(only, names);

    sim::Current().files.push_back("C:\\Windows\\system32\\mymon.dll");
    EXPECT_TRUE(EnablePrivilege("SeLoadDriverPrivilege"));
    EXPECT_TRUE(manager.AddMonitor("My Monitor", "", "mymon.dll"));
    EXPECT_EQ(sim::CallsOf("AddMonitorA").at(0).args, (Args{"NULL", "2", "ptr"}));
    EXPECT_EQ(sim::CallsOf("AddMonitorA").at(0).record,
              (Args{"\"My Monitor\"", "NULL", "\"mymon.dll\""}));
    EXPECT_FALSE(manager.AddMonitor("My Monitor", "", "mymon.dll"));  // already installed
    EXPECT_TRUE(manager.DeleteMonitor("My Monitor", ""));
    EXPECT_EQ(sim::CallsOf("DeleteMonitorA").at(0).args, (Args{"NULL", "NULL", "\"My Monitor\""}));
    EXPECT_FALSE(manager.DeleteMonitor("Local Port", "Windows x64"));  // ports still use it
    EXPECT_EQ(sim::CallsOf("DeleteMonitorA").at(1).args,
              (Args{"NULL", "\"Windows x64\"", "\"Local Port\""}));
}

TEST_F(CatalogTest, FileTitles) {
    struct Case {
        const char* path;
        bool keepExtension;
        const char* title;
    };
    const Case cases[] = {
        {"C:\\spool\\prtprocs\\myproc.dll", false, "myproc"},
        {"C:\\spool\\prtprocs\\myproc.dll", true, "myproc.dll"},
        {"C:\\tools\\archive.tar.gz", false, "archive.tar"},
        {"C:\\tools\\README", false, "README"},
        {"C:\\tools\\", false, ""},  // the title cannot be had: empty, whatever keepExtension says
        {"C:\\tools\\", true, ""},
        {"report[1].dll", true, ""},
        {"", false, ""},
    };
    Seed(sim::EmptyMachine());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FileTitleFromPath(c.path, c.keepExtension), c.title);
    }
}

TEST_F(CatalogTest, PrintProcessorsAndTheirDataTypes) {
    sim::Machine machine = Admin();
    machine.files.push_back("C:\\Windows\\system32\\spool\\prtprocs\\x64\\myproc.dll");
    Seed(machine);
    const PrinterManager manager;
    TextList processors{"old"};
    EXPECT_EQ(manager.ListPrintProcessors(processors), 1);
    EXPECT_EQ(processors, TextList{"winprint"});
    EXPECT_EQ(manager.GetPrintProcessorDirectory(), "C:\\Windows\\system32\\spool\\prtprocs\\x64");
    EXPECT_EQ(sim::CallsOf("GetPrintProcessorDirectoryA").at(0).args.at(1), "\"\"");

    EnablePrivilege("SeLoadDriverPrivilege");
    const std::string path = "C:\\Windows\\system32\\spool\\prtprocs\\x64\\myproc.dll";
    EXPECT_TRUE(manager.AddPrintProcessor(path));
    EXPECT_EQ(sim::CallsOf("AddPrintProcessorA").at(0).args,
              (Args{"NULL", "NULL", "\"" + path + "\"", "\"myproc\""}));
    EXPECT_EQ(manager.ListPrintProcessors(processors), 2);
    EXPECT_TRUE(manager.DeletePrintProcessor("myproc"));
    EXPECT_FALSE(manager.DeletePrintProcessor("myproc"));

    // The one list that is appended to, and left as it was after a failure.
    TextList types{"kept"};
    EXPECT_EQ(manager.ListPrintProcessorDataTypes("winprint", types), 9);
    EXPECT_EQ(manager.ListPrintProcessorDataTypes("WinPrint", types), 9);
    EXPECT_EQ(types.size(), 19u);
    EXPECT_EQ(types[0], "kept");
    EXPECT_EQ(types[1], "RAW");
    EXPECT_EQ(types[10], "RAW");
    EXPECT_EQ(manager.ListPrintProcessorDataTypes("nothing", types), -1);
    EXPECT_EQ(types.size(), 19u);
}

TEST_F(CatalogTest, DriversWithTheirVersionsDatesAndFirstNames) {
    sim::Machine machine = Admin();
    sim::Driver& driver = machine.drivers[0];
    driver.driverVersion = (10ULL << 48) | (0ULL << 32) | (500ULL << 16) | 1ULL;
    // 21 June 2006, 23:30 UTC.
    const unsigned long long ticks = 12795406200ULL * 10000000ULL;
    driver.date =
        FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    driver.dependentFiles = {"first.dll", "second.dll"};
    driver.previousNames = {"Old Name", "Older Name"};
    driver.helpFile.clear();
    driver.monitorName.clear();
    machine.drivers[1].driverVersion = (3ULL << 48) | (10ULL << 32) | (0x9C40ULL << 16) | 5ULL;
    Seed(machine);
    // The date is the UTC one whatever the time zone.
    setenv("TZ", "Pacific/Kiritimati", 1);

    std::vector<DriverDetails> drivers;
    const int count = PrinterManager().ListDrivers(drivers);
    ASSERT_EQ(count, static_cast<int>(machine.drivers.size()));
    EXPECT_EQ(sim::MessagePumps(), count);  // once per record
    EXPECT_EQ(sim::CallsOf("EnumPrinterDriversA").at(0).args,
              (Args{"NULL", "\"\"", "6", "NULL", "0", "ptr", "ptr"}));
    const DriverDetails& first = drivers[0];
    EXPECT_EQ(first.driverVersion, "10.0.500.1");
    EXPECT_EQ(drivers[1].driverVersion, "3.10.40000.5");
    EXPECT_EQ(first.driverDate, (DateTime{2006, 6, 21, 0, 0, 0}));
    EXPECT_EQ(first.dependentFiles, "first.dll");
    EXPECT_EQ(first.previousNames, "Old Name");
    EXPECT_EQ(first.helpFile, "");
    EXPECT_EQ(first.monitorName, "");
    EXPECT_EQ(first.name, machine.drivers[0].name);
    EXPECT_EQ(first.environment, "Windows x64");
    unsetenv("TZ");

    // The default printer's driver, read alone.
    const DriverDetails ofDefault = PrinterManager().GetPrinterDriver();
    EXPECT_EQ(ofDefault.name, "Generic Laser Class Driver");
    EXPECT_EQ(PrinterManager().GetPrinterDriver("Nowhere"), DriverDetails{});
    EXPECT_EQ(PrinterManager().GetPrinterDriverDirectory(),
              "C:\\Windows\\system32\\spool\\DRIVERS\\x64");

    Seed(sim::EmptyMachine());
    sim::Current().drivers.clear();
    EXPECT_EQ(PrinterManager().ListDrivers(drivers), 0);
    EXPECT_TRUE(drivers.empty());
}

TEST_F(CatalogTest, DriversInstalledAndRemoved) {
    sim::Machine machine = Admin();
    const std::string directory = "C:\\Windows\\system32\\spool\\DRIVERS\\x64\\";
    for (const char* file : {"my.dll", "my.gpd", "myui.dll"}) {
        machine.files.push_back(directory + file);
    }
    Seed(machine);
    const PrinterManager manager;
    EXPECT_TRUE(manager.AddPrinterDriver("My Driver", "my.dll", "my.gpd", "myui.dll"));
    EXPECT_EQ(sim::CallsOf("AddPrinterDriverA").at(0).record,
              (Args{"3", "\"My Driver\"", "NULL", "\"my.dll\"", "\"my.gpd\"", "\"myui.dll\""}));
    EXPECT_TRUE(manager.DeletePrinterDriver("My Driver"));
    EXPECT_EQ(sim::CallsOf("DeletePrinterDriverA").at(0).args,
              (Args{"NULL", "NULL", "\"My Driver\""}));
    EXPECT_FALSE(manager.DeletePrinterDriver("Generic Laser Class Driver"));  // in use

    EXPECT_TRUE(manager.AddPrinterDriver("My Driver", "my.dll", "my.gpd", "myui.dll"));
    sim::ClearCalls();
    EXPECT_TRUE(manager.DeletePrinterDriverEx("My Driver"));
    EXPECT_EQ(sim::CallsOf("DeletePrinterDriverExA").at(0).args,
              (Args{"NULL", "NULL", "\"My Driver\"", "4", "0"}));
    EXPECT_TRUE(sim::CallsOf("AdjustTokenPrivileges").empty());

    // A standard user: the privilege cannot be enabled, the spooler is still asked and refuses.
    sim::SetAdministrator(false);
    EXPECT_FALSE(manager.AddPrinterDriver("My Driver", "my.dll", "my.gpd", "myui.dll"));
    EXPECT_EQ(sim::CallsOf("AddPrinterDriverA").size(), 1u);
}

TEST_F(CatalogTest, FormsInTheUnitsOfEachOperation) {
    Seed(Admin());
    const PrinterManager manager;
    std::vector<FormDetails> forms(3);
    const int count = manager.ListForms(std::nullopt, forms);
    ASSERT_GT(count, 10);
    EXPECT_EQ(sim::MessagePumps(), count);  // once per record
    EXPECT_EQ(forms[0], (FormDetails{"Letter", "内置", 2159, 2794, 2159, 2794}));
    EXPECT_EQ(manager.GetForm(std::nullopt, "Letter"),
              (FormDetails{"Letter", "内置", 21, 27, 21, 27}));
    EXPECT_EQ(manager.GetForm("Office Laser", "A4"), (FormDetails{"A4", "内置", 21, 29, 21, 29}));
    EXPECT_EQ(manager.GetForm("Office Laser", "No Such Form"), FormDetails{});

    EXPECT_TRUE(manager.AddForm(std::nullopt, "Card", 21, 30));
    EXPECT_EQ(sim::CallsOf("AddFormA").at(0).record,
              (Args{"0", "\"Card\"", "210000", "300000", "0", "0", "210000", "300000"}));
    EXPECT_EQ(manager.GetForm(std::nullopt, "Card").kind, "用户定义");

    // The record's sizes are tenths of a millimetre; the imageable area starts at 0, 0.
    struct Case {
        FormDetails form;
        Args record;
    };
    const Case cases[] = {
        {{"Card", "内置", 2970.0f, 2100.0f, 2900.0f, 2000.0f},
         {"1", "\"Card\"", "297000", "210000", "0", "0", "290000", "200000"}},
        {{"Card", "打印机", 100.5f, 100.0f, 100.5f, 100.0f},
         {"2", "\"Card\"", "10050", "10000", "0", "0", "10050", "10000"}},
        {{"Card", "", 0.015f, 0.015f, 0.015f, 0.015f},  // 1.5 thousandths: truncated to 1
         {"0", "\"Card\"", "1", "1", "0", "0", "1", "1"}},
    };
    for (const Case& c : cases) {
        sim::ClearCalls();
        manager.SetForm(std::nullopt, "Card", c.form);
        EXPECT_EQ(sim::CallsOf("SetFormA").at(0).record, c.record);
        EXPECT_EQ(sim::CallsOf("SetFormA").at(0).args.at(1), "\"Card\"");
        EXPECT_EQ(sim::CallsOf("OpenPrinterA").back().record, (Args{"NULL", "NULL", "983052"}));
    }
    EXPECT_TRUE(manager.DeleteForm(std::nullopt, "Card"));
    EXPECT_FALSE(manager.DeleteForm(std::nullopt, "A4"));  // built in
}

TEST_F(CatalogTest, OversizedFormSizesAreRefusedWithoutASpoolerCall) {
    Seed(Admin());
    const PrinterManager manager;
    sim::ClearCalls();
    EXPECT_FALSE(manager.AddForm(std::nullopt, "Huge", 300000, 10));  // 3e9 thousandths
    EXPECT_FALSE(manager.AddForm(std::nullopt, "Huge", 10, -300000));
    const float sizes[] = {3e7f, -3e7f, std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
    for (const float size : sizes) {
        EXPECT_FALSE(
            manager.SetForm(std::nullopt, "A4", FormDetails{"A4", "内置", size, 10, 10, 10}));
    }
    EXPECT_TRUE(sim::CallsOf("OpenPrinterA").empty());
    EXPECT_TRUE(sim::CallsOf("AddFormA").empty());
    EXPECT_TRUE(sim::CallsOf("SetFormA").empty());
}

}  // namespace
