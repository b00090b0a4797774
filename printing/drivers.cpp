// PrinterManager's printer drivers: the DriverDetails record with its date and dotted version,
// the driver list, one printer's driver, the driver directory, installing and removing drivers.
#include <cstring>
#include <span>

#include "printing/printer_manager.h"
#include "printing/spooler_support.h"

using printing::ChoosePrinter;
using printing::CopyText;
using printing::GlobalBlock;
using printing::PrinterHandle;
using printing::TextArg;

namespace {

constexpr DWORD kDriverLevel = 6;
constexpr DWORD kVersion3Driver = 3;

// The current environment, named by an empty text (not a null pointer).
char kCurrentEnvironment[] = "";

// The date the spooler stores, in UTC, at 00:00:00; the zero value when it is out of range.
DateTime DriverDate(const FILETIME& date) {
    SYSTEMTIME time{};
    if (!::FileTimeToSystemTime(&date, &time)) {
        return DateTime{};
    }
    return DateTime{time.wYear, time.wMonth, time.wDay, 0, 0, 0};
}

// Four 16-bit words, most significant first, as unsigned decimals joined by dots.
std::string DottedVersion(DWORDLONG version) {
    std::string text;
    for (int shift = 48; shift >= 0; shift -= 16) {
        text += std::to_string((version >> shift) & 0xFFFF);
        if (shift != 0) {
            text += '.';
        }
    }
    return text;
}

DriverDetails DetailsOf(const DRIVER_INFO_6A& driver) {
    DriverDetails details;
    details.version = static_cast<int32_t>(driver.cVersion);
    details.name = CopyText(driver.pName);
    details.environment = CopyText(driver.pEnvironment);
    details.driverPath = CopyText(driver.pDriverPath);
    details.dataFile = CopyText(driver.pDataFile);
    details.configFile = CopyText(driver.pConfigFile);
    details.helpFile = CopyText(driver.pHelpFile);
    details.dependentFiles = CopyText(driver.pDependentFiles);  // the first name of the list
    details.monitorName = CopyText(driver.pMonitorName);
    details.defaultDataType = CopyText(driver.pDefaultDataType);
    details.previousNames = CopyText(driver.pszzPreviousNames);  // the first name of the list
    details.driverDate = DriverDate(driver.ftDriverDate);
    details.driverVersion = DottedVersion(driver.dwlDriverVersion);
    details.manufacturer = CopyText(driver.pszMfgName);
    details.oemUrl = CopyText(driver.pszOEMUrl);
    details.hardwareId = CopyText(driver.pszHardwareID);
    details.provider = CopyText(driver.pszProvider);
    return details;
}

}  // namespace

// The list has its final length before the first record is read, so a handler that runs during
// a message pump sees the records read so far and fresh ones after them.
int PrinterManager::ListDrivers(std::vector<DriverDetails>& drivers) const {
    drivers.clear();
    return printing::EnumerateTwoPassAll<DRIVER_INFO_6A>(
        [](LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
            return ::EnumPrinterDriversA(nullptr, kCurrentEnvironment, kDriverLevel, buffer, size,
                                         needed, returned);
        },
        [&](std::span<const DRIVER_INFO_6A> records) {
            drivers.resize(records.size());
            for (size_t i = 0; i < records.size(); ++i) {
                DRIVER_INFO_6A record;
                std::memcpy(&record, &records[i], sizeof(record));
                drivers[i] = DetailsOf(record);
                printing::PumpWaitingMessages();
            }
        });
}

std::string PrinterManager::GetPrinterDriverDirectory() const {
    return printing::ReadTextTwoPass([](LPBYTE buffer, DWORD size, LPDWORD needed) {
        return ::GetPrinterDriverDirectoryA(nullptr, kCurrentEnvironment, 1, buffer, size, needed);
    });
}

DriverDetails PrinterManager::GetPrinterDriver(const Name& printerName) const {
    const PrinterHandle printer(ChoosePrinter(printerName), 0);
    if (!printer) {
        return DriverDetails{};
    }
    DWORD needed = 0;
    ::GetPrinterDriverA(printer.get(), kCurrentEnvironment, kDriverLevel, nullptr, 0, &needed);
    const GlobalBlock block(needed);
    if (!::GetPrinterDriverA(printer.get(), kCurrentEnvironment, kDriverLevel, block.data(),
                             block.size(), &needed) ||
        block.size() < sizeof(DRIVER_INFO_6A)) {
        return DriverDetails{};
    }
    DRIVER_INFO_6A record;
    std::memcpy(&record, block.data(), sizeof(record));
    return DetailsOf(record);
}

bool PrinterManager::AddPrinterDriver(const std::string& driverName, const std::string& driverPath,
                                      const std::string& dataFile,
                                      const std::string& configFile) const {
    // Tried whether or not the privilege could be enabled: the spooler decides.
    EnablePrivilege(SE_LOAD_DRIVER_NAME);
    DRIVER_INFO_2A driver{};
    driver.cVersion = kVersion3Driver;
    driver.pName = TextArg(driverName);
    driver.pEnvironment = nullptr;
    driver.pDriverPath = TextArg(driverPath);
    driver.pDataFile = TextArg(dataFile);
    driver.pConfigFile = TextArg(configFile);
    return ::AddPrinterDriverA(nullptr, 2, reinterpret_cast<LPBYTE>(&driver)) != 0;
}

bool PrinterManager::DeletePrinterDriver(const std::string& driverName) const {
    EnablePrivilege(SE_LOAD_DRIVER_NAME);
    return ::DeletePrinterDriverA(nullptr, nullptr, TextArg(driverName)) != 0;
}

bool PrinterManager::DeletePrinterDriverEx(const std::string& driverName) const {
    return ::DeletePrinterDriverExA(nullptr, nullptr, TextArg(driverName), DPD_DELETE_ALL_FILES,
                                    0) != 0;
}
