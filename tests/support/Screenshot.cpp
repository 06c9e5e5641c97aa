#include "tests/support/Screenshot.h"

#include <vector>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"

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

bool SaveScreenshot(const std::string& name, HWND window) {
    RECT area = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (window) ::GetWindowRect(window, &area);
    int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return false;
    std::string folder = BuildFolder() + "\\screenshots";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    HDC screen = ::GetDC(nullptr);
    ScopedBitmap bitmap(::CreateCompatibleBitmap(screen, width, height));
    bool saved = false;
    {
        MemoryDC memory(screen);
        SelectedObject selected(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    }
    saved = WriteBitmapFile(folder + "\\" + name + ".bmp", screen, bitmap.get(), width, height);
    ::ReleaseDC(nullptr, screen);
    return saved;
}
