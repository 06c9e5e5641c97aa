#include "framework/TaskbarCorner.h"

POINT PlaceAboveTaskbar(const RECT& taskbar, const RECT& desktop, SIZE window) {
    return POINT{desktop.right - window.cx, taskbar.top - window.cy};
}

bool ShowAboveTaskbar(HWND window, bool activate) {
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    RECT taskbarRect, desktopRect, windowRect;
    ::GetWindowRect(taskbar, &taskbarRect);
    ::GetWindowRect(::GetDesktopWindow(), &desktopRect);
    ::GetWindowRect(window, &windowRect);
    SIZE size = {windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
    POINT corner = PlaceAboveTaskbar(taskbarRect, desktopRect, size);
    UINT flags = SWP_SHOWWINDOW | (activate ? 0 : SWP_NOACTIVATE);
    return ::SetWindowPos(window, HWND_TOP, corner.x, corner.y, size.cx, size.cy, flags) != FALSE;
}
