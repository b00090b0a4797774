// tallowind-cli's workbook verbs: `sheets` lists a workbook's sheets, `print` prints some or all of
// them through each sheet's PrintOut, optionally on a printer made the default for the run only.
#include "cli/commands.h"

#include <atomic>
#include <charconv>
#include <csignal>
#include <optional>
#include <set>

#include "platform/excel.h"
#include "printing/printer_manager.h"

namespace cli {

namespace {

// A running hidden Excel with the workbook opened, quit when the session ends.
class WorkbookSession {
  public:
    bool Open(const std::string& path) {
        if (!app_.Start()) {
            return false;
        }
        app_.Visible(false);
        return workbooks_.AttachToApplication(app_) && workbooks_.Open(path);
    }
    ~WorkbookSession() {
        app_.Quit();
        app_.Release();
    }
    ExcelWorkbooks& workbooks() { return workbooks_; }

  private:
    ExcelApp app_;
    ExcelWorkbooks workbooks_;
};

int Sheets(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 2) {
        return Usage(err, "sheets takes exactly one FILE");
    }
    WorkbookSession session;
    if (!session.Open(args[1])) {
        err << "tallowind-cli: cannot open the workbook " << args[1] << "\n";
        return kExitWorkbook;
    }
    ExcelWorkbooks& workbooks = session.workbooks();
    const int32_t count = workbooks.SheetCount();
    for (int32_t i = 1; i <= count; ++i) {
        workbooks.CurrentSheetIndex(i);
        out << i << '\t' << workbooks.CurrentSheetName() << '\n';
    }
    return kExitOk;
}

std::optional<std::vector<int32_t>> ParseSheetNumbers(const std::string& text) {
    std::vector<int32_t> numbers;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const size_t end = comma == std::string::npos ? text.size() : comma;
        int32_t number = 0;
        const auto [next, error] = std::from_chars(text.data() + start, text.data() + end, number);
        if (error != std::errc() || next != text.data() + end || number < 1) {
            return std::nullopt;
        }
        numbers.push_back(number);
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return numbers;
}

// Set by SIGINT/SIGTERM: printing stops after the current sheet and the default is put back.
std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted = true;
}

// Makes a printer the default for the run; puts the previous default back on every path.
class DefaultPrinterForRun {
  public:
    bool Switch(const std::string& printer) {
        previous_ = manager_.GetDefaultPrinter();
        switched_ = true;
        return manager_.SetDefaultPrinter(printer);
    }
    ~DefaultPrinterForRun() {
        if (switched_) {
            manager_.SetDefaultPrinter(previous_);
        }
    }

  private:
    PrinterManager manager_;
    std::string previous_;
    bool switched_ = false;
};

// Restores the previous signal handlers when printing ends.
class InterruptGuard {
  public:
    InterruptGuard() {
        interrupted = false;
        previousInt_ = std::signal(SIGINT, OnInterrupt);
        previousTerm_ = std::signal(SIGTERM, OnInterrupt);
    }
    ~InterruptGuard() {
        std::signal(SIGINT, previousInt_);
        std::signal(SIGTERM, previousTerm_);
    }

  private:
    void (*previousInt_)(int);
    void (*previousTerm_)(int);
};

int Print(const Args& args, std::ostream& err) {
    std::string file;
    std::optional<std::string> printer;
    bool all = false;
    std::optional<std::vector<int32_t>> numbers;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--all") {
            all = true;
        } else if (arg == "--sheets" && i + 1 < args.size()) {
            numbers = ParseSheetNumbers(args[++i]);
            if (!numbers) {
                return Usage(err, "--sheets takes numbers from 1, separated by commas");
            }
        } else if (arg == "--printer" && i + 1 < args.size()) {
            printer = args[++i];
        } else if (!arg.starts_with("--") && file.empty()) {
            file = arg;
        } else {
            return Usage(err, "unexpected argument " + arg);
        }
    }
    if (file.empty() || all == numbers.has_value()) {
        return Usage(err, "print takes FILE and exactly one of --all and --sheets");
    }

    InterruptGuard interruptGuard;
    DefaultPrinterForRun defaultPrinter;
    if (printer && !defaultPrinter.Switch(*printer)) {
        err << "tallowind-cli: cannot make " << *printer << " the default printer\n";
        return kExitFailed;
    }
    WorkbookSession session;
    if (!session.Open(file)) {
        err << "tallowind-cli: cannot open the workbook " << file << "\n";
        return kExitWorkbook;
    }
    ExcelWorkbooks& workbooks = session.workbooks();
    const int32_t count = workbooks.SheetCount();
    if (all) {
        numbers.emplace();
        for (int32_t i = 1; i <= count; ++i) {
            numbers->push_back(i);
        }
    }
    int status = kExitOk;
    for (const int32_t number : *numbers) {
        if (interrupted) {
            err << "tallowind-cli: interrupted\n";
            return kExitFailed;
        }
        if (number > count) {
            err << "tallowind-cli: the workbook has no sheet " << number << "\n";
            status = kExitFailed;
            continue;
        }
        workbooks.CurrentSheetIndex(number);
        const std::string name = workbooks.CurrentSheetName();
        if (!workbooks.GetCurrentSheetObject().TryCallMethod("PrintOut")) {
            err << "tallowind-cli: printing sheet " << number << " (" << name << ") failed\n";
            status = kExitFailed;
        }
    }
    return status;
}

}  // namespace

int RunWorkbookVerb(const Args& args, std::ostream& out, std::ostream& err) {
    return args[0] == "sheets" ? Sheets(args, out, err) : Print(args, err);
}

}  // namespace cli
