#include "tests/support/Screenshot.h"

#include <bit>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {
// The watcher, outside the prefix, touches its heartbeat file every second.
bool WatcherIsRunning(const std::string& folder) {
    WIN32_FILE_ATTRIBUTE_DATA beat = {};
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    constexpr ULONGLONG kFreshTicks = 3ULL * 10000000ULL;  // 3 s in 100 ns ticks
    return ::GetFileAttributesExA((folder + "\\.watching").c_str(), GetFileExInfoStandard, &beat) &&
           std::bit_cast<ULONGLONG>(now) <
               std::bit_cast<ULONGLONG>(beat.ftLastWriteTime) + kFreshTicks;
}
}  // namespace

bool SaveScreenshot(const std::string& name, HWND window) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window) ::GetWindowRect(window, &area);
    std::string folder = BuildFolder() + "\\screenshots", png = folder + "\\" + name + ".png";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    if (area.right <= area.left || area.bottom <= area.top || !WatcherIsRunning(folder))
        return false;
    ::Sleep(200);  // let the window finish painting first
    ::DeleteFileA(png.c_str());
    char request[64];
    wsprintfA(request, "%d %d %d %d\n", static_cast<int>(area.left), static_cast<int>(area.top),
              static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top));
    return WriteFileBytes(folder + "\\" + name + ".request", request) &&
           WaitUntil([&] { return ::GetFileAttributesA(png.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     5000, 50);
}
