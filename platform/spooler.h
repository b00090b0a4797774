// The print spooler and the system functions beside it, in their Windows names.
// On Windows this is the system's own headers; elsewhere it is our own declarations with the
// published field order, constant values and 32-bit layouts, implemented by platform/sim.
#pragma once

#if defined(_WIN32)

#include <windows.h>
// windows.h first: the headers below rely on its types.
#include <commdlg.h>
#include <shlwapi.h>
#include <winspool.h>

// The ANSI/Unicode selector macros would rename our own operations that share a spooler function's
// name (PrinterManager::AddPrinter would become AddPrinterA); the code calls the A forms by name.
#undef AddForm
#undef AddMonitor
#undef AddPort
#undef AddPrinter
#undef AddPrinterConnection
#undef AddPrinterDriver
#undef AddPrintProcessor
#undef ConfigurePort
#undef DeleteForm
#undef DeleteMonitor
#undef DeletePort
#undef DeletePrinterConnection
#undef DeletePrinterDriver
#undef DeletePrinterDriverEx
#undef DeletePrintProcessor
#undef GetDefaultPrinter
#undef GetForm
#undef GetJob
#undef GetPrinterDriver
#undef GetPrinterDriverDirectory
#undef GetPrintProcessorDirectory
#undef SetDefaultPrinter
#undef SetForm
#undef SetJob

#else

#include <cstddef>
#include <cstdint>

// ---- Basic types: DWORD and LONG are 32 bits wide on every platform. ----
using BOOL = int32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;
using LONG = int32_t;
using ULONG = uint32_t;
using UINT = uint32_t;
using SHORT = int16_t;
using DWORDLONG = uint64_t;
using SIZE_T = std::size_t;
using UINT_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using LCID = DWORD;
using LCTYPE = DWORD;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using PDWORD = DWORD*;
using LPVOID = void*;
using HANDLE = void*;
using LPHANDLE = HANDLE*;
using PHANDLE = HANDLE*;
using HGLOBAL = void*;
struct HWND__;
using HWND = HWND__*;
struct HDC__;
using HDC = HDC__*;
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
#define WINAPI
#define CALLBACK

// ---- Error codes ----
inline constexpr DWORD ERROR_SUCCESS = 0;
inline constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
inline constexpr DWORD ERROR_ACCESS_DENIED = 5;
inline constexpr DWORD ERROR_INVALID_HANDLE = 6;
inline constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;
inline constexpr DWORD ERROR_FILE_EXISTS = 80;
inline constexpr DWORD ERROR_INVALID_PARAMETER = 87;
inline constexpr DWORD ERROR_CALL_NOT_IMPLEMENTED = 120;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
inline constexpr DWORD ERROR_INVALID_NAME = 123;
inline constexpr DWORD ERROR_INVALID_LEVEL = 124;
inline constexpr DWORD ERROR_MOD_NOT_FOUND = 126;
inline constexpr DWORD ERROR_BUSY = 170;
inline constexpr DWORD ERROR_MORE_DATA = 234;
inline constexpr DWORD ERROR_IO_PENDING = 997;
inline constexpr DWORD ERROR_INVALID_FLAGS = 1004;
inline constexpr DWORD ERROR_CANCELLED = 1223;
inline constexpr DWORD ERROR_NOT_ALL_ASSIGNED = 1300;
inline constexpr DWORD ERROR_NO_SUCH_PRIVILEGE = 1313;
inline constexpr DWORD ERROR_PRIVILEGE_NOT_HELD = 1314;
inline constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
inline constexpr DWORD ERROR_UNKNOWN_PORT = 1796;
inline constexpr DWORD ERROR_UNKNOWN_PRINTER_DRIVER = 1797;
inline constexpr DWORD ERROR_UNKNOWN_PRINTPROCESSOR = 1798;
inline constexpr DWORD ERROR_INVALID_SEPARATOR_FILE = 1799;
inline constexpr DWORD ERROR_INVALID_PRIORITY = 1800;
inline constexpr DWORD ERROR_INVALID_PRINTER_NAME = 1801;
inline constexpr DWORD ERROR_PRINTER_ALREADY_EXISTS = 1802;
inline constexpr DWORD ERROR_INVALID_PRINTER_COMMAND = 1803;
inline constexpr DWORD ERROR_INVALID_DATATYPE = 1804;
inline constexpr DWORD ERROR_INVALID_ENVIRONMENT = 1805;
inline constexpr DWORD ERROR_INVALID_FORM_NAME = 1902;
inline constexpr DWORD ERROR_INVALID_FORM_SIZE = 1903;
inline constexpr DWORD ERROR_PRINTER_DELETED = 1905;
inline constexpr DWORD ERROR_INVALID_PRINTER_STATE = 1906;
inline constexpr DWORD ERROR_UNKNOWN_PRINT_MONITOR = 3000;
inline constexpr DWORD ERROR_PRINTER_DRIVER_IN_USE = 3001;
inline constexpr DWORD ERROR_SPL_NO_STARTDOC = 3003;
inline constexpr DWORD ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED = 3005;
inline constexpr DWORD ERROR_PRINT_MONITOR_ALREADY_INSTALLED = 3006;
inline constexpr DWORD ERROR_PRINT_MONITOR_IN_USE = 3008;
inline constexpr DWORD ERROR_PRINTER_HAS_JOBS_QUEUED = 3009;
inline constexpr DWORD ERROR_PRINTER_DRIVER_BLOCKED = 3014;

