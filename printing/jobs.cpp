// PrinterManager's print-queue operations: the job list and one job as JobEntry records with
// their submission time in UTC+8, the four job commands, and a text sent as a raw document.
#include <array>
#include <cstring>

#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::ChoosePrinter;
using printing::CopyText;
using printing::GlobalBlock;
using printing::PrinterHandle;
using printing::TextArg;

namespace {

// The queue is read from position 0, at most this many jobs.
constexpr DWORD kMaxJobs = 99;
constexpr int kHoursAhead = 8;  // UTC+8, whatever the computer's time zone

JobEntry EntryOf(const JOB_INFO_2A& job, const PrinterManager& manager) {
    JobEntry entry;
    entry.jobId = static_cast<int32_t>(job.JobId);
    entry.printerName = CopyText(job.pPrinterName);
    entry.machineName = CopyText(job.pMachineName);
    entry.userName = CopyText(job.pUserName);
    entry.notifyName = CopyText(job.pNotifyName);
    entry.documentName = CopyText(job.pDocument);
    entry.dataType = CopyText(job.pDatatype);
    entry.printProcessor = CopyText(job.pPrintProcessor);
    entry.driverName = CopyText(job.pDriverName);
    entry.submittedText = manager.FormatSubmittedTime(job.Submitted);
    entry.size = static_cast<int32_t>(job.Size);
    entry.totalPages = static_cast<int32_t>(job.TotalPages);
    entry.status = static_cast<int32_t>(job.Status);
    entry.priority = static_cast<int32_t>(job.Priority);
    return entry;
}

bool ControlJob(const PrinterManager::Name& printerName, int32_t jobId, DWORD command) {
    const PrinterHandle printer(ChoosePrinter(printerName), PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    return ::SetJobA(printer.get(), static_cast<DWORD>(jobId), 0, nullptr, command) != 0;
}

// Days since 1970-01-01 of a proleptic Gregorian date, and back (Howard Hinnant's algorithms).
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

std::string TwoDigits(int64_t value) {
    return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value);
}

}  // namespace

int PrinterManager::ListJobs(const Name& printerName, std::vector<JobEntry>& jobs) const {
    jobs.clear();
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return -1;
    }
    // A failed read is -1 like every other enumeration, never a count that reads as "no jobs".
    return printing::EnumerateTwoPass<JOB_INFO_2A>(
        [&](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumJobsA(printer.get(), 0, kMaxJobs, 2, buffer, size, needed, returned);
        },
        [&](const JOB_INFO_2A& job) { jobs.push_back(EntryOf(job, *this)); });
}

std::string PrinterManager::GetWeekdayName(int32_t weekday) const {
    static constexpr std::array<const char*, 7> kNames = {"星期天", "星期一", "星期二", "星期三",
                                                          "星期四", "星期五", "星期六"};
    return weekday >= 0 && weekday < 7 ? kNames[static_cast<size_t>(weekday)] : "";
}

bool PrinterManager::PauseJob(const Name& printerName, int32_t jobId) const {
    return ControlJob(printerName, jobId, JOB_CONTROL_PAUSE);
}

bool PrinterManager::ResumeJob(const Name& printerName, int32_t jobId) const {
    return ControlJob(printerName, jobId, JOB_CONTROL_RESUME);
}

bool PrinterManager::DeleteJob(const Name& printerName, int32_t jobId) const {
    return ControlJob(printerName, jobId, JOB_CONTROL_DELETE);
}

bool PrinterManager::RestartJob(const Name& printerName, int32_t jobId) const {
    return ControlJob(printerName, jobId, JOB_CONTROL_RESTART);
}

// Every step after the open is taken whatever the earlier ones returned; WritePrinter decides.
bool PrinterManager::PrintRawText(const Name& printerName, const std::string& documentName,
                                  const std::string& data) const {
    const PrinterHandle printer(ChoosePrinter(printerName), PRINTER_ALL_ACCESS);
    if (!printer) {
        return false;
    }
    DOC_INFO_1A document{TextArg(documentName), nullptr, nullptr};
    ::StartDocPrinterA(printer.get(), 1, reinterpret_cast<LPBYTE>(&document));
    ::StartPagePrinter(printer.get());
    DWORD written = 0;
    const BOOL result = ::WritePrinter(printer.get(), const_cast<char*>(data.data()),
                                       static_cast<DWORD>(data.size()), &written);
    ::EndPagePrinter(printer.get());
    ::EndDocPrinter(printer.get());
    return result != 0;
}

JobEntry PrinterManager::GetJob(const Name& printerName, int32_t jobId) const {
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return JobEntry{};
    }
    DWORD needed = 0;
    ::GetJobA(printer.get(), static_cast<DWORD>(jobId), 2, nullptr, 0, &needed);
    const GlobalBlock block(needed);
    if (!::GetJobA(printer.get(), static_cast<DWORD>(jobId), 2, block.data(), block.size(),
                   &needed) ||
        block.size() < sizeof(JOB_INFO_2A)) {
        return JobEntry{};
    }
    JOB_INFO_2A job;
    std::memcpy(&job, block.data(), sizeof(job));
    return EntryOf(job, *this);
}

std::string PrinterManager::FormatSubmittedTime(const SYSTEMTIME& submitted) const {
    const int64_t seconds = (DaysFromCivil(submitted.wYear, submitted.wMonth, submitted.wDay) * 24 +
                             submitted.wHour + kHoursAhead) *
                                3600 +
                            submitted.wMinute * 60 + submitted.wSecond;
    const int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const int64_t inDay = seconds - days * 86400;
    int64_t year = 0;
    int64_t month = 0;
    int64_t day = 0;
    CivilFromDays(days, year, month, day);
    const int64_t weekday = ((days % 7) + 11) % 7;  // 1970-01-01 was a Thursday (4)
    const std::string separator = GetDateSeparator();
    return TwoDigits(inDay / 3600) + ":" + TwoDigits(inDay / 60 % 60) + ":" +
           TwoDigits(inDay % 60) + " " + std::to_string(year) + separator + TwoDigits(month) +
           separator + TwoDigits(day) + " " + GetWeekdayName(static_cast<int32_t>(weekday));
}

std::string GetDateSeparator() {
    const LCID locale = ::GetUserDefaultLCID();
    const int needed = ::GetLocaleInfoA(locale, LOCALE_SDATE, nullptr, 0);
    if (needed <= 0) {
        return " ";
    }
    std::string buffer(static_cast<size_t>(needed) + 1, ' ');
    ::GetLocaleInfoA(locale, LOCALE_SDATE, buffer.data(), needed);
    return buffer.substr(0, buffer.find('\0'));
}
