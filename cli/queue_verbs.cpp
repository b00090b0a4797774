// tallowind-cli's queue verbs: the job table of a printer, the four job commands, and a text or a
// file sent unchanged as one raw document.
#include <charconv>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/options.h"
#include "printing/printer_manager.h"

namespace cli {

namespace {

// JOB_STATUS_* bits, in value order.
constexpr Bit kJobStatusBits[] = {
    {0x1, "paused"},
    {0x2, "error"},
    {0x4, "deleting"},
    {0x8, "spooling"},
    {0x10, "printing"},
    {0x20, "offline"},
    {0x40, "paper-out"},
    {0x80, "printed"},
    {0x100, "deleted"},
    {0x200, "blocked-devq"},
    {0x400, "user-intervention"},
    {0x800, "restart"},
    {0x1000, "complete"},
    {0x2000, "retained"},
    {0x4000, "rendering-locally"},
};

PrinterManager::Name PrinterOption(const Options& options) {
    if (const auto printer = options.Value("--printer")) {
        return *printer;
    }
    return std::nullopt;
}

int Jobs(const Args& args, std::ostream& out, std::ostream& err) {
    if (args.size() > 2) {
        return Usage(err, "jobs takes at most one printer name");
    }
    const PrinterManager::Name printer =
        args.size() == 2 ? PrinterManager::Name(args[1]) : std::nullopt;
    std::vector<JobEntry> jobs;
    if (PrinterManager().ListJobs(printer, jobs) < 0) {
        return Failed(
            err, "the queue of " + printer.value_or("the default printer") + " cannot be read");
    }
    TextList ids, documents, users, pages, sizes, statuses, submitted;
    for (const JobEntry& job : jobs) {
        ids.push_back(std::to_string(job.jobId));
        documents.push_back(job.documentName);
        users.push_back(job.userName);
        pages.push_back(std::to_string(job.totalPages));
        sizes.push_back(std::to_string(job.size));
        statuses.push_back(Decode(job.status, kJobStatusBits, "queued"));
        submitted.push_back(job.submittedText);
    }
    Table(out, {"ID", "DOCUMENT", "USER", "PAGES", "SIZE", "STATUS", "SUBMITTED"},
          {&ids, &documents, &users, &pages, &sizes, &statuses, &submitted});
    return kExitOk;
}

int Job(const Args& args, std::ostream& err) {
    if (args.size() < 3) {
        return Usage(err, "job pause|resume|delete|restart ID [--printer NAME]");
    }
    const std::string& action = args[1];
    int32_t id = 0;
    const auto [end, error] = std::from_chars(args[2].data(), args[2].data() + args[2].size(), id);
    if (error != std::errc() || end != args[2].data() + args[2].size() || id <= 0) {
        return Usage(err, "a job is named by its number: " + args[2]);
    }
    std::string problem;
    const auto options = ParseOptions(args, 3, {"--printer"}, {}, problem);
    if (!options) {
        return Usage(err, problem);
    }
    using Command = bool (PrinterManager::*)(const PrinterManager::Name&, int32_t) const;
    Command command = nullptr;
    if (action == "pause") {
        command = &PrinterManager::PauseJob;
    } else if (action == "resume") {
        command = &PrinterManager::ResumeJob;
    } else if (action == "delete") {
        command = &PrinterManager::DeleteJob;
    } else if (action == "restart") {
        command = &PrinterManager::RestartJob;
    } else {
        return Usage(err, "unknown job action " + action);
    }
    if (!(PrinterManager().*command)(PrinterOption(*options), id)) {
        return Failed(err, "cannot " + action + " job " + args[2] +
                               " (is it in the queue, and may you administer the printer?)");
    }
    return kExitOk;
}

int PrintRaw(const Args& args, std::ostream& err) {
    std::string problem;
    // A FILE argument may stand anywhere; take it out before reading the options.
    Args rest{args[0]};
    std::string file;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i].starts_with("--")) {
            rest.push_back(args[i]);
            if (i + 1 < args.size()) {
                rest.push_back(args[++i]);
            }
        } else if (file.empty()) {
            file = args[i];
        } else {
            return Usage(err, "print-raw takes one FILE");
        }
    }
    const auto options = ParseOptions(rest, 1, {"--printer", "--name", "--text"}, {}, problem);
    if (!options) {
        return Usage(err, problem);
    }
    const auto text = options->Value("--text");
    if (text.has_value() == !file.empty()) {
        return Usage(err, "print-raw takes exactly one of --text and FILE");
    }
    std::string data;
    if (text) {
        data = *text;
    } else {
        std::ifstream input(file, std::ios::binary);
        if (!input) {
            return Failed(err, "cannot read " + file);
        }
        data.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    }
    const std::string name = options->Value("--name").value_or(text ? "" : file);
    if (!PrinterManager().PrintRawText(PrinterOption(*options), name, data)) {
        return Failed(err,
                      "the printer did not take the data (it is opened with full access, which "
                      "needs administrator rights)");
    }
    return kExitOk;
}

}  // namespace

int RunQueueVerb(const Args& args, std::ostream& out, std::ostream& err) {
    if (args[0] == "jobs") {
        return Jobs(args, out, err);
    }
    if (args[0] == "job") {
        return Job(args, err);
    }
    return PrintRaw(args, err);
}

}  // namespace cli