// ---- Enumeration flags ----
inline constexpr DWORD PRINTER_ENUM_DEFAULT = 0x1;
inline constexpr DWORD PRINTER_ENUM_LOCAL = 0x2;
inline constexpr DWORD PRINTER_ENUM_CONNECTIONS = 0x4;
inline constexpr DWORD PRINTER_ENUM_FAVORITE = 0x4;
inline constexpr DWORD PRINTER_ENUM_NAME = 0x8;
inline constexpr DWORD PRINTER_ENUM_REMOTE = 0x10;
inline constexpr DWORD PRINTER_ENUM_SHARED = 0x20;
inline constexpr DWORD PRINTER_ENUM_NETWORK = 0x40;
inline constexpr DWORD PRINTER_ENUM_EXPAND = 0x4000;
inline constexpr DWORD PRINTER_ENUM_CONTAINER = 0x8000;
inline constexpr DWORD PRINTER_ENUM_ICON1 = 0x10000;
inline constexpr DWORD PRINTER_ENUM_ICON2 = 0x20000;
inline constexpr DWORD PRINTER_ENUM_ICON3 = 0x40000;
inline constexpr DWORD PRINTER_ENUM_ICON8 = 0x800000;
inline constexpr DWORD PRINTER_ENUM_HIDE = 0x1000000;

// ---- Access rights ----
inline constexpr DWORD DELETE = 0x10000;
inline constexpr DWORD READ_CONTROL = 0x20000;
inline constexpr DWORD WRITE_DAC = 0x40000;
inline constexpr DWORD WRITE_OWNER = 0x80000;
inline constexpr DWORD STANDARD_RIGHTS_REQUIRED = 0xF0000;
inline constexpr DWORD STANDARD_RIGHTS_READ = READ_CONTROL;
inline constexpr DWORD PRINTER_ACCESS_ADMINISTER = 0x4;
inline constexpr DWORD PRINTER_ACCESS_USE = 0x8;
inline constexpr DWORD PRINTER_ACCESS_MANAGE_LIMITED = 0x40;
inline constexpr DWORD PRINTER_ALL_ACCESS = 0xF000C;
inline constexpr DWORD PRINTER_READ = 0x20008;
inline constexpr DWORD PRINTER_WRITE = 0x20008;
inline constexpr DWORD PRINTER_EXECUTE = 0x20008;
inline constexpr DWORD SERVER_ACCESS_ADMINISTER = 0x1;
inline constexpr DWORD SERVER_ACCESS_ENUMERATE = 0x2;
inline constexpr DWORD SERVER_ALL_ACCESS = 0xF0003;
inline constexpr DWORD SERVER_READ = 0x20002;
inline constexpr DWORD SERVER_WRITE = 0x20003;
inline constexpr DWORD SERVER_EXECUTE = 0x20002;
inline constexpr DWORD JOB_ACCESS_ADMINISTER = 0x10;
inline constexpr DWORD JOB_ACCESS_READ = 0x20;
inline constexpr DWORD JOB_ALL_ACCESS = 0xF0030;

// ---- Printer control, attributes and status ----
inline constexpr DWORD PRINTER_CONTROL_PAUSE = 1;
inline constexpr DWORD PRINTER_CONTROL_RESUME = 2;
inline constexpr DWORD PRINTER_CONTROL_PURGE = 3;
inline constexpr DWORD PRINTER_CONTROL_SET_STATUS = 4;

