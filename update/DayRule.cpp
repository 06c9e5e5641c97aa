#include "update/DayRule.h"

#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kDaysBetweenChecks = 7;

// The stored day, or 0 when there is none or it does not begin with a digit.
int StoredDay(HKEY key) {
    char text[100] = {};
    // One byte short of the buffer, so the text always ends in a zero.
    DWORD size = sizeof(text) - 1;
    if (::RegQueryValueExA(key, kLastCheckValue, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                           &size) != ERROR_SUCCESS)
        return 0;
    return std::atoi(text);
}

void RecordDay(HKEY key, int day) {
    char text[16] = {};
    int length = std::snprintf(text, sizeof(text), "%d", day);
    ::RegSetValueExA(key, kLastCheckValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                     static_cast<DWORD>(length + 1));
}
}  // namespace

bool IsUpdateCheckDueOn(HKEY settingsKey, int today) {
    int stored = StoredDay(settingsKey);
    if (stored != 0 && std::abs(today - stored) <= kDaysBetweenChecks) return false;
    RecordDay(settingsKey, today);
    return true;
}

bool IsUpdateCheckDue(HKEY settingsKey) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return IsUpdateCheckDueOn(settingsKey, now.wDay);
}
