#pragma once
// The eight pages of the main window, by page index (1-8).
#include <windows.h>

struct PageInfo {
    int index;
    UINT buttonId;
    UINT templateId;
    UINT hoverBitmap;
    UINT plainBitmap;
    UINT tipString;
};

constexpr int kPageCount = 8;
enum PageIndex {
    kPageInformation = 1,
    kPagePlugwatch,
    kPagePlugsweep,
    kPagePlugkit,
    kPageTaskwatch,
    kPageAutostart,
    kPageRepairSystem,
    kPageQuarantine,
};

// Indexed by page index - 1.
const PageInfo& PageByIndex(int index);
// The page index of a page button's command, or 0.
int PageIndexOfButton(UINT buttonId);
