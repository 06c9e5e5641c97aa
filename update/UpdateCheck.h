#pragma once
// The background update check: once per run, after a delay, download the update description
// and, when it offers another version, hand the offer to the update window.
#include <windows.h>

#include <memory>
#include <string>

#include "framework/WorkerLink.h"
#include "update/DayRule.h"

// Posted by the check to the update window; lParam is a heap UpdateOffer the window takes.
constexpr UINT WM_APP_UPDATE_OFFER = WM_APP + 70;

struct UpdateCheckJob {
    std::shared_ptr<WorkerLink> window;
    std::string url;
    std::string folder;  // the program's, with its trailing backslash
    std::string ownVersion;
    std::string agent;
    DWORD delayMs = 0;
};

// Worker procedure; takes ownership of `job`, a heap UpdateCheckJob. Returns 0 on every path.
UINT UpdateCheckThread(LPVOID job);
// Starts the check, which reports through `updateWindow`; false when it cannot start.
bool StartUpdateCheck(std::shared_ptr<WorkerLink> updateWindow);
