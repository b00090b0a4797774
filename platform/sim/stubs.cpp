// The functions of spooler.h the simulation does not model yet. Each is logged like any other
// call and fails with ERROR_CALL_NOT_IMPLEMENTED, returning its failure value.
#include "platform/sim/entry.h"
#include "platform/spooler.h"

using sim::detail::NotImplemented;
using sim::detail::Ptr;
using sim::detail::Text;

// ---- Ports and monitors ----

BOOL EnumPortsA(LPSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned) {
    return NotImplemented("EnumPortsA", FALSE,
                          {Text(pName), Level, Ptr(pPort), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)});
}

BOOL AddPortA(LPSTR pName, HWND hWnd, LPSTR pMonitorName) {
    return NotImplemented("AddPortA", FALSE, {Text(pName), Ptr(hWnd), Text(pMonitorName)});
}

BOOL DeletePortA(LPSTR pName, HWND hWnd, LPSTR pPortName) {
    return NotImplemented("DeletePortA", FALSE, {Text(pName), Ptr(hWnd), Text(pPortName)});
}

BOOL ConfigurePortA(LPSTR pName, HWND hWnd, LPSTR pPortName) {
    return NotImplemented("ConfigurePortA", FALSE, {Text(pName), Ptr(hWnd), Text(pPortName)});
}

BOOL EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                   LPDWORD pcReturned) {
    return NotImplemented(
        "EnumMonitorsA", FALSE,
        {Text(pName), Level, Ptr(pMonitor), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)});
}

BOOL AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitors) {
    return NotImplemented("AddMonitorA", FALSE, {Text(pName), Level, Ptr(pMonitors)});
}

BOOL DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName) {
    return NotImplemented("DeleteMonitorA", FALSE,
                          {Text(pName), Text(pEnvironment), Text(pMonitorName)});
}

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

// ---- Drivers ----

BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                         DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return NotImplemented("EnumPrinterDriversA", FALSE,
                          {Text(pName), Text(pEnvironment), Level, Ptr(pDriverInfo), cbBuf,
                           Ptr(pcbNeeded), Ptr(pcReturned)});
}

BOOL GetPrinterDriverDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                LPBYTE pDriverDirectory, DWORD cbBuf, LPDWORD pcbNeeded) {
    return NotImplemented(
        "GetPrinterDriverDirectoryA", FALSE,
        {Text(pName), Text(pEnvironment), Level, Ptr(pDriverDirectory), cbBuf, Ptr(pcbNeeded)});
}

BOOL GetPrinterDriverA(HANDLE hPrinter, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                       DWORD cbBuf, LPDWORD pcbNeeded) {
    return NotImplemented(
        "GetPrinterDriverA", FALSE,
        {Ptr(hPrinter), Text(pEnvironment), Level, Ptr(pDriverInfo), cbBuf, Ptr(pcbNeeded)});
}

BOOL AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo) {
    return NotImplemented("AddPrinterDriverA", FALSE, {Text(pName), Level, Ptr(pDriverInfo)});
}

BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName) {
    return NotImplemented("DeletePrinterDriverA", FALSE,
                          {Text(pName), Text(pEnvironment), Text(pDriverName)});
}

BOOL DeletePrinterDriverExA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName, DWORD dwDeleteFlag,
                            DWORD dwVersionFlag) {
    return NotImplemented(
        "DeletePrinterDriverExA", FALSE,
        {Text(pName), Text(pEnvironment), Text(pDriverName), dwDeleteFlag, dwVersionFlag});
}

// ---- Print processors ----

BOOL EnumPrintProcessorsA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                          DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return NotImplemented("EnumPrintProcessorsA", FALSE,
                          {Text(pName), Text(pEnvironment), Level, Ptr(pPrintProcessorInfo), cbBuf,
                           Ptr(pcbNeeded), Ptr(pcReturned)});
}

BOOL GetPrintProcessorDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                 LPBYTE pPrintProcessorInfo, DWORD cbBuf, LPDWORD pcbNeeded) {
    return NotImplemented(
        "GetPrintProcessorDirectoryA", FALSE,
        {Text(pName), Text(pEnvironment), Level, Ptr(pPrintProcessorInfo), cbBuf, Ptr(pcbNeeded)});
}

BOOL AddPrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPathName,
                        LPSTR pPrintProcessorName) {
    return NotImplemented(
        "AddPrintProcessorA", FALSE,
        {Text(pName), Text(pEnvironment), Text(pPathName), Text(pPrintProcessorName)});
}

BOOL DeletePrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPrintProcessorName) {
    return NotImplemented("DeletePrintProcessorA", FALSE,
                          {Text(pName), Text(pEnvironment), Text(pPrintProcessorName)});
}

BOOL EnumPrintProcessorDatatypesA(LPSTR pName, LPSTR pPrintProcessorName, DWORD Level,
                                  LPBYTE pDatatypes, DWORD cbBuf, LPDWORD pcbNeeded,
                                  LPDWORD pcReturned) {
    return NotImplemented("EnumPrintProcessorDatatypesA", FALSE,
                          {Text(pName), Text(pPrintProcessorName), Level, Ptr(pDatatypes), cbBuf,
                           Ptr(pcbNeeded), Ptr(pcReturned)});
}

// ---- Forms ----

BOOL EnumFormsA(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned) {
    return NotImplemented(
        "EnumFormsA", FALSE,
        {Ptr(hPrinter), Level, Ptr(pForm), cbBuf, Ptr(pcbNeeded), Ptr(pcReturned)});
}

BOOL GetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
              LPDWORD pcbNeeded) {
    return NotImplemented(
        "GetFormA", FALSE,
        {Ptr(hPrinter), Text(pFormName), Level, Ptr(pForm), cbBuf, Ptr(pcbNeeded)});
}

BOOL AddFormA(HANDLE hPrinter, DWORD Level, LPBYTE pForm) {
    return NotImplemented("AddFormA", FALSE, {Ptr(hPrinter), Level, Ptr(pForm)});
}

BOOL SetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm) {
    return NotImplemented("SetFormA", FALSE, {Ptr(hPrinter), Text(pFormName), Level, Ptr(pForm)});
}

BOOL DeleteFormA(HANDLE hPrinter, LPSTR pFormName) {
    return NotImplemented("DeleteFormA", FALSE, {Ptr(hPrinter), Text(pFormName)});
}

// ---- Time, locale and file names ----

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    return NotImplemented("FileTimeToSystemTime", FALSE, {Ptr(lpFileTime), Ptr(lpSystemTime)});
}

LCID GetUserDefaultLCID() {
    return NotImplemented("GetUserDefaultLCID", LCID{0}, {});
}

int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
    return NotImplemented("GetLocaleInfoA", 0, {Locale, LCType, Ptr(lpLCData), cchData});
}

short GetFileTitleA(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize) {
    return NotImplemented("GetFileTitleA", short{-1}, {Text(lpszFile), Ptr(lpszTitle), cchSize});
}

