// The simulated spooler's print queues: documents written through a printer handle become jobs
// (StartDocPrinterA to EndDocPrinter), and the queue is read and controlled with EnumJobsA,
// GetJobA and SetJobA. Nothing is sent to a device, so finished documents stay in the queue with
// their data, where the user and the tests can see what was sent.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sim/buffer.h"
#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/spooler.h"

namespace sim::detail {
namespace {

constexpr DWORD kErrorPrintCancelled = 63;

Printer* PrinterOf(State& state, const PrinterHandleEntry* entry) {
    return entry != nullptr && !entry->server ? FindPrinter(state.machine, entry->printer)
                                              : nullptr;
}

Job* FindJob(Printer& printer, DWORD id) {
    for (Job& job : printer.jobs) {
        if (job.id == id) {
            return &job;
        }
    }
    return nullptr;
}

// The handle's open document, with its job and printer, or an error.
struct Document {
    PrinterHandleEntry* entry = nullptr;
    Job* job = nullptr;
    DWORD error = ERROR_SUCCESS;
};

Document OpenDocument(State& state, HANDLE handle) {
    PrinterHandleEntry* entry = FindPrinterHandle(state, handle);
    Printer* printer = PrinterOf(state, entry);
    if (printer == nullptr) {
        return {nullptr, nullptr, ERROR_INVALID_HANDLE};
    }
    if (entry->documentJob == 0) {
        return {entry, nullptr, ERROR_SPL_NO_STARTDOC};
    }
    Job* job = FindJob(*printer, entry->documentJob);
    return {entry, job, job == nullptr ? kErrorPrintCancelled : ERROR_SUCCESS};
}

template <typename Record>
void FillCommon(Packer& packer, Record& record, const Job& job, const Printer& printer,
                DWORD position) {
    record.JobId = job.id;
    record.pPrinterName = packer.Text(printer.name);
    record.pMachineName = packer.TextOrNull(job.machineName);
    record.pUserName = packer.TextOrNull(job.userName);
    record.pDocument = packer.TextOrNull(job.document);
    record.pDatatype = packer.TextOrNull(job.datatype);
    record.pStatus = packer.TextOrNull(job.statusText);
    record.Status = job.status;
    record.Priority = job.priority;
    record.Position = position;
    record.TotalPages = job.totalPages;
    record.PagesPrinted = job.pagesPrinted;
    record.Submitted = job.submitted;
}

void Fill(Packer& packer, JOB_INFO_1A& record, const Job& job, const Printer& printer,
          DWORD position) {
    FillCommon(packer, record, job, printer, position);
}

void Fill(Packer& packer, JOB_INFO_2A& record, const Job& job, const Printer& printer,
          DWORD position) {
    FillCommon(packer, record, job, printer, position);
    record.pNotifyName = packer.TextOrNull(job.notifyName);
    record.pPrintProcessor = packer.TextOrNull(job.printProcessor);
    record.pParameters = packer.TextOrNull(job.parameters);
    record.pDriverName = packer.TextOrNull(job.driverName);
    record.pDevMode = packer.Extra<DEVMODEA>();
    if (record.pDevMode != nullptr) {
        FillDevMode(*record.pDevMode, printer.devMode, printer.name);
    }
    record.pSecurityDescriptor = nullptr;
    record.StartTime = job.startTime;
    record.UntilTime = job.untilTime;
    record.Size = job.size;
    record.Time = job.time;
}

// Jobs [first, first + count) of the queue; positions count from 1.
template <typename Record>
bool PackJobs(const Printer& printer, std::size_t first, std::size_t count, LPBYTE buffer,
              DWORD cbBuf, LPDWORD pcbNeeded) {
    return PackAnswer(buffer, cbBuf, pcbNeeded, [&](Packer& packer) {
        Record* records = packer.Records<Record>(count);
        for (std::size_t i = 0; i < count; ++i) {
            Fill(packer, records[i], printer.jobs[first + i], printer,
                 static_cast<DWORD>(first + i + 1));
        }
    });
}

bool PackJobsAtLevel(DWORD level, const Printer& printer, std::size_t first, std::size_t count,
                     LPBYTE buffer, DWORD cbBuf, LPDWORD pcbNeeded) {
    switch (level) {
        case 1:
            return PackJobs<JOB_INFO_1A>(printer, first, count, buffer, cbBuf, pcbNeeded);
        case 2:
            return PackJobs<JOB_INFO_2A>(printer, first, count, buffer, cbBuf, pcbNeeded);
        default:
            return Fail(ERROR_INVALID_LEVEL);
    }
}

}  // namespace

// A finished document waits in the queue with no status bits, as on a printer that never comes
// online. A printer that keeps printed documents prints it at once and keeps it (PRINTED and
// RETAINED, every page printed), unless the printer or the job is paused.
void EndDocument(State& state, PrinterHandleEntry& entry) {
    if (entry.documentJob == 0) {
        return;
    }
    if (Printer* printer = PrinterOf(state, &entry)) {
        if (Job* job = FindJob(*printer, entry.documentJob)) {
            job->status &= ~JOB_STATUS_SPOOLING;
            const bool keeps = (printer->attributes & PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS) != 0;
            const bool paused = ((printer->status & PRINTER_STATUS_PAUSED) |
                                 (job->status & JOB_STATUS_PAUSED)) != 0;
            if (keeps && !paused) {
                job->status |= JOB_STATUS_PRINTED | JOB_STATUS_RETAINED;
                job->pagesPrinted = job->totalPages;
            }
        }
    }
    entry.documentJob = 0;
}

void RemoveIfDrained(Machine& machine, const std::string& name) {
    const auto drained = [&](const Printer& printer) {
        return SameName(printer.name, name) &&
               (printer.status & PRINTER_STATUS_PENDING_DELETION) != 0 && printer.jobs.empty();
    };
    if (std::erase_if(machine.printers, drained) != 0 && SameName(machine.defaultPrinter, name)) {
        machine.defaultPrinter.clear();
    }
}

}  // namespace sim::detail