inline constexpr DWORD PRINTER_ATTRIBUTE_QUEUED = 0x1;
inline constexpr DWORD PRINTER_ATTRIBUTE_DIRECT = 0x2;
inline constexpr DWORD PRINTER_ATTRIBUTE_DEFAULT = 0x4;
inline constexpr DWORD PRINTER_ATTRIBUTE_SHARED = 0x8;
inline constexpr DWORD PRINTER_ATTRIBUTE_NETWORK = 0x10;
inline constexpr DWORD PRINTER_ATTRIBUTE_HIDDEN = 0x20;
inline constexpr DWORD PRINTER_ATTRIBUTE_LOCAL = 0x40;
inline constexpr DWORD PRINTER_ATTRIBUTE_ENABLE_DEVQ = 0x80;
inline constexpr DWORD PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS = 0x100;
inline constexpr DWORD PRINTER_ATTRIBUTE_DO_COMPLETE_FIRST = 0x200;
inline constexpr DWORD PRINTER_ATTRIBUTE_WORK_OFFLINE = 0x400;
inline constexpr DWORD PRINTER_ATTRIBUTE_ENABLE_BIDI = 0x800;
inline constexpr DWORD PRINTER_ATTRIBUTE_RAW_ONLY = 0x1000;
inline constexpr DWORD PRINTER_ATTRIBUTE_PUBLISHED = 0x2000;
inline constexpr DWORD PRINTER_ATTRIBUTE_FAX = 0x4000;
inline constexpr DWORD PRINTER_ATTRIBUTE_TS = 0x8000;
inline constexpr DWORD PRINTER_ATTRIBUTE_PUSHED_USER = 0x20000;
inline constexpr DWORD PRINTER_ATTRIBUTE_PUSHED_MACHINE = 0x40000;
inline constexpr DWORD PRINTER_ATTRIBUTE_MACHINE = 0x80000;
inline constexpr DWORD PRINTER_ATTRIBUTE_FRIENDLY_NAME = 0x100000;
inline constexpr DWORD PRINTER_ATTRIBUTE_TS_GENERIC_DRIVER = 0x200000;

inline constexpr DWORD PRINTER_STATUS_PAUSED = 0x1;
inline constexpr DWORD PRINTER_STATUS_ERROR = 0x2;
inline constexpr DWORD PRINTER_STATUS_PENDING_DELETION = 0x4;
inline constexpr DWORD PRINTER_STATUS_PAPER_JAM = 0x8;
inline constexpr DWORD PRINTER_STATUS_PAPER_OUT = 0x10;
inline constexpr DWORD PRINTER_STATUS_MANUAL_FEED = 0x20;
inline constexpr DWORD PRINTER_STATUS_PAPER_PROBLEM = 0x40;
inline constexpr DWORD PRINTER_STATUS_OFFLINE = 0x80;
inline constexpr DWORD PRINTER_STATUS_IO_ACTIVE = 0x100;
inline constexpr DWORD PRINTER_STATUS_BUSY = 0x200;
inline constexpr DWORD PRINTER_STATUS_PRINTING = 0x400;
inline constexpr DWORD PRINTER_STATUS_OUTPUT_BIN_FULL = 0x800;
inline constexpr DWORD PRINTER_STATUS_NOT_AVAILABLE = 0x1000;
inline constexpr DWORD PRINTER_STATUS_WAITING = 0x2000;
inline constexpr DWORD PRINTER_STATUS_PROCESSING = 0x4000;
inline constexpr DWORD PRINTER_STATUS_INITIALIZING = 0x8000;
inline constexpr DWORD PRINTER_STATUS_WARMING_UP = 0x10000;
inline constexpr DWORD PRINTER_STATUS_TONER_LOW = 0x20000;
inline constexpr DWORD PRINTER_STATUS_NO_TONER = 0x40000;
inline constexpr DWORD PRINTER_STATUS_PAGE_PUNT = 0x80000;
inline constexpr DWORD PRINTER_STATUS_USER_INTERVENTION = 0x100000;
inline constexpr DWORD PRINTER_STATUS_OUT_OF_MEMORY = 0x200000;
inline constexpr DWORD PRINTER_STATUS_DOOR_OPEN = 0x400000;
inline constexpr DWORD PRINTER_STATUS_SERVER_UNKNOWN = 0x800000;
inline constexpr DWORD PRINTER_STATUS_POWER_SAVE = 0x1000000;
inline constexpr DWORD PRINTER_STATUS_SERVER_OFFLINE = 0x2000000;
inline constexpr DWORD PRINTER_STATUS_DRIVER_UPDATE_NEEDED = 0x4000000;

