#pragma once
// Screenshots from inside the prefix: BMP files under C:\koravant\screenshots, which the
// scripts turn into PNG pictures.
#include <windows.h>

#include <string>

// The whole screen when `window` is null, else the window's rectangle on the screen.
bool SaveScreenshot(const std::string& name, HWND window = nullptr);
