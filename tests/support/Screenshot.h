#pragma once
// Screenshots from inside the prefix, as PNG files under C:\koravant\screenshots, taken by
// scripts/screenshot-watch from the X screen (a screen DC inside Wine can miss other
// processes' windows); false when the watcher is not running.
#include <windows.h>

#include <string>

// The whole screen when `window` is null, else the window's rectangle on the screen.
bool SaveScreenshot(const std::string& name, HWND window = nullptr);
