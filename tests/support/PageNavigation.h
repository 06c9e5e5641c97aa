#pragma once
// Getting the running program onto one of its pages, shown, for tests that click through it.
#include <windows.h>

#include <functional>

#include "tests/support/KoravantApp.h"

// The main window is made hidden and then posts itself the close command that hides it at
// start-up; a restore that comes before that command is undone by it. This restores until
// the window stays shown.
bool BringForwardSettled(const KoravantApp& app);

// Brings the window forward and presses page button `buttonId`; true once page `templateId`
// is the one shown.
bool OpenPage(const KoravantApp& app, int buttonId, UINT templateId);

// Sends a button click to a page and returns when the page's handler has returned (for
// commands that start a worker and return at once; a command that shows a message box keeps
// this waiting until `timeoutMs`).
bool SendClick(HWND page, int controlId, DWORD timeoutMs = 5000);

// The worst and typical round trip of WM_NULL to a window, sampled while a condition is
// awaited: how responsive its thread stays.
struct Responsiveness {
    double worstMs = 0;
    double medianMs = 0;
    int samples = 0;
    bool hung = false;  // a round trip exceeded the time-out
};
// Pings `window` with WM_NULL between checks of `condition` until it holds or `timeoutMs`
// passes; false on time-out.
bool WaitWhilePinging(HWND window, const std::function<bool()>& condition, DWORD timeoutMs,
                      Responsiveness* measured);