// ---- Jobs ----
inline constexpr DWORD JOB_CONTROL_PAUSE = 1;
inline constexpr DWORD JOB_CONTROL_RESUME = 2;
inline constexpr DWORD JOB_CONTROL_CANCEL = 3;
inline constexpr DWORD JOB_CONTROL_RESTART = 4;
inline constexpr DWORD JOB_CONTROL_DELETE = 5;
inline constexpr DWORD JOB_CONTROL_SENT_TO_PRINTER = 6;
inline constexpr DWORD JOB_CONTROL_LAST_PAGE_EJECTED = 7;
inline constexpr DWORD JOB_CONTROL_RETAIN = 8;
inline constexpr DWORD JOB_CONTROL_RELEASE = 9;

inline constexpr DWORD JOB_STATUS_PAUSED = 0x1;
inline constexpr DWORD JOB_STATUS_ERROR = 0x2;
inline constexpr DWORD JOB_STATUS_DELETING = 0x4;
inline constexpr DWORD JOB_STATUS_SPOOLING = 0x8;
inline constexpr DWORD JOB_STATUS_PRINTING = 0x10;
inline constexpr DWORD JOB_STATUS_OFFLINE = 0x20;
inline constexpr DWORD JOB_STATUS_PAPEROUT = 0x40;
inline constexpr DWORD JOB_STATUS_PRINTED = 0x80;
inline constexpr DWORD JOB_STATUS_DELETED = 0x100;
inline constexpr DWORD JOB_STATUS_BLOCKED_DEVQ = 0x200;
inline constexpr DWORD JOB_STATUS_USER_INTERVENTION = 0x400;
inline constexpr DWORD JOB_STATUS_RESTART = 0x800;
inline constexpr DWORD JOB_STATUS_COMPLETE = 0x1000;
inline constexpr DWORD JOB_STATUS_RETAINED = 0x2000;
inline constexpr DWORD JOB_STATUS_RENDERING_LOCALLY = 0x4000;

inline constexpr DWORD MIN_PRIORITY = 1;
inline constexpr DWORD MAX_PRIORITY = 99;
inline constexpr DWORD DEF_PRIORITY = 1;
inline constexpr DWORD JOB_POSITION_UNSPECIFIED = 0;

// ---- Forms, ports, drivers ----
inline constexpr DWORD FORM_USER = 0;
inline constexpr DWORD FORM_BUILTIN = 1;
inline constexpr DWORD FORM_PRINTER = 2;

inline constexpr DWORD PORT_TYPE_WRITE = 0x1;
inline constexpr DWORD PORT_TYPE_READ = 0x2;
inline constexpr DWORD PORT_TYPE_REDIRECTED = 0x4;
inline constexpr DWORD PORT_TYPE_NET_ATTACHED = 0x8;

inline constexpr DWORD DPD_DELETE_UNUSED_FILES = 1;
inline constexpr DWORD DPD_DELETE_SPECIFIC_VERSION = 2;
inline constexpr DWORD DPD_DELETE_ALL_FILES = 4;

// ---- Device modes ----
inline constexpr DWORD DM_ORIENTATION = 0x1;
inline constexpr DWORD DM_PAPERSIZE = 0x2;
inline constexpr DWORD DM_COPIES = 0x100;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x200;
inline constexpr DWORD DM_PRINTQUALITY = 0x400;
inline constexpr DWORD DM_COLOR = 0x800;
inline constexpr DWORD DM_DUPLEX = 0x1000;
inline constexpr DWORD DM_COLLATE = 0x8000;
inline constexpr DWORD DM_FORMNAME = 0x10000;
inline constexpr WORD DM_SPECVERSION = 0x401;
inline constexpr short DMORIENT_PORTRAIT = 1;
inline constexpr short DMORIENT_LANDSCAPE = 2;
inline constexpr short DMPAPER_LETTER = 1;
inline constexpr short DMPAPER_LEGAL = 5;
inline constexpr short DMPAPER_EXECUTIVE = 7;
inline constexpr short DMPAPER_A3 = 8;
inline constexpr short DMPAPER_A4 = 9;
inline constexpr short DMPAPER_A5 = 11;
inline constexpr short DMPAPER_B4 = 12;
inline constexpr short DMPAPER_B5 = 13;
inline constexpr short DMPAPER_ENV_10 = 20;
inline constexpr short DMPAPER_A6 = 70;
inline constexpr short DMPAPER_P16K = 93;
inline constexpr short DMPAPER_P32K = 94;

