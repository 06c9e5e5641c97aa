#pragma once
// Screenshots from inside the prefix, as PNG files under C:\koravant\screenshots, taken by
// scripts/screenshot-watch from the X screen (a screen DC inside Wine can miss other
// processes' windows); false when the watcher is not running.
#include <bit>

#include "tests/support/KoravantApp.h"  // the build folder, files and waiting

// The whole screen when `window` is null, else the window's rectangle on the screen.
inline bool SaveScreenshot(const std::string& name, HWND window = nullptr) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window) ::GetWindowRect(window, &area);
    std::string folder = BuildFolder() + "\\screenshots", png = folder + "\\" + name + ".png";
    CreateFolders(folder);
    // The watcher, outside the prefix, touches its heartbeat file every second.
    WIN32_FILE_ATTRIBUTE_DATA beat = {};
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    constexpr ULONGLONG kFreshTicks = 3ULL * 10000000ULL;  // 3 s in 100 ns ticks
    if (area.right <= area.left || area.bottom <= area.top ||
        !::GetFileAttributesExA((folder + "\\.watching").c_str(), GetFileExInfoStandard, &beat) ||
        std::bit_cast<ULONGLONG>(now) >=
            std::bit_cast<ULONGLONG>(beat.ftLastWriteTime) + kFreshTicks)
        return false;
    ::Sleep(200);  // let the window finish painting first
    ::DeleteFileA(png.c_str());
    std::string request = std::to_string(area.left) + " " + std::to_string(area.top) + " " +
                          std::to_string(area.right - area.left) + " " +
                          std::to_string(area.bottom - area.top) + "\n";
    return WriteFileBytes(folder + "\\" + name + ".request", request) &&
           WaitUntil([&] { return PathExists(png); }, 5000, 50);
}
