// PrinterManager's changes to printers: the field changes write the snapshot back with only their
// field changed, after one message pump; sharing keeps the other attribute bits; control commands,
// add, delete, connections and dialogs reach the spooler with the documented arguments.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "printing/printer_manager.h"
#include "tests/printing/leak_check.h"

namespace {

using Args = std::vector<std::string>;
using Name = PrinterManager::Name;

constexpr const char* kAllAccess = "983052";  // PRINTER_ALL_ACCESS, 0xF000C

sim::Printer Laser() {
    sim::Printer laser;
    laser.name = "Laser";
    laser.shareName = "LASER1";
    laser.portName = "LPT1:";
    laser.driverName = "Generic Text Driver";
    laser.comment = "copy room";
    laser.location = "2F";
    laser.attributes = 0xA48;  // local, shared, do-complete-first, bidirectional
    laser.priority = 5;
    return laser;
}

sim::Machine Office(bool administrator = true) {
    sim::MachineBuilder builder;
    builder.AddPrinter(Laser()).AddPrinter("Plain", "COM1:").Default("Plain");
    builder.Administrator(administrator);
    return builder.Build();
}

// The PRINTER_INFO_2 fields as SetPrinterA's log record shows them for Laser() as read.
Args LaserAsRead() {
    return {"NULL",
            "\"Laser\"",
            "\"LASER1\"",
            "\"LPT1:\"",
            "\"Generic Text Driver\"",
            "\"copy room\"",
            "\"2F\"",
            "ptr",
            "\"\"",
            "\"winprint\"",
            "\"RAW\"",
            "\"\"",
            "NULL",
            "2632",
            "5",
            "0",
            "0",
            "0",
            "0",
            "0",
            "0"};
}

enum Field {
    kPrinterName = 1,
    kShareName = 2,
    kPortName = 3,
    kLocation = 6,
    kSepFile = 8,
    kComment = 5,
    kAttributes = 13
};

class PrinterAdminTest : public SpoolerTest {};

TEST_F(PrinterAdminTest, FieldChangesWriteTheSnapshotBackWithOnlyTheirFieldChanged) {
    struct Case {
        const char* name;
        std::function<bool(const PrinterManager&)> change;
        std::vector<std::pair<int, std::string>> changed;  // record index, value
        std::function<std::string(const PrinterManager&)> readBack;
        std::string expected;
    };
    const Case cases[] = {
        {"comment",
         [](auto& m) { return m.SetPrinterComment("Laser", "by the window"); },
         {{kComment, "\"by the window\""}},
         [](auto& m) { return m.GetPrinterComment("Laser"); },
         "by the window"},
        {"empty comment goes as null",
         [](auto& m) { return m.SetPrinterComment("Laser", ""); },
         {{kComment, "NULL"}},
         [](auto& m) { return m.GetPrinterComment("Laser"); },
         ""},
        {"location",
         [](auto& m) { return m.SetPrinterLocation("Laser", "3F"); },
         {{kLocation, "\"3F\""}},
         [](auto& m) { return m.GetPrinterLocation("Laser"); },
         "3F"},
        {"port",
         [](auto& m) { return m.SetPrinterPort("Laser", "COM2:"); },
         {{kPortName, "\"COM2:\""}},
         [](auto& m) { return m.GetPrinterPort("Laser"); },
         "COM2:"},
        {"separator file",
         [](auto& m) {
             return m.SetPrinterSeparatorFile("Laser", "C:\\Windows\\system32\\pcl.sep");
         },
         {{kSepFile, "\"C:\\Windows\\system32\\pcl.sep\""}},
         [](auto& m) { return m.GetPrinterSeparatorFile("Laser"); },
         "C:\\Windows\\system32\\pcl.sep"},
        {"rename",
         [](auto& m) { return m.RenamePrinter("Laser", "Laser 2"); },
         {{kPrinterName, "\"Laser 2\""}},
         [](auto& m) { return m.GetPrinterDetails("Laser 2").printerName; },
         "Laser 2"},
        // Sharing sets the shared bit and keeps every other bit the printer had.
        {"share",
         [](auto& m) { return m.SharePrinter("Laser", "LP"); },
         {{kShareName, "\"LP\""}},
         [](auto& m) { return m.GetPrinterShareName("Laser"); },
         "LP"},
        {"unshare",
         [](auto& m) { return m.UnsharePrinter("Laser"); },
         {{kAttributes, "2624"}},
         [](auto& m) { return std::to_string(m.GetPrinterDetails("Laser").attributes); },
         "2624"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Seed(Office());
        const PrinterManager manager;
        ASSERT_TRUE(c.change(manager));

        EXPECT_EQ(sim::CallsOf("OpenPrinterA").at(0).record, (Args{"NULL", "NULL", kAllAccess}));
        Args expected = LaserAsRead();
        for (const auto& [index, value] : c.changed) {
            expected[static_cast<size_t>(index)] = value;
        }
        const auto writes = sim::CallsOf("SetPrinterA");
        ASSERT_EQ(writes.size(), 1u);
        EXPECT_EQ(writes[0].args, (Args{"ptr", "2", "ptr", "0"}));
        EXPECT_EQ(writes[0].record, expected);

        // One pump, just before the write.
        EXPECT_EQ(sim::MessagePumps(), 1);
        const auto& calls = sim::Calls();
        const auto pump = std::find_if(calls.begin(), calls.end(), [](const sim::Call& call) {
            return call.function == "PeekMessageA";
        });
        ASSERT_NE(pump, calls.end());
        EXPECT_EQ(std::next(pump)->function, "SetPrinterA");

        EXPECT_EQ(c.readBack(manager), c.expected);
    }
}

TEST_F(PrinterAdminTest, SharingKeepsTheOtherAttributeBits) {
    struct Case {
        DWORD before;
        bool share;
        DWORD after;
    };
    const Case cases[] = {
        {0xA40, true, 0xA48},  // local, bidirectional, do-complete-first stay
        {0x301, true, 0x309},  // queued and keep-printed-jobs stay
        {0xA48, false, 0xA40},
        {0x209, false, 0x201},  // no local bit is forced on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        sim::Machine machine = Office();
        machine.printers[0].attributes = c.before;
        Seed(machine);
        const PrinterManager manager;
        ASSERT_TRUE(c.share ? manager.SharePrinter("Laser", "LP")
                            : manager.UnsharePrinter("Laser"));
        // The simulated spooler marks every local printer local; compare the bits we sent.
        EXPECT_EQ(sim::CallsOf("SetPrinterA").at(0).record.at(kAttributes),
                  std::to_string(c.after));
        EXPECT_EQ(manager.GetPrinterShareName("Laser"), c.share ? "LP" : "LASER1");
    }
}

TEST_F(PrinterAdminTest, ChangesFailWithoutWritingWhenThePrinterCannotBeOpenedOrRead) {
    const std::function<bool(const PrinterManager&)> changes[] = {
        [](auto& m) { return m.SetPrinterComment("Laser", "x"); },
        [](auto& m) { return m.SharePrinter("Laser", "x"); },
        [](auto& m) { return m.PausePrinter("Laser"); },
        [](auto& m) { return m.PurgePrinter("Laser"); },
        [](auto& m) { return m.DeletePrinter("Laser"); },
    };
    for (const auto& change : changes) {
        Seed(Office(false));  // a standard user cannot open with full access
        EXPECT_FALSE(change(PrinterManager()));
        EXPECT_TRUE(sim::CallsOf("SetPrinterA").empty());
        EXPECT_TRUE(sim::CallsOf("DeletePrinter").empty());
    }
    Seed(Office());
    sim::FailCall("GetPrinterA", 2, ERROR_INSUFFICIENT_BUFFER);
    EXPECT_FALSE(PrinterManager().SetPrinterComment("Laser", "x"));
    EXPECT_TRUE(sim::CallsOf("SetPrinterA").empty());
    EXPECT_EQ(sim::MessagePumps(), 0);
}

TEST_F(PrinterAdminTest, PauseResumeAndPurgeUseLevelZeroWithNoRecord) {
    sim::Machine machine = Office();
    machine.printers[1].jobs.resize(3);
    Seed(machine);
    const PrinterManager manager;
    ASSERT_TRUE(manager.PausePrinter());  // the default printer, Plain
    EXPECT_EQ(manager.GetPrinterDetails().status, static_cast<int32_t>(PRINTER_STATUS_PAUSED));
    ASSERT_TRUE(manager.ResumePrinter());
    EXPECT_EQ(manager.GetPrinterDetails().status, 0);
    ASSERT_TRUE(manager.PurgePrinter());
    EXPECT_EQ(manager.GetPrinterJobCount(), 0);
    const auto calls = sim::CallsOf("SetPrinterA");
    ASSERT_EQ(calls.size(), 3u);
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].args, (Args{"ptr", "0", "NULL", std::to_string(i + 1)}));
    }
    EXPECT_EQ(sim::MessagePumps(), 0);
}

