// tallowind-cli's verbs on the embedded office machine: what each prints, what it changes, and its
// exit status (1 wrong usage, 2 a workbook that cannot be opened, 3 a failed operation).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "platform/sim/sim.h"

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome Cli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { Office(false); }
    static void Office(bool administrator) {
        sim::MachineBuilder builder(sim::DefaultMachine());
        builder.Administrator(administrator);
        sim::Install(builder.Build());
    }
};

TEST_F(CliTest, VerbsPrintWhatTheyRead) {
    struct Case {
        std::vector<std::string> args;
        std::string expected;  // a line or part of the output
    };
    const Case cases[] = {
        {{"printers"}, "* Office Laser\n  Front Desk Inkjet\n"},
        {{"printer", "show", "Office Laser"},
         "Attributes:       0x00000A40 (local, do-complete-first, enable-bidi)"},
        {{"printer", "show", "Office Laser"}, "Status:           0x00000000 (ready)"},
        {{"printer", "show", "\\\\PRINTSRV\\Finance Mono"}, "Network printer:  yes"},
        {{"default"}, "Office Laser\n"},
        {{"ports"}, "192.168.1.20"},
        {{"monitors"}, "Standard TCP/IP Port"},
        {{"processor", "datatypes", "winprint"}, "RAW\nRAW [FF appended]\n"},
        {{"drivers"}, "Generic Label Driver         2.1.0.42         2019-05-08"},
        {{"driver", "show", "Label Printer"}, "Name:              Generic Label Driver"},
        {{"forms"}, "A4                内置  2100   2970"},
        {{"form", "show", "Letter"}, "Width:  21 cm\nHeight: 27 cm"},
        {{"--help"}, "Exit status: 0 success"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const Outcome outcome = Cli(c.args);
        EXPECT_EQ(outcome.status, cli::kExitOk) << outcome.err;
        EXPECT_NE(outcome.out.find(c.expected), std::string::npos) << outcome.out;
    }
}

TEST_F(CliTest, WrongUsageAndFailuresExitNonzeroWithAMessage) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const Case cases[] = {
        {{}, cli::kExitUsage},
        {{"frobnicate"}, cli::kExitUsage},
        {{"printer", "show"}, cli::kExitUsage},
        {{"printer", "set", "Office Laser", "--share", "A", "--unshare"}, cli::kExitUsage},
        {{"job", "pause", "seven"}, cli::kExitUsage},
        {{"print", "book.xlsx"}, cli::kExitUsage},
        {{"printer", "show", "Nowhere"}, cli::kExitFailed},
        {{"printer", "pause", "Office Laser"}, cli::kExitFailed},  // a standard user
        {{"default", "Nowhere"}, cli::kExitFailed},
        {{"connection", "add", "\\\\PRINTSRV\\Nothing"}, cli::kExitFailed},
        {{"sheets", "/nonexistent/book.xlsx"}, cli::kExitWorkbook},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "(nothing)" : c.args[0]);
        const Outcome outcome = Cli(c.args);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_NE(outcome.err.find("tallowind-cli: "), std::string::npos);
    }
}

TEST_F(CliTest, ChangesReachTheMachine) {
    Office(true);
    EXPECT_EQ(Cli({"printer", "set", "Label Printer", "--comment", "Shipping labels", "--share",
                   "LABELS", "--rename", "Labels"})
                  .status,
              cli::kExitOk);
    const std::string shown = Cli({"printer", "show", "Labels"}).out;
    EXPECT_NE(shown.find("Comment:          Shipping labels"), std::string::npos);
    EXPECT_NE(shown.find("Shared:           yes"), std::string::npos);
    EXPECT_NE(shown.find("(shared, local, do-complete-first)"),
              std::string::npos);  // sharing kept the local bit

    EXPECT_EQ(Cli({"connection", "add", "\\\\PRINTSRV\\Plotter"}).status, cli::kExitOk);
    EXPECT_NE(Cli({"printers"}).out.find("  \\\\PRINTSRV\\Plotter\n"), std::string::npos);
    EXPECT_EQ(Cli({"default", "\\\\PRINTSRV\\Plotter"}).status, cli::kExitOk);
    EXPECT_EQ(Cli({"default"}).out, "\\\\PRINTSRV\\Plotter\n");

    EXPECT_EQ(Cli({"form", "add", "Card", "--width", "10", "--height", "15"}).status, cli::kExitOk);
    EXPECT_EQ(Cli({"form", "set", "Card", "--width", "1200"}).status, cli::kExitOk);
    EXPECT_NE(Cli({"form", "show", "Card"}).out.find("Width:  12 cm"), std::string::npos);
    EXPECT_EQ(Cli({"form", "delete", "Card"}).status, cli::kExitOk);

    EXPECT_EQ(Cli({"printer", "pause", "Office Laser"}).status, cli::kExitOk);
    EXPECT_NE(Cli({"printer", "show", "Office Laser"}).out.find("(paused)"), std::string::npos);
    EXPECT_EQ(Cli({"printer", "delete", "Fax"}).status, cli::kExitOk);
    EXPECT_EQ(Cli({"printers"}).out.find("Fax"), std::string::npos);
}

TEST_F(CliTest, WorkbookVerbsListAndPrintOnAPrinterForTheRunOnly) {
    const std::string book = std::string(TALLOWIND_TEST_DATA) + "/office_book.xlsx";
    const Outcome listed = Cli({"sheets", book});
    EXPECT_EQ(listed.status, cli::kExitOk);
    EXPECT_EQ(listed.out.rfind("1\t数据\n2\t季度报表\n3\t隐藏\n", 0), 0u) << listed.out;

    EXPECT_EQ(Cli({"print", book, "--sheets", "2,1", "--printer", "Front Desk Inkjet"}).status,
              cli::kExitOk);
    const auto& jobs = sim::Current().printers[1].jobs;
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].document, "office_book.xlsx - 季度报表");
    EXPECT_EQ(jobs[1].document, "office_book.xlsx - 数据");
    EXPECT_EQ(Cli({"default"}).out, "Office Laser\n");  // put back after the run

    // Put back also when the run fails.
    EXPECT_EQ(Cli({"print", "/nonexistent/book.xlsx", "--all", "--printer", "Fax"}).status,
              cli::kExitWorkbook);
    EXPECT_EQ(Cli({"print", book, "--sheets", "99", "--printer", "Fax"}).status, cli::kExitFailed);
    EXPECT_EQ(Cli({"default"}).out, "Office Laser\n");
    EXPECT_EQ(Cli({"print", book, "--all"}).status, cli::kExitOk);
    EXPECT_EQ(sim::Current().printers[0].jobs.size(), 12u);
}

}  // namespace
