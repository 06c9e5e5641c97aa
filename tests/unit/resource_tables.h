#pragma once
// The program's image, cursor, sound and animation resources, and readers for their pixels.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "res/resource.h"

struct PageImages {
    const char* page;
    UINT hot;
    UINT plain;
};
inline constexpr PageImages kPageImages[] = {
    {"Information", IDB_PAGE_INFO_HOT, IDB_PAGE_INFO},
    {"Plugwatch", IDB_PAGE_PLUGWATCH_HOT, IDB_PAGE_PLUGWATCH},
    {"Plugsweep", IDB_PAGE_PLUGSWEEP_HOT, IDB_PAGE_PLUGSWEEP},
    {"Plugkit", IDB_PAGE_PLUGKIT_HOT, IDB_PAGE_PLUGKIT},
    {"Taskwatch", IDB_PAGE_TASKWATCH_HOT, IDB_PAGE_TASKWATCH},
    {"Autostart", IDB_PAGE_AUTOSTART_HOT, IDB_PAGE_AUTOSTART},
    {"RepairSystem", IDB_PAGE_REPAIR_HOT, IDB_PAGE_REPAIR},
    {"Quarantine", IDB_PAGE_QUARANTINE_HOT, IDB_PAGE_QUARANTINE},
};

inline constexpr UINT kCommandBitmaps[] = {IDB_STATE_ACTIVE,
                                           IDB_CMD_DELETE,
                                           IDB_CMD_STOP,
                                           IDB_CMD_SCAN,
                                           IDB_CMD_RESTORE,
                                           IDB_CMD_REFRESH,
                                           IDB_CMD_SAFELY_REMOVE,
                                           IDB_CMD_ACQUIRE_IMMUNITY,
                                           IDB_CMD_CANCEL_IMMUNITY,
                                           IDB_CMD_REPAIR_REGISTRY,
                                           IDB_CMD_DISK_CLEANUP};

inline constexpr UINT kPictures[] = {IDB_INFO_PICTURE, IDB_SHIELD_BANNER};

inline std::vector<UINT> AllBitmaps() {
    std::vector<UINT> ids;
    for (const PageImages& page : kPageImages) ids.insert(ids.end(), {page.hot, page.plain});
    ids.insert(ids.end(), std::begin(kCommandBitmaps), std::end(kCommandBitmaps));
    ids.insert(ids.end(), std::begin(kPictures), std::end(kPictures));
    return ids;
}

struct IconSizes {
    UINT id;
    std::vector<int> sizes;
};
inline const IconSizes kIcons[] = {
    {IDI_APP, {16, 32, 48}},     {IDI_SHIELD_USB, {16, 32}}, {IDI_SHIELD_SCAN, {16, 32}},
    {IDI_SHIELD_LOCK, {16, 32}}, {IDI_TRAY, {16, 32}},       {IDI_ABOUT, {16, 32, 48}},
    {IDI_HELP_BOOK, {16, 32}},
};

inline constexpr COLORREF kWhite = RGB(255, 255, 255);

// A bitmap's pixels as COLORREF values, top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> rgb;

    COLORREF At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    bool IsWhite(int x, int y) const { return At(x, y) == kWhite; }
};

inline Pixels ReadPixels(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP info = {};
    if (!::GetObjectA(bitmap, sizeof(info), &info)) return pixels;
    BITMAPINFO header = {};
    header.bmiHeader.biSize = sizeof(header.bmiHeader);
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    std::vector<RGBQUAD> quads(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = ::GetDC(nullptr);
    int rows = ::GetDIBits(screen, bitmap, 0, info.bmHeight, quads.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) return pixels;
    pixels.width = info.bmWidth;
    pixels.height = info.bmHeight;
    for (const RGBQUAD& q : quads) pixels.rgb.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    return pixels;
}

inline Pixels LoadBitmapPixels(HMODULE module, UINT id) {
    ScopedBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    return bitmap ? ReadPixels(bitmap.get()) : Pixels{};
}

// The raw bytes of a resource, empty when it is missing.
inline std::string ResourceBytes(HMODULE module, UINT id, const char* type) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    HGLOBAL loaded = ::LoadResource(module, found);
    const char* data = loaded ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data ? std::string(data, ::SizeofResource(module, found)) : std::string();
}