TEST_F(PrinterAdminTest, DeleteOpensTheGivenNameWithRawAndFullAccess) {
    Seed(Office());
    const PrinterManager manager;
    EXPECT_TRUE(manager.DeletePrinter("Laser"));
    EXPECT_EQ(sim::CallsOf("OpenPrinterA").at(0).record, (Args{"\"RAW\"", "NULL", kAllAccess}));
    TextList names;
    manager.ListPrinters(names);
    EXPECT_EQ(names, TextList{"Plain"});

    // Never the default printer: an empty name reaches the spooler as null.
    EXPECT_FALSE(manager.DeletePrinter(""));
    EXPECT_EQ(sim::CallsOf("OpenPrinterA").back().args.at(0), "NULL");
    EXPECT_EQ(manager.GetDefaultPrinter(), "Plain");

    // With jobs queued the printer waits for them, pending deletion.
    sim::Machine busy = Office();
    busy.printers[0].jobs.resize(1);
    Seed(busy);
    EXPECT_TRUE(manager.DeletePrinter("Laser"));
    EXPECT_EQ(sim::Current().printers[0].status, PRINTER_STATUS_PENDING_DELETION);
}

TEST_F(PrinterAdminTest, AddPrinterIsTriedWithAndWithoutThePrivilege) {
    for (const bool administrator : {true, false}) {
        SCOPED_TRACE(administrator ? "administrator" : "standard user");
        Seed(Office(administrator));
        const PrinterManager manager;
        EXPECT_EQ(manager.AddPrinter("New", "LPT2:", "Generic Text Driver", "winprint"),
                  administrator);
        const auto adds = sim::CallsOf("AddPrinterA");
        ASSERT_EQ(adds.size(), 1u);
        EXPECT_EQ(adds[0].args, (Args{"NULL", "2", "ptr"}));
        EXPECT_EQ(adds[0].record,
                  (Args{"NULL", "\"New\"", "NULL", "\"LPT2:\"", "\"Generic Text Driver\"",
                        "NULL", "NULL",    "NULL", "NULL",      "\"winprint\"",
                        "NULL", "NULL",    "NULL", "0",         "0",
                        "0",    "0",       "0",    "0",         "0",
                        "0"}));
        EXPECT_EQ(sim::CallsOf("AdjustTokenPrivileges").size(), 1u);
        TextList names;
        manager.ListPrinters(names);
        EXPECT_EQ(std::count(names.begin(), names.end(), "New"), administrator ? 1 : 0);
    }
}

