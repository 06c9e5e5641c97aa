#pragma once
// The main window's private messages. Other threads post these to have work done on the
// user-interface thread; each page's workers declare theirs beside the job that posts them.
#include <windows.h>

// The tray icon's callback message; its number is part of the program's interface.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 1;
static_assert(WM_TRAY_NOTIFY == 1025);

// End the main window's modal loop as Quit does.
constexpr UINT WM_APP_QUIT = WM_APP + 1;
// Restore the main window, bring it to the foreground and show page wParam (1-8).
constexpr UINT WM_APP_SHOW_PAGE = WM_APP + 2;