inline constexpr int CCHDEVICENAME = 32;
inline constexpr int CCHFORMNAME = 32;
inline constexpr int MAX_PATH = 260;

// ---- Memory, tokens, privileges, locale ----
inline constexpr UINT GMEM_FIXED = 0x0;
inline constexpr UINT GMEM_MOVEABLE = 0x2;
inline constexpr UINT GMEM_ZEROINIT = 0x40;
inline constexpr UINT GPTR = 0x40;
inline constexpr UINT GHND = 0x42;

inline constexpr DWORD TOKEN_ADJUST_PRIVILEGES = 0x20;
inline constexpr DWORD TOKEN_QUERY = 0x8;
inline constexpr DWORD TOKEN_READ = 0x20008;
inline constexpr DWORD TOKEN_ALL_ACCESS = 0xF01FF;
inline constexpr DWORD SE_PRIVILEGE_ENABLED = 0x2;
inline constexpr DWORD SE_PRIVILEGE_REMOVED = 0x4;
#define SE_LOAD_DRIVER_NAME "SeLoadDriverPrivilege"
#define SE_SHUTDOWN_NAME "SeShutdownPrivilege"

inline constexpr LCID LOCALE_USER_DEFAULT = 0x400;
inline constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x800;
inline constexpr LCTYPE LOCALE_SDATE = 0x1D;
inline constexpr LCTYPE LOCALE_SSHORTDATE = 0x1F;
inline constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;
inline constexpr LCTYPE LOCALE_USE_CP_ACP = 0x40000000;
inline constexpr LCTYPE LOCALE_RETURN_NUMBER = 0x20000000;

// ---- Print dialog and messages ----
inline constexpr DWORD PD_SELECTION = 0x1;
inline constexpr DWORD PD_PAGENUMS = 0x2;
inline constexpr DWORD PD_NOSELECTION = 0x4;
inline constexpr DWORD PD_NOPAGENUMS = 0x8;
inline constexpr DWORD PD_COLLATE = 0x10;
inline constexpr DWORD PD_PRINTTOFILE = 0x20;
inline constexpr DWORD PD_PRINTSETUP = 0x40;
inline constexpr DWORD PD_NOWARNING = 0x80;
inline constexpr DWORD PD_RETURNDC = 0x100;
inline constexpr DWORD PD_RETURNIC = 0x200;
inline constexpr DWORD PD_RETURNDEFAULT = 0x400;
inline constexpr DWORD PD_USEDEVMODECOPIESANDCOLLATE = 0x40000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x100000;
inline constexpr DWORD PD_NONETWORKBUTTON = 0x200000;
inline constexpr DWORD CDERR_STRUCTSIZE = 0x1;
inline constexpr DWORD CDERR_INITIALIZATION = 0x2;
inline constexpr DWORD PDERR_SETUPFAILURE = 0x1001;
inline constexpr DWORD PDERR_NODEVICES = 0x1007;
inline constexpr DWORD PDERR_NODEFAULTPRN = 0x1008;
inline constexpr DWORD PDERR_PRINTERNOTFOUND = 0x100B;
inline constexpr WORD DN_DEFAULTPRN = 0x1;

inline constexpr UINT PM_NOREMOVE = 0x0;
inline constexpr UINT PM_REMOVE = 0x1;

// ---- Records (natural layout: the 32-bit build gives the published sizes) ----
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
using LPSYSTEMTIME = SYSTEMTIME*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct SIZEL {
    LONG cx;
    LONG cy;
};

struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct POINT {
    LONG x;
    LONG y;
};

struct LUID {
    DWORD LowPart;
    LONG HighPart;
};
using PLUID = LUID*;

struct LUID_AND_ATTRIBUTES {
    LUID Luid;
    DWORD Attributes;
};

// An array sized by PrivilegeCount; callers allocate 4 + 12 * n bytes.
struct TOKEN_PRIVILEGES {
    DWORD PrivilegeCount;
    LUID_AND_ATTRIBUTES Privileges[1];
};
using PTOKEN_PRIVILEGES = TOKEN_PRIVILEGES*;