using sim::Job;
using sim::Machine;
using sim::Printer;
using sim::detail::Arg;
using sim::detail::Ptr;
using sim::detail::Run;
using sim::detail::State;
using sim::detail::Text;

DWORD StartDocPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
    using namespace sim::detail;
    const auto* info = Level == 1 ? reinterpret_cast<const DOC_INFO_1A*>(pDocInfo) : nullptr;
    auto record = [&] {
        return info != nullptr ? std::vector<Arg>{Text(info->pDocName), Text(info->pOutputFile),
                                                  Text(info->pDatatype)}
                               : std::vector<Arg>{};
    };
    auto fail = [](DWORD error) { return Fail(error, DWORD{0}); };
    return Run("StartDocPrinterA", DWORD{0}, {Ptr(hPrinter), Level, Ptr(pDocInfo)}, record,
               [&](State& state) -> DWORD {
                   PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
                   Printer* printer = PrinterOf(state, entry);
                   if (printer == nullptr) {
                       return fail(ERROR_INVALID_HANDLE);
                   }
                   if (Level != 1) {
                       return fail(ERROR_INVALID_LEVEL);
                   }
                   if (info == nullptr) {
                       return fail(ERROR_INVALID_PARAMETER);
                   }
                   if (entry->documentJob != 0) {
                       return fail(ERROR_INVALID_PRINTER_STATE);
                   }
                   if ((printer->status & PRINTER_STATUS_PENDING_DELETION) != 0) {
                       return fail(ERROR_PRINTER_DELETED);
                   }
                   Machine& machine = state.machine;
                   const std::string datatype = info->pDatatype != nullptr ? info->pDatatype
                                                : !entry->datatype.empty() ? entry->datatype
                                                                           : printer->datatype;
                   const bool rawOnly = (printer->attributes & PRINTER_ATTRIBUTE_RAW_ONLY) != 0;
                   if (!SupportsDatatype(machine, *printer, datatype) ||
                       (rawOnly && !datatype.starts_with("RAW"))) {
                       return fail(ERROR_INVALID_DATATYPE);
                   }
                   Job job;
                   job.id = machine.nextJobId++;
                   job.document = info->pDocName != nullptr ? info->pDocName : "";
                   job.userName = machine.userName;
                   job.notifyName = machine.userName;
                   job.machineName = machine.machineName;
                   job.datatype = datatype;
                   job.printProcessor = printer->printProcessor;
                   job.driverName = printer->driverName;
                   job.status = JOB_STATUS_SPOOLING;
                   job.submitted = SystemTimeNow();
                   printer->jobs.push_back(std::move(job));
                   entry->documentJob = printer->jobs.back().id;
                   return entry->documentJob;
               });
}

BOOL StartPagePrinter(HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("StartPagePrinter", FALSE, {Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const Document document = OpenDocument(state, hPrinter);
        return document.error != ERROR_SUCCESS ? Fail(document.error) : TRUE;
    });
}

BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
    using namespace sim::detail;
    return Run("WritePrinter", FALSE, {Ptr(hPrinter), Ptr(pBuf), cbBuf, Ptr(pcWritten)},
               [&](State& state) -> BOOL {
                   if (pcWritten != nullptr) {
                       *pcWritten = 0;
                   }
                   const Document document = OpenDocument(state, hPrinter);
                   if (document.error != ERROR_SUCCESS) {
                       return Fail(document.error);
                   }
                   if (pcWritten == nullptr || (pBuf == nullptr && cbBuf != 0)) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   document.job->data.append(static_cast<const char*>(pBuf), cbBuf);
                   document.job->size += cbBuf;
                   *pcWritten = cbBuf;
                   return TRUE;
               });
}

// A page ends when EndPagePrinter says so: the job's page count is the number of these calls.
BOOL EndPagePrinter(HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("EndPagePrinter", FALSE, {Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const Document document = OpenDocument(state, hPrinter);
        if (document.error != ERROR_SUCCESS) {
            return Fail(document.error);
        }
        ++document.job->totalPages;
        return TRUE;
    });
}

