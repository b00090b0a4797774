// PrinterManager's readers of one printer: the printer chosen, the level read, the access asked
// for, and the failure value when the printer cannot be opened or read.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "printing/printer_manager.h"
#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;
using Name = PrinterManager::Name;

sim::Machine Seeded() {
    sim::MachineBuilder builder;
    sim::Printer laser;
    laser.name = "Laser";
    laser.shareName = "LASER1";
    laser.portName = "LPT1:";
    laser.driverName = "Generic Text Driver";
    laser.comment = "2F copy room";
    laser.location = "Building A";
    laser.sepFile = "C:\\Windows\\System32\\sysprint.sep";
    laser.attributes = 0x48;
    laser.priority = 7;
    laser.status = PRINTER_STATUS_PAUSED;
    laser.averagePPM = 30;
    laser.jobs.resize(2);
    builder.AddPrinter(laser).AddPrinter("Plain", "COM1:").AddConnection("\\\\SRV\\Mono");
    builder.machine().printers[1].attributes = 0x40;
    builder.Default("Plain");
    return builder.Build();
}

// Each reader's value for "Laser", for the default "Plain", and its failure value.
struct Reader {
    const char* name;
    std::function<std::string(const PrinterManager&, const Name&)> read;
    std::string laser;
    std::string plain;
    std::string failure;
};

std::string Text(bool value) {
    return value ? "true" : "false";
}

const std::vector<Reader>& Readers() {
    static const std::vector<Reader> readers = {
        {"GetPrinterShareName",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterShareName(n); }, "LASER1",
         "", ""},
        {"GetPrinterLocation",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterLocation(n); },
         "Building A", "", ""},
        {"GetPrinterPort",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterPort(n); },
         "LPT1:", "COM1:", ""},
        {"GetPrinterComment",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterComment(n); },
         "2F copy room", "", ""},
        {"GetPrinterSeparatorFile",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterSeparatorFile(n); },
         "C:\\Windows\\System32\\sysprint.sep", "", ""},
        {"GetPrinterJobCount",
         [](const PrinterManager& m, const Name& n) {
             return std::to_string(m.GetPrinterJobCount(n));
         },
         "2", "0", "0"},
        {"IsPrinterShared",
         [](const PrinterManager& m, const Name& n) { return Text(m.IsPrinterShared(n)); }, "true",
         "false", "false"},
        {"IsNetworkPrinter",
         [](const PrinterManager& m, const Name& n) { return Text(m.IsNetworkPrinter(n)); },
         "false", "false", "false"},
        {"GetPrinterDetails.printerName",
         [](const PrinterManager& m, const Name& n) { return m.GetPrinterDetails(n).printerName; },
         "Laser", "Plain", ""},
    };
    return readers;
}

class PrinterRecordsTest : public SpoolerTest {};

TEST_F(PrinterRecordsTest, EachReaderOnANamedPrinterTheDefaultAndFailures) {
    for (const Reader& reader : Readers()) {
        SCOPED_TRACE(reader.name);
        const PrinterManager manager;
        Seed(Seeded());
        EXPECT_EQ(reader.read(manager, "Laser"), reader.laser);
        EXPECT_TRUE(sim::CallsOf("GetDefaultPrinterA").empty()) << "a given name is used as is";
        EXPECT_EQ(sim::CallsOf("OpenPrinterA").at(0).record, (Args{"NULL", "NULL", "0"}));

        EXPECT_EQ(reader.read(manager, std::nullopt), reader.plain);

        struct Failure {
            const char* name;
            Name printer;
            std::function<void()> arrange;
        };
        const Failure failures[] = {
            {"unknown printer", "Nowhere", [] {}},
            {"empty name reaches the spooler as null", "", [] {}},
            {"second read fails", "Laser",
             [] { sim::FailCall("GetPrinterA", 2, ERROR_NOT_ENOUGH_MEMORY); }},
            {"printer grows between the reads", "Laser",
             [] {
                 sim::BeforeCall("GetPrinterA", 2, [](sim::Machine& machine) {
                     machine.printers[0].comment = std::string(300, 'c');
                 });
             }},
        };
        for (const Failure& failure : failures) {
            SCOPED_TRACE(failure.name);
            Seed(Seeded());
            failure.arrange();
            EXPECT_EQ(reader.read(manager, failure.printer), reader.failure);
            if (failure.printer && failure.printer->empty()) {
                EXPECT_EQ(sim::CallsOf("OpenPrinterA").at(0).args.at(0), "NULL");
            }
            EXPECT_EQ(sim::OpenPrinterHandles(), 0);
            EXPECT_EQ(sim::LiveBlocks(), 0);
        }
    }
}

TEST_F(PrinterRecordsTest, DetailsCarryTheThirteenFieldsOrAnEmptyRecord) {
    Seed(Seeded());
    const PrinterDetails details = PrinterManager().GetPrinterDetails("Laser");
    EXPECT_EQ(details.printerName, "Laser");
    EXPECT_EQ(details.shareName, "LASER1");
    EXPECT_EQ(details.portName, "LPT1:");
    EXPECT_EQ(details.driverName, "Generic Text Driver");
    EXPECT_EQ(details.comment, "2F copy room");
    EXPECT_EQ(details.location, "Building A");
    EXPECT_EQ(details.printProcessor, "winprint");
    EXPECT_EQ(details.dataType, "RAW");
    EXPECT_EQ(details.attributes, 0x48);
    EXPECT_EQ(details.priority, 7);
    EXPECT_EQ(details.status, static_cast<int32_t>(PRINTER_STATUS_PAUSED));
    EXPECT_EQ(details.jobCount, 2);
    EXPECT_EQ(details.averagePagesPerMinute, 30);
    EXPECT_EQ(sim::CallsOf("GetPrinterA").at(1).args.at(1), "2");

    EXPECT_EQ(PrinterManager().GetPrinterDetails("Nowhere"), PrinterDetails{});
}

TEST_F(PrinterRecordsTest, NetworkQuestionReadsLevelFour) {
    Seed(Seeded());
    EXPECT_TRUE(PrinterManager().IsNetworkPrinter("\\\\SRV\\Mono"));
    const auto calls = sim::CallsOf("GetPrinterA");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args.at(1), "4");
    EXPECT_EQ(calls[1].args.at(1), "4");
}

}  // namespace