struct DEVMODEA {
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    short dmOrientation;
    short dmPaperSize;
    short dmPaperLength;
    short dmPaperWidth;
    short dmScale;
    short dmCopies;
    short dmDefaultSource;
    short dmPrintQuality;
    short dmColor;
    short dmDuplex;
    short dmYResolution;
    short dmTTOption;
    short dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmNup;
    DWORD dmDisplayFrequency;
    DWORD dmICMMethod;
    DWORD dmICMIntent;
    DWORD dmMediaType;
    DWORD dmDitherType;
    DWORD dmReserved1;
    DWORD dmReserved2;
    DWORD dmPanningWidth;
    DWORD dmPanningHeight;
};
using LPDEVMODEA = DEVMODEA*;

struct PRINTER_INFO_1A {
    DWORD Flags;
    LPSTR pDescription;
    LPSTR pName;
    LPSTR pComment;
};

struct PRINTER_INFO_2A {
    LPSTR pServerName;
    LPSTR pPrinterName;
    LPSTR pShareName;
    LPSTR pPortName;
    LPSTR pDriverName;
    LPSTR pComment;
    LPSTR pLocation;
    LPDEVMODEA pDevMode;
    LPSTR pSepFile;
    LPSTR pPrintProcessor;
    LPSTR pDatatype;
    LPSTR pParameters;
    void* pSecurityDescriptor;
    DWORD Attributes;
    DWORD Priority;
    DWORD DefaultPriority;
    DWORD StartTime;
    DWORD UntilTime;  // minutes after 00:00 GMT
    DWORD Status;
    DWORD cJobs;
    DWORD AveragePPM;
};

struct PRINTER_INFO_4A {
    LPSTR pPrinterName;
    LPSTR pServerName;
    DWORD Attributes;
};

struct PRINTER_INFO_5A {
    LPSTR pPrinterName;
    LPSTR pPortName;
    DWORD Attributes;
    DWORD DeviceNotSelectedTimeout;
    DWORD TransmissionRetryTimeout;
};

struct PRINTER_DEFAULTSA {
    LPSTR pDatatype;
    LPDEVMODEA pDevMode;
    DWORD DesiredAccess;
};
using LPPRINTER_DEFAULTSA = PRINTER_DEFAULTSA*;

struct PORT_INFO_1A {
    LPSTR pName;
};

struct PORT_INFO_2A {
    LPSTR pPortName;
    LPSTR pMonitorName;
    LPSTR pDescription;
    DWORD fPortType;
    DWORD Reserved;
};

struct MONITOR_INFO_1A {
    LPSTR pName;
};

struct MONITOR_INFO_2A {
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDLLName;
};

struct PRINTPROCESSOR_INFO_1A {
    LPSTR pName;
};

struct DATATYPES_INFO_1A {
    LPSTR pName;
};

struct DRIVER_INFO_2A {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
};

struct DRIVER_INFO_3A {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
    LPSTR pHelpFile;
    LPSTR pDependentFiles;  // NUL-separated, ends with an empty string
    LPSTR pMonitorName;
    LPSTR pDefaultDataType;
};

struct DRIVER_INFO_6A {
    DWORD cVersion;
    LPSTR pName;
    LPSTR pEnvironment;
    LPSTR pDriverPath;
    LPSTR pDataFile;
    LPSTR pConfigFile;
    LPSTR pHelpFile;
    LPSTR pDependentFiles;
    LPSTR pMonitorName;
    LPSTR pDefaultDataType;
    LPSTR pszzPreviousNames;
    FILETIME ftDriverDate;
    alignas(8) DWORDLONG dwlDriverVersion;  // 8-aligned on Windows, also in 32-bit builds
    LPSTR pszMfgName;
    LPSTR pszOEMUrl;
    LPSTR pszHardwareID;
    LPSTR pszProvider;
};

struct JOB_INFO_1A {
    DWORD JobId;
    LPSTR pPrinterName;
    LPSTR pMachineName;
    LPSTR pUserName;
    LPSTR pDocument;
    LPSTR pDatatype;
    LPSTR pStatus;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD TotalPages;
    DWORD PagesPrinted;
    SYSTEMTIME Submitted;
};

struct JOB_INFO_2A {
    DWORD JobId;
    LPSTR pPrinterName;
    LPSTR pMachineName;
    LPSTR pUserName;
    LPSTR pDocument;
    LPSTR pNotifyName;
    LPSTR pDatatype;
    LPSTR pPrintProcessor;
    LPSTR pParameters;
    LPSTR pDriverName;
    LPDEVMODEA pDevMode;
    LPSTR pStatus;
    void* pSecurityDescriptor;
    DWORD Status;
    DWORD Priority;
    DWORD Position;
    DWORD StartTime;
    DWORD UntilTime;
    DWORD TotalPages;
    DWORD Size;
    SYSTEMTIME Submitted;  // UTC
    DWORD Time;
    DWORD PagesPrinted;
};

