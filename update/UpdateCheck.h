#pragma once
// The background update check. Until the checker exists no check is ever due.
#include <windows.h>

// Given the open settings key; records today's date when a check is due.
bool IsUpdateCheckDue(HKEY settingsKey);
UINT UpdateCheckThread(LPVOID app);
