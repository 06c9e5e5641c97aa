#include "tests/support/PageNavigation.h"

#include <algorithm>
#include <vector>

#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr DWORD kShowMs = 1000;
constexpr DWORD kSettleMs = 300;
constexpr int kAttempts = 5;
constexpr UINT kPingTimeoutMs = 5000;
// Often enough to see any stall a user would notice, seldom enough not to cause one.
constexpr DWORD kPingGapMs = 10;
}  // namespace

bool BringForwardSettled(const KoravantApp& app) {
    HWND main = app.MainWindow();
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        ::ShowWindow(main, SW_RESTORE);
        // A restore undone at once may never be seen shown: try again soon.
        if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, kShowMs, 5)) continue;
        if (!WaitUntil([&] { return !::IsWindowVisible(main); }, kSettleMs)) return true;
    }
    return false;
}

bool OpenPage(const KoravantApp& app, int buttonId, UINT templateId) {
    if (!BringForwardSettled(app)) return false;
    ClickButton(app.MainWindow(), buttonId);
    return WaitUntil([&] { return app.VisiblePage() == templateId; });
}

bool SendClick(HWND page, int controlId, DWORD timeoutMs) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(page, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(::GetDlgItem(page, controlId)),
                                 SMTO_NORMAL, timeoutMs, &answer) != 0;
}

bool WaitWhilePinging(HWND window, const std::function<bool()>& condition, DWORD timeoutMs,
                      Responsiveness* measured) {
    std::vector<double> trips;
    double deadline = NowMs() + timeoutMs;
    bool met = false;
    while (!(met = condition()) && NowMs() < deadline) {
        DWORD_PTR answer = 0;
        double sent = NowMs();
        if (!::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kPingTimeoutMs, &answer))
            measured->hung = true;
        trips.push_back(NowMs() - sent);
        ::Sleep(kPingGapMs);
    }
    if (!trips.empty()) {
        std::sort(trips.begin(), trips.end());
        measured->worstMs = trips.back();
        measured->medianMs = trips[trips.size() / 2];
        measured->samples = static_cast<int>(trips.size());
    }
    return met;
}
