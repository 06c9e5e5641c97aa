#pragma once
// Screenshots from inside the prefix, as PNG files under C:\koravant\screenshots, taken by
// scripts/screenshot-watch from the X screen; without it running, a BMP copy of Wine's screen
// DC (which can miss other processes' windows) is written instead.
#include <windows.h>

#include <string>

// The whole screen when `window` is null, else the window's rectangle on the screen.
bool SaveScreenshot(const std::string& name, HWND window = nullptr);
