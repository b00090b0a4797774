// Record layouts of our spooler declarations: the published sizes and offsets on 32-bit builds,
// the x64 sizes on 64-bit builds. Compiled in every build, and with -m32 by the CI layout check.
#include <cstddef>

#include "platform/spooler.h"

#define CHECK_SIZE(type, bytes32, bytes64) \
    static_assert(sizeof(type) == (sizeof(void*) == 4 ? (bytes32) : (bytes64)), #type)

CHECK_SIZE(PRINTER_INFO_1A, 16, 32);
CHECK_SIZE(PRINTER_INFO_2A, 84, 136);
CHECK_SIZE(PRINTER_INFO_4A, 12, 24);
CHECK_SIZE(PRINTER_DEFAULTSA, 12, 24);
CHECK_SIZE(PORT_INFO_2A, 20, 32);
CHECK_SIZE(MONITOR_INFO_2A, 12, 24);
CHECK_SIZE(PRINTPROCESSOR_INFO_1A, 4, 8);
CHECK_SIZE(DATATYPES_INFO_1A, 4, 8);
CHECK_SIZE(DRIVER_INFO_2A, 24, 48);
CHECK_SIZE(DRIVER_INFO_6A, 80, 136);
CHECK_SIZE(JOB_INFO_2A, 104, 160);
CHECK_SIZE(DOC_INFO_1A, 12, 24);
CHECK_SIZE(FORM_INFO_1A, 32, 40);
CHECK_SIZE(PRINTDLGA, 66, 120);
static_assert(sizeof(DEVMODEA) == 156);
static_assert(sizeof(SYSTEMTIME) == 16 && sizeof(FILETIME) == 8);
static_assert(sizeof(LUID_AND_ATTRIBUTES) == 12 && sizeof(TOKEN_PRIVILEGES) == 16);
static_assert(sizeof(DEVNAMES) == 8);

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(offsetof(PRINTER_INFO_2A, Attributes) == 52);
static_assert(offsetof(PRINTER_INFO_2A, AveragePPM) == 80);
static_assert(offsetof(DRIVER_INFO_6A, ftDriverDate) == 44);
static_assert(offsetof(DRIVER_INFO_6A, dwlDriverVersion) == 56);
static_assert(offsetof(DRIVER_INFO_6A, pszMfgName) == 64);
static_assert(offsetof(JOB_INFO_2A, Status) == 52);
static_assert(offsetof(JOB_INFO_2A, Submitted) == 80);
static_assert(offsetof(JOB_INFO_2A, PagesPrinted) == 100);
static_assert(offsetof(FORM_INFO_1A, ImageableArea) == 16);
static_assert(offsetof(PRINTDLGA, hInstance) == 34);
static_assert(offsetof(DEVMODEA, dmFormName) == 70);
static_assert(offsetof(DEVMODEA, dmBitsPerPel) == 104);
#endif
