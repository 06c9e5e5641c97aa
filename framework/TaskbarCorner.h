#pragma once
// The corner where the program's small windows pop up: bottom right, just above the taskbar.
#include <windows.h>

// Where a window of the given size goes: its right edge at the desktop's right, its bottom
// at the taskbar's top.
POINT PlaceAboveTaskbar(const RECT& taskbar, const RECT& desktop, SIZE window);
// Shows `window` there, on top, in one move; leaves it hidden when there is no taskbar and
// says whether it showed. Without `activate` the window comes up without taking the focus.
bool ShowAboveTaskbar(HWND window, bool activate = true);
