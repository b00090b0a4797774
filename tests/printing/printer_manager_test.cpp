// PrinterManager's printer list and default printer against seeded machines: results, the exact
// calls that reach the spooler, and nothing left open.
#include "printing/printer_manager.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;

sim::Machine Office() {
    sim::MachineBuilder builder;
    builder.AddPrinter("Office Laser", "LPT1:", "Generic Text Driver")
        .AddPrinter("Front Desk", "COM1:", "Generic Text Driver")
        .AddPrinter("Label Printer", "COM2:", "Generic Text Driver")
        .AddConnection("\\\\PRINTSRV\\Finance Mono")
        .Default("Office Laser");
    builder.machine().printers[0].location = "2F";
    return builder.Build();
}

class ListPrintersTest : public SpoolerTest {};

TEST_F(ListPrintersTest, ListsLocalPrintersAndConnectionsWithDescriptions) {
    Seed(Office());
    TextList names{"stale"};
    TextList descriptions{"stale", "stale"};
    EXPECT_EQ(PrinterManager().ListPrinters(names, descriptions), 4);
    EXPECT_EQ(names, (TextList{"Office Laser", "Front Desk", "Label Printer",
                               "\\\\PRINTSRV\\Finance Mono"}));
    ASSERT_EQ(descriptions.size(), names.size());
    EXPECT_EQ(descriptions[0], "Office Laser,Generic Text Driver,2F");

    const auto calls = sim::CallsOf("EnumPrintersA");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (Args{"6", "NULL", "1", "NULL", "0", "ptr", "ptr"}));
    EXPECT_EQ(calls[1].args[0], "6");
    EXPECT_EQ(calls[1].args[1], "NULL");
    EXPECT_EQ(calls[1].args[2], "1");
    EXPECT_EQ(calls[1].args[3], "ptr");
    EXPECT_NE(calls[1].args[4], "0");
    // The block is exactly the size the first call reported.
    EXPECT_EQ(sim::CallsOf("GlobalAlloc").at(0).args, (Args{"64", calls[1].args[4]}));
}

TEST_F(ListPrintersTest, NoPrintersGivesZeroAndEmptyLists) {
    Seed(sim::EmptyMachine());
    TextList names{"stale"};
    TextList descriptions{"stale"};
    EXPECT_EQ(PrinterManager().ListPrinters(names, descriptions), 0);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(descriptions.empty());
}

TEST_F(ListPrintersTest, FailedSecondCallGivesMinusOneWithBothListsEmptied) {
    struct Case {
        const char* name;
        void (*arrange)();
    };
    const Case cases[] = {
        {"second call fails", [] { sim::FailCall("EnumPrintersA", 2, ERROR_NOT_ENOUGH_MEMORY); }},
        {"printer added between the passes",
         [] {
             sim::BeforeCall("EnumPrintersA", 2, [](sim::Machine& machine) {
                 machine.printers.push_back(machine.printers.front());
                 machine.printers.back().name = "Added Meanwhile With A Long Name";
             });
         }},
        // The failed size query leaves the byte count at 0; the second call then decides.
        {"first call fails", [] { sim::FailCall("EnumPrintersA", 1, ERROR_NOT_ENOUGH_MEMORY); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Seed(Office());
        c.arrange();
        TextList names{"old"};
        TextList descriptions{"old"};
        EXPECT_EQ(PrinterManager().ListPrinters(names, descriptions), -1);
        EXPECT_TRUE(names.empty());
        EXPECT_TRUE(descriptions.empty());
        EXPECT_EQ(sim::LiveBlocks(), 0);
    }
}

TEST_F(ListPrintersTest, DescriptionsLeftOutAreStillGathered) {
    Seed(Office());
    TextList names;
    EXPECT_EQ(PrinterManager().ListPrinters(names), 4);
    EXPECT_EQ(names.size(), 4u);
    EXPECT_EQ(sim::CallsOf("EnumPrintersA").size(), 2u);
}

TEST_F(ListPrintersTest, CopyBehavesAlike) {
    Seed(Office());
    const PrinterManager original;
    const PrinterManager copy = original.Copy();
    TextList a, b;
    EXPECT_EQ(original.ListPrinters(a), copy.ListPrinters(b));
    EXPECT_EQ(a, b);
    EXPECT_EQ(original.GetDefaultPrinter(), copy.GetDefaultPrinter());
}

class DefaultPrinterTest : public SpoolerTest {};

TEST_F(DefaultPrinterTest, ReturnsTheWholeNameWhateverItsLength) {
    struct Case {
        const char* name;
        std::string printer;  // empty: no default printer
    };
    const Case cases[] = {
        {"no default", ""},
        {"short", "Office Laser"},
        {"99 bytes", std::string(99, 'p')},
        {"100 bytes", std::string(100, 'q')},
        {"long connection", "\\\\PRINTSRV\\" + std::string(140, 'n')},
        {"Chinese name", "财务部打印机"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim::MachineBuilder builder;
        builder.AddPrinter("Other");
        if (!c.printer.empty()) {
            if (c.printer.starts_with("\\\\")) {
                builder.AddConnection(c.printer);
            } else {
                builder.AddPrinter(c.printer);
            }
            builder.Default(c.printer);
        }
        Seed(builder.Build());
        EXPECT_EQ(PrinterManager().GetDefaultPrinter(), c.printer);
    }
}

TEST_F(DefaultPrinterTest, ReadFailureGivesEmptyTextNotACutOffName) {
    sim::MachineBuilder builder;
    builder.AddPrinter("Short").AddPrinter(std::string(120, 'x')).Default("Short");
    Seed(builder.Build());
    // The default changes to a longer name between the size query and the read.
    sim::BeforeCall("GetDefaultPrinterA", 2,
                    [](sim::Machine& machine) { machine.defaultPrinter = std::string(120, 'x'); });
    EXPECT_EQ(PrinterManager().GetDefaultPrinter(), "");
}

TEST_F(DefaultPrinterTest, SetDefaultPassesTheNameOrANullPointer) {
    struct Case {
        const char* name;
        std::string printer;
        std::string arg;
        bool result;
        std::string defaultAfter;
    };
    const Case cases[] = {
        {"named printer", "Front Desk", "\"Front Desk\"", true, "Front Desk"},
        {"connection", "\\\\PRINTSRV\\Finance Mono", "\"\\\\PRINTSRV\\Finance Mono\"", true,
         "\\\\PRINTSRV\\Finance Mono"},
        {"empty keeps the default", "", "NULL", true, "Office Laser"},
        {"unknown printer", "Nowhere", "\"Nowhere\"", false, "Office Laser"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Seed(Office());
        EXPECT_EQ(PrinterManager().SetDefaultPrinter(c.printer), c.result);
        EXPECT_EQ(sim::CallsOf("SetDefaultPrinterA").at(0).args, Args{c.arg});
        EXPECT_EQ(PrinterManager().GetDefaultPrinter(), c.defaultAfter);
    }
}

TEST_F(DefaultPrinterTest, EmptyNameWithoutDefaultPicksFirstAndFailsWithoutPrinters) {
    sim::MachineBuilder builder;
    builder.AddPrinter("First").AddPrinter("Second");
    Seed(builder.Build());
    EXPECT_TRUE(PrinterManager().SetDefaultPrinter(""));
    EXPECT_EQ(PrinterManager().GetDefaultPrinter(), "First");

    Seed(sim::EmptyMachine());
    EXPECT_FALSE(PrinterManager().SetDefaultPrinter(""));
    EXPECT_EQ(PrinterManager().GetDefaultPrinter(), "");
}

}  // namespace