struct DOC_INFO_1A {
    LPSTR pDocName;
    LPSTR pOutputFile;
    LPSTR pDatatype;
};

struct FORM_INFO_1A {
    DWORD Flags;
    LPSTR pName;
    SIZEL Size;           // thousandths of a millimetre
    RECTL ImageableArea;  // thousandths of a millimetre
};

struct DEVNAMES {
    WORD wDriverOffset;
    WORD wDeviceOffset;
    WORD wOutputOffset;
    WORD wDefault;
};

using LPPRINTHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using LPSETUPHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// The common-dialog records are byte-packed in 32-bit builds (66 bytes) and naturally aligned in
// 64-bit builds (120 bytes).
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(push, 1)
#endif
struct PRINTDLGA {
    DWORD lStructSize;
    HWND hwndOwner;
    HGLOBAL hDevMode;
    HGLOBAL hDevNames;
    HDC hDC;
    DWORD Flags;
    WORD nFromPage;
    WORD nToPage;
    WORD nMinPage;
    WORD nMaxPage;
    WORD nCopies;
    HINSTANCE hInstance;
    LPARAM lCustData;
    LPPRINTHOOKPROC lpfnPrintHook;
    LPSETUPHOOKPROC lpfnSetupHook;
    LPCSTR lpPrintTemplateName;
    LPCSTR lpSetupTemplateName;
    HGLOBAL hPrintTemplate;
    HGLOBAL hSetupTemplate;
};
#if UINTPTR_MAX == 0xFFFFFFFFu
#pragma pack(pop)
#endif
using LPPRINTDLGA = PRINTDLGA*;

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
};
using LPMSG = MSG*;

// The names without the A, as a program built without UNICODE sees them.
using PRINTER_INFO_1 = PRINTER_INFO_1A;
using PRINTER_INFO_2 = PRINTER_INFO_2A;
using PRINTER_INFO_4 = PRINTER_INFO_4A;
using PRINTER_INFO_5 = PRINTER_INFO_5A;
using PRINTER_DEFAULTS = PRINTER_DEFAULTSA;
using PORT_INFO_1 = PORT_INFO_1A;
using PORT_INFO_2 = PORT_INFO_2A;
using MONITOR_INFO_1 = MONITOR_INFO_1A;
using MONITOR_INFO_2 = MONITOR_INFO_2A;
using PRINTPROCESSOR_INFO_1 = PRINTPROCESSOR_INFO_1A;
using DATATYPES_INFO_1 = DATATYPES_INFO_1A;
using DRIVER_INFO_2 = DRIVER_INFO_2A;
using DRIVER_INFO_3 = DRIVER_INFO_3A;
using DRIVER_INFO_6 = DRIVER_INFO_6A;
using JOB_INFO_1 = JOB_INFO_1A;
using JOB_INFO_2 = JOB_INFO_2A;
using DOC_INFO_1 = DOC_INFO_1A;
using FORM_INFO_1 = FORM_INFO_1A;
using DEVMODE = DEVMODEA;
using PRINTDLG = PRINTDLGA;

// ---- Printers ----
BOOL EnumPrintersA(DWORD Flags, LPSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf,
                   LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL GetDefaultPrinterA(LPSTR pszBuffer, LPDWORD pcchBuffer);
BOOL SetDefaultPrinterA(LPCSTR pszPrinter);
BOOL OpenPrinterA(LPSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSA pDefault);
BOOL ClosePrinter(HANDLE hPrinter);
BOOL GetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded);
BOOL SetPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command);
HANDLE AddPrinterA(LPSTR pName, DWORD Level, LPBYTE pPrinter);
BOOL DeletePrinter(HANDLE hPrinter);
BOOL AddPrinterConnectionA(LPSTR pName);
BOOL DeletePrinterConnectionA(LPSTR pName);
HANDLE ConnectToPrinterDlg(HWND hwnd, DWORD Flags);
BOOL PrinterProperties(HWND hWnd, HANDLE hPrinter);