TEST_F(PrinterAdminTest, ConnectionsAreListedAfterAddingAndGoneAfterDeleting) {
    Seed(sim::DefaultMachine());
    const PrinterManager manager;
    const std::string plotter = "\\\\PRINTSRV\\Plotter";
    EXPECT_TRUE(manager.AddPrinterConnection(plotter));
    TextList names;
    manager.ListPrinters(names);
    EXPECT_EQ(names.back(), plotter);
    EXPECT_TRUE(manager.IsNetworkPrinter(plotter));
    EXPECT_TRUE(manager.DeletePrinterConnection(plotter));
    manager.ListPrinters(names);
    EXPECT_EQ(std::count(names.begin(), names.end(), plotter), 0);

    EXPECT_FALSE(manager.AddPrinterConnection("\\\\PRINTSRV\\Nothing"));
    EXPECT_FALSE(manager.AddPrinterConnection("Plotter"));
    EXPECT_FALSE(manager.DeletePrinterConnection(plotter));
}

TEST_F(PrinterAdminTest, Dialogs) {
    Seed(sim::DefaultMachine());
    const PrinterManager manager;
    // Cancelled: no handle.
    EXPECT_EQ(manager.ConnectToPrinterDialog(), 0);
    EXPECT_EQ(sim::CallsOf("ConnectToPrinterDlg").at(0).args.at(1), "0");
    EXPECT_EQ(sim::CallsOf("GetForegroundWindow").size(), 1u);

    // A printer chosen: the handle is the caller's to close.
    sim::Current().dialogs.connectTo = "\\\\PRINTSRV\\Plotter";
    const std::intptr_t handle = manager.ConnectToPrinterDialog();
    ASSERT_NE(handle, 0);
    EXPECT_EQ(sim::OpenPrinterHandles(), 1);
    EXPECT_TRUE(ClosePrinter(reinterpret_cast<HANDLE>(handle)));

    EXPECT_TRUE(manager.ShowPrinterProperties());
    EXPECT_EQ(sim::CallsOf("OpenPrinterA").back().record, (Args{"NULL", "NULL", "0"}));
    sim::Current().dialogs.propertiesOk = false;
    EXPECT_FALSE(manager.ShowPrinterProperties("Office Laser"));

    // The open's result is not examined: the dialog and the close still come, with null.
    sim::ClearCalls();
    EXPECT_FALSE(manager.ShowPrinterProperties("Nowhere"));
    EXPECT_EQ(sim::CallsOf("PrinterProperties").at(0).args.at(1), "NULL");
    EXPECT_EQ(sim::CallsOf("ClosePrinter").at(0).args, Args{"NULL"});
}

}  // namespace
