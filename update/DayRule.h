#pragma once
// When the background update check is due: by the day of the month of the last check only.
#include <windows.h>

constexpr char kLastCheckValue[] = "lastcheck";

// Applies the day rule for `today` (1-31) to the settings key's `lastcheck`, and records
// today when a check is due.
bool IsUpdateCheckDueOn(HKEY settingsKey, int today);
// The same for today's local date.
bool IsUpdateCheckDue(HKEY settingsKey);