// ---- Ports and monitors ----
BOOL EnumPortsA(LPSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned);
BOOL AddPortA(LPSTR pName, HWND hWnd, LPSTR pMonitorName);
BOOL DeletePortA(LPSTR pName, HWND hWnd, LPSTR pPortName);
BOOL ConfigurePortA(LPSTR pName, HWND hWnd, LPSTR pPortName);
BOOL EnumMonitorsA(LPSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                   LPDWORD pcReturned);
BOOL AddMonitorA(LPSTR pName, DWORD Level, LPBYTE pMonitors);
BOOL DeleteMonitorA(LPSTR pName, LPSTR pEnvironment, LPSTR pMonitorName);

// ---- Jobs and documents ----
BOOL EnumJobsA(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
               LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL GetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
             LPDWORD pcbNeeded);
BOOL SetJobA(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command);
DWORD StartDocPrinterA(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo);
BOOL StartPagePrinter(HANDLE hPrinter);
BOOL WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten);
BOOL EndPagePrinter(HANDLE hPrinter);
BOOL EndDocPrinter(HANDLE hPrinter);

// ---- Drivers ----
BOOL EnumPrinterDriversA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                         DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL GetPrinterDriverDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                LPBYTE pDriverDirectory, DWORD cbBuf, LPDWORD pcbNeeded);
BOOL GetPrinterDriverA(HANDLE hPrinter, LPSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                       DWORD cbBuf, LPDWORD pcbNeeded);
BOOL AddPrinterDriverA(LPSTR pName, DWORD Level, LPBYTE pDriverInfo);
BOOL DeletePrinterDriverA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName);
BOOL DeletePrinterDriverExA(LPSTR pName, LPSTR pEnvironment, LPSTR pDriverName, DWORD dwDeleteFlag,
                            DWORD dwVersionFlag);

// ---- Print processors ----
BOOL EnumPrintProcessorsA(LPSTR pName, LPSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                          DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned);
BOOL GetPrintProcessorDirectoryA(LPSTR pName, LPSTR pEnvironment, DWORD Level,
                                 LPBYTE pPrintProcessorInfo, DWORD cbBuf, LPDWORD pcbNeeded);
BOOL AddPrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPathName,
                        LPSTR pPrintProcessorName);
BOOL DeletePrintProcessorA(LPSTR pName, LPSTR pEnvironment, LPSTR pPrintProcessorName);
BOOL EnumPrintProcessorDatatypesA(LPSTR pName, LPSTR pPrintProcessorName, DWORD Level,
                                  LPBYTE pDatatypes, DWORD cbBuf, LPDWORD pcbNeeded,
                                  LPDWORD pcReturned);

// ---- Forms ----
BOOL EnumFormsA(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                LPDWORD pcReturned);
BOOL GetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm, DWORD cbBuf,
              LPDWORD pcbNeeded);
BOOL AddFormA(HANDLE hPrinter, DWORD Level, LPBYTE pForm);
BOOL SetFormA(HANDLE hPrinter, LPSTR pFormName, DWORD Level, LPBYTE pForm);
BOOL DeleteFormA(HANDLE hPrinter, LPSTR pFormName);

// ---- System functions beside the spooler ----
DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
HGLOBAL GlobalAlloc(UINT uFlags, SIZE_T dwBytes);
HGLOBAL GlobalFree(HGLOBAL hMem);
HWND GetForegroundWindow();
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);
LCID GetUserDefaultLCID();
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
short GetFileTitleA(LPCSTR lpszFile, LPSTR lpszTitle, WORD cchSize);
LPSTR PathFindExtensionA(LPCSTR pszPath);
HANDLE GetCurrentProcess();
BOOL OpenProcessToken(HANDLE ProcessHandle, DWORD DesiredAccess, PHANDLE TokenHandle);
BOOL LookupPrivilegeValueA(LPCSTR lpSystemName, LPCSTR lpName, PLUID lpLuid);
BOOL AdjustTokenPrivileges(HANDLE TokenHandle, BOOL DisableAllPrivileges,
                           PTOKEN_PRIVILEGES NewState, DWORD BufferLength,
                           PTOKEN_PRIVILEGES PreviousState, PDWORD ReturnLength);
BOOL CloseHandle(HANDLE hObject);
BOOL PrintDlgA(LPPRINTDLGA pPD);
DWORD CommDlgExtendedError();

// The message pump's three calls: take a waiting message off the queue and dispatch it.
BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
BOOL TranslateMessage(const MSG* lpMsg);
LRESULT DispatchMessageA(const MSG* lpMsg);

#endif
