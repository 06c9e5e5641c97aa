#include "tests/support/Screenshot.h"

#include <vector>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/Wait.h"

namespace {
bool WriteBitmapFile(const std::string& path, HDC dc, HBITMAP bitmap, int width, int height) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    int stride = (width * 3 + 3) & ~3;
    std::vector<char> pixels(static_cast<size_t>(stride) * height);
    if (!::GetDIBits(dc, bitmap, 0, height, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header),
                     DIB_RGB_COLORS))
        return false;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    ScopedHandle out(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    DWORD written = 0;
    return ::WriteFile(out.get(), &file, sizeof(file), &written, nullptr) &&
           ::WriteFile(out.get(), &header, sizeof(header), &written, nullptr) &&
           ::WriteFile(out.get(), pixels.data(), static_cast<DWORD>(pixels.size()), &written,
                       nullptr);
}
}  // namespace

namespace {
// Asks scripts/screenshot-watch, outside the prefix, for a picture of the X screen: it sees
// every window as the user does, which a screen DC inside Wine does not.
bool WatcherIsRunning(const std::string& folder) {
    WIN32_FILE_ATTRIBUTE_DATA heartbeat = {};
    if (!::GetFileAttributesExA((folder + "\\.watching").c_str(), GetFileExInfoStandard,
                                &heartbeat))
        return false;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER touched = {
        {heartbeat.ftLastWriteTime.dwLowDateTime, heartbeat.ftLastWriteTime.dwHighDateTime}};
    ULARGE_INTEGER current = {{now.dwLowDateTime, now.dwHighDateTime}};
    constexpr ULONGLONG kFreshTicks = 3ULL * 10000000ULL;  // 3 s in 100 ns ticks
    return current.QuadPart < touched.QuadPart + kFreshTicks;
}

bool RequestScreenshot(const std::string& folder, const std::string& name, const RECT& area) {
    if (!WatcherIsRunning(folder)) return false;
    std::string png = folder + "\\" + name + ".png";
    ::DeleteFileA(png.c_str());
    char line[64];
    wsprintfA(line, "%d %d %d %d\n", static_cast<int>(area.left), static_cast<int>(area.top),
              static_cast<int>(area.right - area.left), static_cast<int>(area.bottom - area.top));
    {
        ScopedHandle request(::CreateFileA((folder + "\\" + name + ".request").c_str(),
                                           GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!request || !::WriteFile(request.get(), line, static_cast<DWORD>(lstrlenA(line)),
                                     &written, nullptr))
            return false;
    }
    return WaitUntil([&] { return ::GetFileAttributesA(png.c_str()) != INVALID_FILE_ATTRIBUTES; },
                     5000, 50);
}

bool SaveScreenDcCopy(const std::string& path, const RECT& area) {
    int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = ::GetDC(nullptr);
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    {
        MemoryDC memory(screen);
        SelectedObject selected(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    }
    bool saved = WriteBitmapFile(path, screen, bitmap.get(), width, height);
    ::ReleaseDC(nullptr, screen);
    return saved;
}
}  // namespace

bool SaveScreenshot(const std::string& name, HWND window) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window) ::GetWindowRect(window, &area);
    if (area.right <= area.left || area.bottom <= area.top) return false;
    std::string folder = BuildFolder() + "\\screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    // Let the window finish painting first.
    ::Sleep(200);
    if (RequestScreenshot(folder, name, area)) return true;
    return SaveScreenDcCopy(folder + "\\" + name + ".bmp", area);
}
