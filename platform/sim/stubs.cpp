// The functions of spooler.h the simulation does not model yet. Each is logged like any other
// call and fails with ERROR_CALL_NOT_IMPLEMENTED, returning its failure value.
#include "platform/sim/entry.h"
#include "platform/spooler.h"

using sim::detail::NotImplemented;
using sim::detail::Ptr;
using sim::detail::Text;

// ---- Jobs and documents ----

BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
               LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return NotImplemented("EnumJobsA", FALSE,
                          {Ptr(hPrinter), FirstJob, NoJobs, Level, Ptr(pJob), cbBuf, Ptr(pcbNeeded),
                           Ptr(pcReturned)});
}

BOOL GetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
             LPDWORD pcbNeeded) {
    return NotImplemented("GetJobA", FALSE,
                          {Ptr(hPrinter), JobId, Level, Ptr(pJob), cbBuf, Ptr(pcbNeeded)});
}

BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
    return NotImplemented("SetJobA", FALSE, {Ptr(hPrinter), JobId, Level, Ptr(pJob), Command});
}

DWORD StartDocPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
    return NotImplemented("StartDocPrinterA", DWORD{0}, {Ptr(hPrinter), Level, Ptr(pDocInfo)});
}

BOOL StartPagePrinter(HANDLE hPrinter) {
    return NotImplemented("StartPagePrinter", FALSE, {Ptr(hPrinter)});
}

BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
    return NotImplemented("WritePrinter", FALSE, {Ptr(hPrinter), Ptr(pBuf), cbBuf, Ptr(pcWritten)});
}

BOOL EndPagePrinter(HANDLE hPrinter) {
    return NotImplemented("EndPagePrinter", FALSE, {Ptr(hPrinter)});
}

BOOL EndDocPrinter(HANDLE hPrinter) {
    return NotImplemented("EndDocPrinter", FALSE, {Ptr(hPrinter)});
}