BOOL EndDocPrinter(HANDLE hPrinter) {
    using namespace sim::detail;
    return Run("EndDocPrinter", FALSE, {Ptr(hPrinter)}, [&](State& state) -> BOOL {
        const Document document = OpenDocument(state, hPrinter);
        if (document.entry == nullptr || document.error == ERROR_SPL_NO_STARTDOC) {
            return Fail(document.error);
        }
        EndDocument(state, *document.entry);
        return TRUE;
    });
}

BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
               LPDWORD pcbNeeded, LPDWORD pcReturned) {
    using namespace sim::detail;
    return Run(
        "EnumJobsA", FALSE,
        {Ptr(hPrinter), FirstJob, NoJobs, Level, Ptr(pJob), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)},
        [&](State& state) -> BOOL {
            const Printer* printer = PrinterOf(state, FindPrinterHandle(state, hPrinter));
            if (printer == nullptr) {
                return Fail(ERROR_INVALID_HANDLE);
            }
            if (pcbNeeded == nullptr || pcReturned == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            *pcReturned = 0;
            // A first position past the end lists nothing, successfully.
            const std::size_t queued = printer->jobs.size();
            const std::size_t first = std::min<std::size_t>(FirstJob, queued);
            const std::size_t count = std::min<std::size_t>(NoJobs, queued - first);
            if (!PackJobsAtLevel(Level, *printer, first, count, pJob, cbBuf, pcbNeeded)) {
                return FALSE;
            }
            *pcReturned = static_cast<DWORD>(count);
            return TRUE;
        });
}

BOOL GetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
             LPDWORD pcbNeeded) {
    using namespace sim::detail;
    return Run("GetJobA", FALSE, {Ptr(hPrinter), JobId, Level, Ptr(pJob), cbBuf, Ptr(pcbNeeded)},
               [&](State& state) -> BOOL {
                   const Printer* printer = PrinterOf(state, FindPrinterHandle(state, hPrinter));
                   if (printer == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   if (pcbNeeded == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   const auto found = std::find_if(printer->jobs.begin(), printer->jobs.end(),
                                                   [&](const Job& job) { return job.id == JobId; });
                   if (found == printer->jobs.end()) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   const auto position = static_cast<std::size_t>(found - printer->jobs.begin());
                   return PackJobsAtLevel(Level, *printer, position, 1, pJob, cbBuf, pcbNeeded);
               });
}

// Level 0 carries only a command; new job data (levels 1 to 4) is not modelled and gives
// ERROR_NOT_SUPPORTED. A user controls the jobs they sent; other jobs need an administrator or a
// handle with the right to administer the printer or its jobs. A deleted job's document handle
// then writes no more (ERROR_PRINT_CANCELLED), and a printer pending deletion goes with its last
// job.
BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
    using namespace sim::detail;
    return Run("SetJobA", FALSE, {Ptr(hPrinter), JobId, Level, Ptr(pJob), Command},
               [&](State& state) -> BOOL {
                   const PrinterHandleEntry* entry = FindPrinterHandle(state, hPrinter);
                   Printer* printer = PrinterOf(state, entry);
                   if (printer == nullptr) {
                       return Fail(ERROR_INVALID_HANDLE);
                   }
                   Job* job = FindJob(*printer, JobId);
                   if (job == nullptr) {
                       return Fail(ERROR_INVALID_PARAMETER);
                   }
                   if (Level > 4) {
                       return Fail(ERROR_INVALID_LEVEL);
                   }
                   if (Level != 0) {
                       return Fail(ERROR_NOT_SUPPORTED);  // new job data is not modelled
                   }
                   const bool administers =
                       (entry->access & (PRINTER_ACCESS_ADMINISTER | JOB_ACCESS_ADMINISTER)) != 0 ||
                       state.machine.administrator;
                   if (!administers && !SameName(job->userName, state.machine.userName)) {
                       return Fail(ERROR_ACCESS_DENIED);
                   }
                   switch (Command) {
                       case 0:
                       case JOB_CONTROL_SENT_TO_PRINTER:
                       case JOB_CONTROL_LAST_PAGE_EJECTED:
                           return TRUE;
                       case JOB_CONTROL_PAUSE:
                           job->status |= JOB_STATUS_PAUSED;
                           return TRUE;
                       case JOB_CONTROL_RESUME:
                           job->status &= ~JOB_STATUS_PAUSED;
                           return TRUE;
                       case JOB_CONTROL_RESTART:
                           job->status |= JOB_STATUS_RESTART;
                           job->pagesPrinted = 0;
                           return TRUE;
                       case JOB_CONTROL_RETAIN:
                           job->status |= JOB_STATUS_RETAINED;
                           return TRUE;
                       case JOB_CONTROL_RELEASE:
                           job->status &= ~JOB_STATUS_RETAINED;
                           return TRUE;
                       case JOB_CONTROL_CANCEL:
                       case JOB_CONTROL_DELETE: {
                           const DWORD id = job->id;
                           std::erase_if(printer->jobs,
                                         [&](const Job& queued) { return queued.id == id; });
                           RemoveIfDrained(state.machine, entry->printer);
                           return TRUE;
                       }
                       default:
                           return Fail(ERROR_INVALID_PRINTER_COMMAND);
                   }
               });
}
