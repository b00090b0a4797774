// The seeded machines and the builder: the default office's shape and consistency, the empty
// machine, and the printers, connections and jobs the builder makes.
#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>

#include "platform/sim/sim.h"
#include "sim_fixture.h"

namespace {

template <typename Items, typename Name>
bool Has(const Items& items, const std::string& name, Name nameOf) {
    return std::any_of(items.begin(), items.end(),
                       [&](const auto& item) { return nameOf(item) == name; });
}

TEST(DefaultMachineTest, IsASmallConsistentOffice) {
    const sim::Machine machine = sim::DefaultMachine();
    EXPECT_GE(machine.printers.size(), 3u);
    ASSERT_EQ(machine.connections.size(), 1u);
    const sim::Printer& connection = machine.connections[0];
    EXPECT_TRUE(connection.name.starts_with(connection.serverName + "\\"));
    EXPECT_TRUE(connection.serverName.starts_with("\\\\"));
    EXPECT_NE(connection.attributes & PRINTER_ATTRIBUTE_NETWORK, 0u);

    std::set<std::string> names;
    for (const sim::Printer& printer : machine.printers) {
        EXPECT_EQ(printer.name.find_first_of("\\,"), std::string::npos) << printer.name;
        EXPECT_NE(printer.attributes & PRINTER_ATTRIBUTE_LOCAL, 0u) << printer.name;
        EXPECT_TRUE(printer.serverName.empty()) << printer.name;
        EXPECT_TRUE(Has(machine.ports, printer.portName, [](auto& p) { return p.name; }))
            << printer.name << " uses a missing port";
        std::string lower = printer.name;
        std::transform(lower.begin(), lower.end(), lower.begin(), ::tolower);
        EXPECT_TRUE(names.insert(lower).second) << "duplicate name " << printer.name;
    }
    for (const auto* list : {&machine.printers, &machine.connections}) {
        for (const sim::Printer& printer : *list) {
            EXPECT_TRUE(Has(machine.drivers, printer.driverName, [](auto& d) { return d.name; }))
                << printer.name << " uses a missing driver";
            EXPECT_TRUE(Has(machine.processors, printer.printProcessor, [](auto& p) {
                return p.name;
            })) << printer.name;
        }
    }
    for (const sim::Port& port : machine.ports) {
        EXPECT_TRUE(Has(machine.monitors, port.monitor, [](auto& m) { return m.name; }))
            << port.name << " uses a missing monitor";
    }
    for (const sim::Driver& driver : machine.drivers) {
        EXPECT_NE(driver.date.dwHighDateTime, 0u) << driver.name;
        EXPECT_NE(driver.driverVersion, 0u) << driver.name;
        EXPECT_TRUE(Has(machine.files, driver.driverPath, [](auto& f) { return f; }))
            << driver.name;
    }

    ASSERT_FALSE(machine.forms.empty());
    EXPECT_EQ(machine.forms[0].name, "Letter");
    for (const sim::Form& form : machine.forms) {
        EXPECT_EQ(form.flags, FORM_BUILTIN) << form.name;
        EXPECT_EQ(form.imageableArea.right, form.size.cx) << form.name;
        EXPECT_EQ(form.imageableArea.bottom, form.size.cy) << form.name;
    }
    ASSERT_EQ(machine.processors.size(), 1u);
    EXPECT_EQ(machine.processors[0].datatypes.front(), "RAW");
}

TEST(DefaultMachineTest, ItsDefaultPrinterExistsAndIsWhatTheSpoolerReports) {
    sim::Install(sim::DefaultMachine());
    char text[260];
    DWORD size = sizeof(text);
    ASSERT_TRUE(GetDefaultPrinterA(text, &size));
    EXPECT_STREQ(text, "Office Laser");
    HANDLE printer = nullptr;
    ASSERT_TRUE(OpenPrinterA(text, &printer, nullptr));
    EXPECT_TRUE(ClosePrinter(printer));
}

TEST(EmptyMachineTest, HasTheInfrastructureButNoPrinters) {
    const sim::Machine empty = sim::EmptyMachine();
    const sim::Machine office = sim::DefaultMachine();
    EXPECT_TRUE(empty.printers.empty());
    EXPECT_TRUE(empty.connections.empty());
    EXPECT_TRUE(empty.defaultPrinter.empty());
    EXPECT_EQ(empty.ports.size(), office.ports.size());
    EXPECT_EQ(empty.monitors.size(), office.monitors.size());
    EXPECT_EQ(empty.drivers.size(), office.drivers.size());
    EXPECT_EQ(empty.forms.size(), office.forms.size());
    EXPECT_EQ(empty.processors.size(), office.processors.size());
}

TEST(MachineBuilderTest, MakesRealisticPrintersConnectionsAndJobs) {
    sim::Job named;
    named.document = "Report.xlsx";
    const sim::Machine machine = sim::MachineBuilder()
                                     .AddPrinter("Desk")
                                     .AddConnection("\\\\HOST\\Shared One")
                                     .Default("\\\\HOST\\Shared One")
                                     .Administrator(true)
                                     .AddJob("desk", named)
                                     .AddJob("Desk", sim::Job{})
                                     .AddJob("\\\\HOST\\Shared One", sim::Job{})
                                     .Build();
    ASSERT_EQ(machine.printers.size(), 1u);
    const sim::Printer& desk = machine.printers[0];
    EXPECT_EQ(desk.portName, "LPT1:");
    EXPECT_EQ(desk.driverName, "Generic Text Driver");
    EXPECT_EQ(desk.attributes, PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST);
    EXPECT_EQ(desk.printProcessor, "winprint");
    EXPECT_EQ(desk.datatype, "RAW");
    EXPECT_EQ(desk.priority, 1u);
    ASSERT_EQ(desk.jobs.size(), 2u);
    EXPECT_EQ(desk.jobs[0].document, "Report.xlsx");
    EXPECT_EQ(desk.jobs[0].driverName, "Generic Text Driver");
    EXPECT_EQ(desk.jobs[0].userName, machine.userName);

    // Job ids are positive and increase across the whole spooler.
    const sim::Printer& shared = machine.connections.at(0);
    EXPECT_EQ(shared.serverName, "\\\\HOST");
    EXPECT_EQ(shared.shareName, "Shared One");
    EXPECT_NE(shared.attributes & PRINTER_ATTRIBUTE_NETWORK, 0u);
    EXPECT_LT(0u, desk.jobs[0].id);
    EXPECT_LT(desk.jobs[0].id, desk.jobs[1].id);
    EXPECT_LT(desk.jobs[1].id, shared.jobs.at(0).id);
    EXPECT_GT(machine.nextJobId, shared.jobs[0].id);
    EXPECT_EQ(machine.defaultPrinter, "\\\\HOST\\Shared One");
    EXPECT_TRUE(machine.administrator);
}

TEST(MachineBuilderTest, RejectsAJobForAMissingPrinterAndABadConnectionName) {
    sim::MachineBuilder builder;
    EXPECT_THROW(builder.AddJob("Nowhere", sim::Job{}), std::invalid_argument);
    EXPECT_THROW(builder.AddConnection("NotUnc"), std::invalid_argument);
    EXPECT_THROW(builder.AddConnection("\\\\ServerOnly"), std::invalid_argument);
}

}  // namespace
