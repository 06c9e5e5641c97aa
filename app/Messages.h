#pragma once
// Private window messages. Other threads post these to a window to have work done on the
// user-interface thread: to the main window, or through a WorkerLink to a page.
#include <windows.h>

// The tray icon's callback message; its number is part of the program's interface.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
static_assert(WM_TRAY_NOTIFY == 1025);

// End the main window's modal loop as Quit does.
constexpr UINT WM_APP_QUIT = WM_APP + 1;
// Restore the main window, bring it to the foreground and show page wParam (1-8).
constexpr UINT WM_APP_SHOW_PAGE = WM_APP + 2;

// Delete all on the shield and scan pages: deleting begins / row wParam got result lParam (a
// ThreatDeletion) / done.
constexpr UINT WM_APP_DELETE_ALL_BEGIN = WM_APP + 20;
constexpr UINT WM_APP_DELETE_ALL_ROW = WM_APP + 21;
constexpr UINT WM_APP_DELETE_ALL_END = WM_APP + 22;

// The scan: disable the commands / drives found, clear and animate / done (wParam 1 when no
// drive was found).
constexpr UINT WM_APP_SCAN_BEGIN = WM_APP + 30;
constexpr UINT WM_APP_SCAN_STARTED = WM_APP + 31;
constexpr UINT WM_APP_SCAN_DONE = WM_APP + 33;

// Empty on the quarantine page: deleting begins / done.
constexpr UINT WM_APP_EMPTY_BEGIN = WM_APP + 40;
constexpr UINT WM_APP_EMPTY_DONE = WM_APP + 41;
