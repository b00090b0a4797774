// The printer functions of the simulated spooler, called as a Windows program calls them: the
// buffer protocol and record contents of EnumPrintersA, the default printer's size and choice
// rules, and OpenPrinterA's access checks and handles.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "sim_fixture.h"

namespace {

constexpr DWORD kLocalAndConnections = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;

std::string Str(const char* text) {
    return text != nullptr ? std::string(text) : std::string("<null>");
}

// The text and device-mode pointers of one record, in field order.
std::vector<const void*> PointersOf(DWORD level, const Enumeration& e, DWORD i) {
    switch (level) {
        case 1: {
            const auto& r = e.At<PRINTER_INFO_1A>(i);
            return {r.pDescription, r.pName, r.pComment};
        }
        case 2: {
            const auto& r = e.At<PRINTER_INFO_2A>(i);
            return {r.pServerName,        r.pPrinterName,    r.pShareName, r.pPortName,
                    r.pDriverName,        r.pComment,        r.pLocation,  r.pDevMode,
                    r.pSepFile,           r.pPrintProcessor, r.pDatatype,  r.pParameters,
                    r.pSecurityDescriptor};
        }
        case 4: {
            const auto& r = e.At<PRINTER_INFO_4A>(i);
            return {r.pPrinterName, r.pServerName};
        }
        case 5: {
            const auto& r = e.At<PRINTER_INFO_5A>(i);
            return {r.pPrinterName, r.pPortName};
        }
    }
    return {};
}

std::size_t RecordSize(DWORD level) {
    switch (level) {
        case 1:
            return sizeof(PRINTER_INFO_1A);
        case 2:
            return sizeof(PRINTER_INFO_2A);
        case 4:
            return sizeof(PRINTER_INFO_4A);
        case 5:
            return sizeof(PRINTER_INFO_5A);
    }
    return 0;
}

std::vector<std::string> NamesAtLevel1(const Enumeration& e) {
    std::vector<std::string> names;
    for (DWORD i = 0; i < e.returned; ++i) {
        names.push_back(Str(e.At<PRINTER_INFO_1A>(i).pName));
    }
    return names;
}

// ---- EnumPrintersA: the buffer protocol, at every supported level ----

class EnumPrintersLevelTest : public SimTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(EnumPrintersLevelTest, SizeQueryThenTooSmallThenExactBuffer) {
    const DWORD level = GetParam();
    DWORD needed = 0;
    DWORD returned = 99;
    SetLastError(0);
    EXPECT_FALSE(
        EnumPrintersA(kLocalAndConnections, nullptr, level, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(returned, 0u);
    // Six records (five local printers and a connection) and their strings.
    ASSERT_GT(needed, 6 * RecordSize(level));

    // One byte short: fails the same way and writes nothing.
    std::vector<BYTE> small(needed - 1, 0xEE);
    DWORD neededAgain = 0;
    returned = 99;
    EXPECT_FALSE(EnumPrintersA(kLocalAndConnections, nullptr, level, small.data(),
                               static_cast<DWORD>(small.size()), &neededAgain, &returned));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(neededAgain, needed);
    EXPECT_EQ(returned, 0u);
    EXPECT_EQ(std::count(small.begin(), small.end(), BYTE{0xEE}),
              static_cast<std::ptrdiff_t>(small.size()));

    // A bigger buffer than needed: the bytes used are reported, the rest is not touched.
    std::vector<BYTE> big(needed + 64, 0xEE);
    DWORD used = 0;
    ASSERT_TRUE(EnumPrintersA(kLocalAndConnections, nullptr, level, big.data(),
                              static_cast<DWORD>(big.size()), &used, &returned));
    EXPECT_EQ(used, needed);
    EXPECT_EQ(returned, 6u);
    EXPECT_EQ(big[needed], 0xEE);
}

TEST_P(EnumPrintersLevelTest, RecordsFirstThenEveryPointerIntoTheStringArea) {
    const DWORD level = GetParam();
    const Enumeration e = EnumeratePrinters(kLocalAndConnections, level);
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.returned, 6u);
    const BYTE* strings = e.buffer.data() + e.returned * RecordSize(level);
    const BYTE* end = e.buffer.data() + e.needed;
    std::uintptr_t previous = 0;
    for (DWORD i = 0; i < e.returned; ++i) {
        for (const void* pointer : PointersOf(level, e, i)) {
            if (pointer == nullptr) {
                continue;
            }
            const auto* p = static_cast<const BYTE*>(pointer);
            EXPECT_GE(p, strings) << "record " << i << " points into the records";
            EXPECT_LT(p, end) << "record " << i << " points outside the buffer";
            const auto address = reinterpret_cast<std::uintptr_t>(p);
            EXPECT_EQ(address % 4, 0u) << "unaligned item";
            // Each item follows the one before it: no two fields share or overlap storage.
            EXPECT_GT(address, previous) << "record " << i;
            previous = address;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, EnumPrintersLevelTest, ::testing::Values(1u, 2u, 4u, 5u));

// ---- EnumPrintersA: flags, levels and record contents ----

using EnumPrintersTest = SimTest;

TEST_F(EnumPrintersTest, FlagsChooseLocalPrintersConnectionsOrBothInSpoolerOrder) {
    const std::vector<std::string> local = {"Office Laser", "Front Desk Inkjet", "Label Printer",
                                            "Save as PDF", "Fax"};
    std::vector<std::string> both = local;
    both.push_back("\\\\PRINTSRV\\Finance Mono");
    struct Case {
        DWORD flags;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {PRINTER_ENUM_LOCAL, local},
        {PRINTER_ENUM_CONNECTIONS, {"\\\\PRINTSRV\\Finance Mono"}},
        {kLocalAndConnections, both},
        {PRINTER_ENUM_LOCAL | PRINTER_ENUM_SHARED, {}},
        {kLocalAndConnections | PRINTER_ENUM_SHARED, {"\\\\PRINTSRV\\Finance Mono"}},
    };
    for (const Case& c : cases) {
        const Enumeration e = EnumeratePrinters(c.flags, 1);
        EXPECT_TRUE(e.ok) << c.flags;
        EXPECT_EQ(NamesAtLevel1(e), c.names) << "flags " << c.flags;
    }
}

TEST_F(EnumPrintersTest, NoPrintersIsSuccessWithBothCountsZero) {
    sim::Install(sim::EmptyMachine());
    DWORD needed = 99;
    DWORD returned = 99;
    EXPECT_TRUE(EnumPrintersA(kLocalAndConnections, nullptr, 2, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
}

TEST_F(EnumPrintersTest, UnsupportedLevelsFailWithInvalidLevel) {
    for (DWORD level : {0u, 3u, 6u, 7u, 8u, 9u, 10u}) {
        DWORD needed = 0;
        DWORD returned = 99;
        SetLastError(0);
        EXPECT_FALSE(
            EnumPrintersA(kLocalAndConnections, nullptr, level, nullptr, 0, &needed, &returned))
            << level;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL) << level;
        EXPECT_EQ(returned, 0u);
    }
}

TEST_F(EnumPrintersTest, Level1DescribesLocalPrintersAndConnections) {
    const Enumeration e = EnumeratePrinters(kLocalAndConnections, 1);
    ASSERT_TRUE(e.ok);
    const auto& laser = e.At<PRINTER_INFO_1A>(0);
    EXPECT_EQ(laser.Flags, PRINTER_ENUM_ICON8);
    EXPECT_EQ(Str(laser.pName), "Office Laser");
    EXPECT_EQ(Str(laser.pDescription), "Office Laser,Generic Laser Class Driver,2F Copy Room");
    EXPECT_EQ(Str(laser.pComment), sim::DefaultMachine().printers[0].comment);

    const auto& pdf = e.At<PRINTER_INFO_1A>(3);  // no location, no comment
    EXPECT_EQ(Str(pdf.pDescription), "Save as PDF,Save as PDF Driver,");
    EXPECT_EQ(Str(pdf.pComment), "");

    const auto& finance = e.At<PRINTER_INFO_1A>(5);
    EXPECT_EQ(Str(finance.pName), "\\\\PRINTSRV\\Finance Mono");
    EXPECT_EQ(Str(finance.pDescription),
              "\\\\PRINTSRV\\Finance Mono,Generic Laser Class Driver,3F Finance");
}

TEST_F(EnumPrintersTest, Level2EmptyFieldsPointAtEmptyTextAndServerIsNullOnlyForLocal) {
    sim::MachineBuilder builder(sim::DefaultMachine());
    builder.AddJob("Office Laser", sim::Job{}).AddJob("Office Laser", sim::Job{});
    sim::Install(builder.Build());
    const Enumeration e = EnumeratePrinters(kLocalAndConnections, 2);
    ASSERT_TRUE(e.ok);

    const auto& laser = e.At<PRINTER_INFO_2A>(0);
    EXPECT_EQ(laser.pServerName, nullptr);
    EXPECT_EQ(Str(laser.pPrinterName), "Office Laser");
    EXPECT_EQ(Str(laser.pPortName), "192.168.1.20");
    EXPECT_EQ(Str(laser.pDriverName), "Generic Laser Class Driver");
    EXPECT_EQ(Str(laser.pLocation), "2F Copy Room");
    for (const char* empty : {laser.pShareName, laser.pSepFile, laser.pParameters}) {
        ASSERT_NE(empty, nullptr);
        EXPECT_STREQ(empty, "");
    }
    EXPECT_EQ(Str(laser.pPrintProcessor), "winprint");
    EXPECT_EQ(Str(laser.pDatatype), "RAW");
    EXPECT_EQ(laser.pSecurityDescriptor, nullptr);
    EXPECT_EQ(laser.Attributes, PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST |
                                    PRINTER_ATTRIBUTE_ENABLE_BIDI);
    EXPECT_EQ(laser.Priority, 1u);
    EXPECT_EQ(laser.cJobs, 2u);
    EXPECT_EQ(e.At<PRINTER_INFO_2A>(1).cJobs, 0u);

    const auto& finance = e.At<PRINTER_INFO_2A>(5);
    EXPECT_EQ(Str(finance.pServerName), "\\\\PRINTSRV");
    EXPECT_EQ(Str(finance.pPrinterName), "\\\\PRINTSRV\\Finance Mono");
    EXPECT_NE(finance.Attributes & PRINTER_ATTRIBUTE_NETWORK, 0u);
    EXPECT_EQ(finance.Attributes & PRINTER_ATTRIBUTE_LOCAL, 0u);
}

TEST_F(EnumPrintersTest, Level2DeviceModeIsPackedWithTheNameCutTo31Bytes) {
    const std::string longName(40, 'N');
    sim::Install(sim::MachineBuilder().AddPrinter(longName).AddPrinter("Short").Build());
    const Enumeration e = EnumeratePrinters(PRINTER_ENUM_LOCAL, 2);
    ASSERT_TRUE(e.ok);
    ASSERT_EQ(e.returned, 2u);

    const DEVMODEA* first = e.At<PRINTER_INFO_2A>(0).pDevMode;
    const DEVMODEA* second = e.At<PRINTER_INFO_2A>(1).pDevMode;
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % alignof(DEVMODEA), 0u);
    EXPECT_EQ(first->dmSize, 156);
    EXPECT_EQ(first->dmSpecVersion, 0x401);
    EXPECT_EQ(first->dmDriverExtra, 0);
    EXPECT_EQ(first->dmFields, DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_FORMNAME);
    EXPECT_EQ(first->dmOrientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(first->dmPaperSize, DMPAPER_A4);
    EXPECT_EQ(first->dmCopies, 1);
    EXPECT_STREQ(reinterpret_cast<const char*>(first->dmFormName), "A4");
    EXPECT_EQ(reinterpret_cast<const char*>(first->dmDeviceName), std::string(31, 'N'));
    EXPECT_STREQ(reinterpret_cast<const char*>(second->dmDeviceName), "Short");
    // The device mode lies inside the buffer, whole.
    EXPECT_LE(reinterpret_cast<const BYTE*>(second) + sizeof(DEVMODEA), e.buffer.data() + e.needed);
}

TEST_F(EnumPrintersTest, Level4CarriesLocalOrNetworkAttributeAndServer) {
    const Enumeration e = EnumeratePrinters(kLocalAndConnections, 4);
    ASSERT_TRUE(e.ok);
    for (DWORD i = 0; i < e.returned; ++i) {
        const auto& r = e.At<PRINTER_INFO_4A>(i);
        const bool connection = i == e.returned - 1;
        EXPECT_EQ((r.Attributes & PRINTER_ATTRIBUTE_LOCAL) != 0, !connection) << i;
        EXPECT_EQ((r.Attributes & PRINTER_ATTRIBUTE_NETWORK) != 0, connection) << i;
        EXPECT_EQ(Str(r.pServerName), connection ? "\\\\PRINTSRV" : "<null>") << i;
    }
}

TEST_F(EnumPrintersTest, NameFlagListsWhatTheNameNames) {
    char empty[] = "";
    char thisMachine[] = "\\\\OFFICE-PC";
    char server[] = "\\\\printsrv";
    char unknown[] = "\\\\NOWHERE";
    struct Case {
        LPSTR name;
        DWORD level;
        BOOL ok;
        DWORD error;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {empty, 4, FALSE, ERROR_INVALID_FLAGS, {}},  // level 4 takes LOCAL and CONNECTIONS only
        {empty,
         5,
         TRUE,
         0,
         {"Office Laser", "Front Desk Inkjet", "Label Printer", "Save as PDF", "Fax"}},
        {thisMachine,
         5,
         TRUE,
         0,
         {"\\\\OFFICE-PC\\Office Laser", "\\\\OFFICE-PC\\Front Desk Inkjet",
          "\\\\OFFICE-PC\\Label Printer", "\\\\OFFICE-PC\\Save as PDF", "\\\\OFFICE-PC\\Fax"}},
        {server, 5, TRUE, 0, {"\\\\PRINTSRV\\Finance Mono"}},
        {unknown, 5, FALSE, ERROR_INVALID_NAME, {}},
    };
    for (const Case& c : cases) {
        Enumeration e = EnumeratePrinters(PRINTER_ENUM_NAME, c.level, c.name);
        EXPECT_EQ(e.ok, c.ok) << c.name;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), c.error) << c.name;
            continue;
        }
        std::vector<std::string> names;
        for (DWORD i = 0; i < e.returned; ++i) {
            names.push_back(Str(e.At<PRINTER_INFO_5A>(i).pPrinterName));
        }
        EXPECT_EQ(names, c.names) << c.name;
    }
}

TEST_F(EnumPrintersTest, NullCountPointersAreRejected) {
    DWORD count = 0;
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, nullptr, &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

// ---- GetDefaultPrinterA ----

using GetDefaultPrinterTest = SimTest;

TEST_F(GetDefaultPrinterTest, CountsCharactersWithTheNulBothWays) {
    // "Office Laser" is 12 characters: 13 with its NUL.
    struct Case {
        bool buffer;
        DWORD size;
        BOOL ok;
        DWORD sizeAfter;
    };
    const Case cases[] = {
        {false, 0, FALSE, 13}, {false, 100, FALSE, 13}, {true, 0, FALSE, 13},
        {true, 12, FALSE, 13}, {true, 13, TRUE, 13},    {true, 100, TRUE, 13},
    };
    for (const Case& c : cases) {
        char text[100];
        std::memset(text, 'x', sizeof(text));
        DWORD size = c.size;
        SetLastError(0);
        EXPECT_EQ(GetDefaultPrinterA(c.buffer ? text : nullptr, &size), c.ok) << c.size;
        EXPECT_EQ(size, c.sizeAfter) << c.size;
        if (c.ok) {
            EXPECT_STREQ(text, "Office Laser");
        } else {
            EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER) << c.size;
            EXPECT_EQ(text[0], 'x') << "a failed call must not write";
        }
    }
}

TEST_F(GetDefaultPrinterTest, LongConnectionNameOf150BytesComesBackWhole) {
    // \\SERVER\ plus a share name: 149 characters, 150 bytes with the NUL.
    const std::string name = "\\\\SERVER\\" + std::string(140, 'p');
    ASSERT_EQ(name.size() + 1, 150u);
    sim::Install(sim::MachineBuilder().AddConnection(name).Default(name).Build());

    DWORD size = 0;
    EXPECT_FALSE(GetDefaultPrinterA(nullptr, &size));
    EXPECT_EQ(size, 150u);
    std::vector<char> text(150, 'x');
    size = 149;
    EXPECT_FALSE(GetDefaultPrinterA(text.data(), &size));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(size, 150u);
    ASSERT_TRUE(GetDefaultPrinterA(text.data(), &size));
    EXPECT_EQ(size, 150u);
    EXPECT_EQ(std::string(text.data()), name);
}

TEST_F(GetDefaultPrinterTest, NoDefaultOrMissingCountPointer) {
    char text[64];
    DWORD size = sizeof(text);
    EXPECT_FALSE(GetDefaultPrinterA(text, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    sim::Install(sim::EmptyMachine());
    EXPECT_FALSE(GetDefaultPrinterA(text, &size));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

    // A default naming a printer that is gone is no default.
    sim::Install(sim::MachineBuilder().AddPrinter("Kept").Default("Gone").Build());
    EXPECT_FALSE(GetDefaultPrinterA(text, &size));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// ---- SetDefaultPrinterA ----

using SetDefaultPrinterTest = SimTest;

TEST_F(SetDefaultPrinterTest, ChoosesKeepsOrRefusesAsTheNameSays) {
    const sim::Machine office = sim::DefaultMachine();
    const sim::Machine noDefault =
        sim::MachineBuilder().AddPrinter("First").AddPrinter("Second").Build();
    const sim::Machine onlyConnection =
        sim::MachineBuilder().AddConnection("\\\\SRV\\Only").Build();
    const sim::Machine staleDefault =
        sim::MachineBuilder().AddPrinter("First").Default("Deleted").Build();
    const sim::Machine empty = sim::EmptyMachine();
    struct Case {
        const char* label;
        const sim::Machine& machine;
        const char* name;
        BOOL ok;
        DWORD error;
        std::string defaultAfter;
    };
    const Case cases[] = {
        {"null keeps the default", office, nullptr, TRUE, 0, "Office Laser"},
        {"empty keeps the default", office, "", TRUE, 0, "Office Laser"},
        {"null without default picks the first", noDefault, nullptr, TRUE, 0, "First"},
        {"empty without default picks the first", noDefault, "", TRUE, 0, "First"},
        {"a connection is picked when alone", onlyConnection, nullptr, TRUE, 0, "\\\\SRV\\Only"},
        {"a stale default is replaced", staleDefault, nullptr, TRUE, 0, "First"},
        {"no printers", empty, nullptr, FALSE, ERROR_INVALID_PRINTER_NAME, ""},
        {"unknown name", office, "Nowhere", FALSE, ERROR_INVALID_PRINTER_NAME, "Office Laser"},
        {"names ignore case", office, "front desk INKJET", TRUE, 0, "Front Desk Inkjet"},
        {"a connection by name", office, "\\\\PRINTSRV\\Finance Mono", TRUE, 0,
         "\\\\PRINTSRV\\Finance Mono"},
    };
    for (const Case& c : cases) {
        sim::Install(c.machine);
        SetLastError(0);
        EXPECT_EQ(SetDefaultPrinterA(c.name), c.ok) << c.label;
        if (!c.ok) {
            EXPECT_EQ(GetLastError(), c.error) << c.label;
        }
        char text[260] = "";
        DWORD size = sizeof(text);
        const BOOL has = GetDefaultPrinterA(text, &size);
        EXPECT_EQ(has ? std::string(text) : std::string(), c.defaultAfter) << c.label;
    }
}

// ---- OpenPrinterA and ClosePrinter ----

using OpenPrinterTest = SimTest;

TEST_F(OpenPrinterTest, AccessIsCheckedAgainstTheUsersRights) {
    char laser[] = "Office Laser";
    char finance[] = "\\\\PRINTSRV\\Finance Mono";
    char qualified[] = "\\\\OFFICE-PC\\Office Laser";
    char unknown[] = "Nowhere";
    char withJob[] = "Office Laser,Job 1";
    struct Case {
        const char* label;
        bool administrator;
        LPSTR name;
        bool withDefaults;
        DWORD access;
        BOOL ok;
        DWORD error;
    };
    const Case cases[] = {
        {"no defaults means use", false, laser, false, 0, TRUE, 0},
        {"use", false, laser, true, PRINTER_ACCESS_USE, TRUE, 0},
        {"read", false, laser, true, PRINTER_READ, TRUE, 0},
        {"standard user, all access", false, laser, true, PRINTER_ALL_ACCESS, FALSE,
         ERROR_ACCESS_DENIED},
        {"standard user, administer", false, laser, true, PRINTER_ACCESS_ADMINISTER, FALSE,
         ERROR_ACCESS_DENIED},
        {"administrator, all access", true, laser, true, PRINTER_ALL_ACCESS, TRUE, 0},
        {"a connection", false, finance, true, PRINTER_ACCESS_USE, TRUE, 0},
        {"this machine's name in front", false, qualified, false, 0, TRUE, 0},
        {"unknown printer", false, unknown, false, 0, FALSE, ERROR_INVALID_PRINTER_NAME},
        {"unknown printer, administrator", true, unknown, true, PRINTER_ALL_ACCESS, FALSE,
         ERROR_INVALID_PRINTER_NAME},
        {"job form not modelled", false, withJob, false, 0, FALSE, ERROR_INVALID_PRINTER_NAME},
        {"server, enumerate", false, nullptr, true, SERVER_ACCESS_ENUMERATE, TRUE, 0},
        {"server, no defaults", false, nullptr, false, 0, TRUE, 0},
        {"server, standard user, all access", false, nullptr, true, SERVER_ALL_ACCESS, FALSE,
         ERROR_ACCESS_DENIED},
        {"server, administrator, all access", true, nullptr, true, SERVER_ALL_ACCESS, TRUE, 0},
    };
    for (const Case& c : cases) {
        sim::SetAdministrator(c.administrator);
        PRINTER_DEFAULTSA defaults{nullptr, nullptr, c.access};
        HANDLE handle = reinterpret_cast<HANDLE>(std::uintptr_t{0x5EED});
        SetLastError(0);
        EXPECT_EQ(OpenPrinterA(c.name, &handle, c.withDefaults ? &defaults : nullptr), c.ok)
            << c.label;
        if (c.ok) {
            EXPECT_NE(handle, nullptr) << c.label;
            EXPECT_EQ(sim::OpenPrinterHandles(), 1) << c.label;
            EXPECT_TRUE(ClosePrinter(handle)) << c.label;
        } else {
            EXPECT_EQ(GetLastError(), c.error) << c.label;
            EXPECT_TRUE(handle == nullptr || handle == reinterpret_cast<HANDLE>(0x5EED)) << c.label;
            EXPECT_EQ(sim::OpenPrinterHandles(), 0) << c.label;
        }
    }
}

TEST_F(OpenPrinterTest, PrinterClosedToStandardUsersAndUnsupportedDatatype) {
    sim::Current().printers[0].standardUserAccess = 0;
    char laser[] = "Office Laser";
    HANDLE handle = nullptr;
    EXPECT_FALSE(OpenPrinterA(laser, &handle, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    char inkjet[] = "Front Desk Inkjet";
    char raw[] = "raw";
    char bogus[] = "BOGUS";
    PRINTER_DEFAULTSA defaults{bogus, nullptr, PRINTER_ACCESS_USE};
    EXPECT_FALSE(OpenPrinterA(inkjet, &handle, &defaults));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_DATATYPE);
    defaults.pDatatype = raw;
    ASSERT_TRUE(OpenPrinterA(inkjet, &handle, &defaults));
    EXPECT_TRUE(ClosePrinter(handle));
}

TEST_F(OpenPrinterTest, MissingHandlePointerIsAnInvalidParameter) {
    char laser[] = "Office Laser";
    EXPECT_FALSE(OpenPrinterA(laser, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(OpenPrinterTest, HandlesAreCountedAndStaleOnesRejected) {
    char laser[] = "Office Laser";
    char fax[] = "Fax";
    HANDLE first = nullptr;
    HANDLE second = nullptr;
    ASSERT_TRUE(OpenPrinterA(laser, &first, nullptr));
    ASSERT_TRUE(OpenPrinterA(fax, &second, nullptr));
    EXPECT_NE(first, second);
    EXPECT_EQ(sim::OpenPrinterHandles(), 2);
    EXPECT_TRUE(ClosePrinter(first));
    EXPECT_EQ(sim::OpenPrinterHandles(), 1);

    // Closed, never opened, null, a token, or from before the machine was replaced.
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    for (HANDLE bad :
         {first, static_cast<HANDLE>(nullptr), reinterpret_cast<HANDLE>(0x1234), token}) {
        SetLastError(0);
        EXPECT_FALSE(ClosePrinter(bad));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
    EXPECT_TRUE(CloseHandle(token));
    sim::Install(sim::DefaultMachine());
    EXPECT_FALSE(ClosePrinter(second));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(sim::OpenPrinterHandles(), 0);
}

// ---- GetPrinterA ----

using GetPrinterTest = SimTest;

TEST_F(GetPrinterTest, ReadsTheOpenedPrinterWithTheBufferProtocol) {
    char finance[] = "\\\\printsrv\\finance mono";
    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterA(finance, &handle, nullptr));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterA(handle, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2A) + sizeof(DEVMODEA));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterA(handle, 2, buffer.data(), needed, &needed));
    const auto& info = *reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    EXPECT_STREQ(info.pPrinterName, "\\\\PRINTSRV\\Finance Mono");
    EXPECT_STREQ(info.pServerName, "\\\\PRINTSRV");
    EXPECT_FALSE(GetPrinterA(handle, 3, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_TRUE(ClosePrinter(handle));

    EXPECT_FALSE(GetPrinterA(handle, 2, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
