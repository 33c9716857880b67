#include "platform/Clock.h"

#include <windows.h>

namespace platform {

namespace {

int DayOfYear(const SYSTEMTIME& time) {
    static constexpr int before[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    const int year = time.wYear;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return before[time.wMonth - 1] + time.wDay - 1 + (leap && time.wMonth > 2 ? 1 : 0);
}

} // namespace

std::tm LocalNow() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::tm local{};
    local.tm_year = now.wYear - 1900;
    local.tm_mon = now.wMonth - 1;
    local.tm_mday = now.wDay;
    local.tm_hour = now.wHour;
    local.tm_min = now.wMinute;
    local.tm_sec = now.wSecond;
    local.tm_wday = now.wDayOfWeek;
    local.tm_yday = DayOfYear(now);
    local.tm_isdst = -1;
    return local;
}

} // namespace platform
