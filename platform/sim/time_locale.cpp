// The simulated system's time and locale: FileTimeToSystemTime on the proleptic Gregorian
// calendar, the user's locale identifier, and GetLocaleInfoA for the date separator and the
// short date format, both from the machine.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/sim/entry.h"
#include "platform/sim/lookup.h"
#include "platform/spooler.h"

namespace sim::detail {
namespace {

constexpr uint64_t kTicksPerSecond = 10000000;
constexpr uint64_t kSecondsPerDay = 86400;
constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFULL;

// The civil date of a day counted from 1601-01-01 (a Monday), after Howard Hinnant's algorithm
// shifted to that epoch.
void CivilFromDays(int64_t daysSince1601, int64_t& year, unsigned& month, unsigned& day) {
    const int64_t days = daysSince1601 - 134774 + 719468;  // to days since 0000-03-01
    const int64_t era = days / 146097;
    const int64_t dayOfEra = days - era * 146097;
    const int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
    day = static_cast<unsigned>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    month = static_cast<unsigned>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
}

bool KnownLocale(const Machine& machine, LCID locale) {
    return locale == LOCALE_USER_DEFAULT || locale == LOCALE_SYSTEM_DEFAULT ||
           locale == machine.locale;
}

}  // namespace

SYSTEMTIME SystemTimeNow() {
    const auto since1970 = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    constexpr int64_t kMillisecondsFrom1601To1970 = 11644473600000LL;
    const int64_t milliseconds = since1970.count() + kMillisecondsFrom1601To1970;
    const int64_t days = milliseconds / (kSecondsPerDay * 1000);
    const int64_t inDay = milliseconds % static_cast<int64_t>(kSecondsPerDay * 1000);
    int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wDayOfWeek = static_cast<WORD>((days + 1) % 7);
    time.wHour = static_cast<WORD>(inDay / 3600000);
    time.wMinute = static_cast<WORD>(inDay / 60000 % 60);
    time.wSecond = static_cast<WORD>(inDay / 1000 % 60);
    time.wMilliseconds = static_cast<WORD>(inDay % 1000);
    return time;
}

}  // namespace sim::detail

using sim::Machine;
using sim::detail::Ptr;
using sim::detail::Run;
using sim::detail::State;

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime) {
    using namespace sim::detail;
    return Run(
        "FileTimeToSystemTime", FALSE, {Ptr(lpFileTime), Ptr(lpSystemTime)}, [&](State&) -> BOOL {
            if (lpFileTime == nullptr || lpSystemTime == nullptr) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            const uint64_t ticks = (static_cast<uint64_t>(lpFileTime->dwHighDateTime) << 32) |
                                   lpFileTime->dwLowDateTime;
            if (ticks > kLargestFileTime) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            const uint64_t seconds = ticks / kTicksPerSecond;
            const auto days = static_cast<int64_t>(seconds / kSecondsPerDay);
            const uint64_t inDay = seconds % kSecondsPerDay;
            int64_t year = 0;
            unsigned month = 0;
            unsigned day = 0;
            CivilFromDays(days, year, month, day);
            SYSTEMTIME& time = *lpSystemTime;
            time.wYear = static_cast<WORD>(year);
            time.wMonth = static_cast<WORD>(month);
            time.wDay = static_cast<WORD>(day);
            time.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01: Monday
            time.wHour = static_cast<WORD>(inDay / 3600);
            time.wMinute = static_cast<WORD>(inDay / 60 % 60);
            time.wSecond = static_cast<WORD>(inDay % 60);
            time.wMilliseconds = static_cast<WORD>(ticks % kTicksPerSecond / 10000);
            return TRUE;
        });
}

LCID GetUserDefaultLCID() {
    using namespace sim::detail;
    return Run("GetUserDefaultLCID", LCID{LOCALE_USER_DEFAULT}, {},
               [&](State& state) -> LCID { return state.machine.locale; });
}

// cchData 0 asks for the size in characters, the NUL included; otherwise the text is written and
// its size returned, or 0 with the reason as the last error.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData) {
    using namespace sim::detail;
    return Run(
        "GetLocaleInfoA", 0, {Locale, LCType, Ptr(lpLCData), cchData}, [&](State& state) -> int {
            const Machine& machine = state.machine;
            if (machine.localeFails || !KnownLocale(machine, Locale) || cchData < 0) {
                return Fail(ERROR_INVALID_PARAMETER);
            }
            std::string value;
            switch (LCType & ~(LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP)) {
                case LOCALE_SDATE:
                    value = machine.dateSeparator;
                    break;
                case LOCALE_SSHORTDATE:
                    value = "yyyy" + machine.dateSeparator + "M" + machine.dateSeparator + "d";
                    break;
                default:
                    return Fail(ERROR_INVALID_FLAGS);
            }
            const int needed = static_cast<int>(value.size()) + 1;
            if (cchData == 0) {
                return needed;
            }
            if (lpLCData == nullptr || cchData < needed) {
                return Fail(ERROR_INSUFFICIENT_BUFFER);
            }
            std::memcpy(lpLCData, value.c_str(), value.size() + 1);
            return needed;
        });
}
