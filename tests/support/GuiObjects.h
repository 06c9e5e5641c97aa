#pragma once
// Counts of GDI and USER objects, for leak checks. GetGuiResources answers them on Windows;
// Wine answers 0 there, so these fall back to what can be counted under Wine.
#include <windows.h>

#include <string>

struct GuiObjectCounts {
    long gdi = 0;
    long user = 0;
    // "system" when GetGuiResources answered, else how the figures were found.
    std::string source;
};

// This process. Under Wine: every live GDI handle of the process, and its windows, menus,
// icons and cursors, found by walking the handle numbers.
GuiObjectCounts CountOwnGuiObjects();

// Another process. Under Wine its GDI objects cannot be seen from outside: gdi is then -1,
// user counts its windows, and the caller falls back on the process's memory.
GuiObjectCounts CountProcessGuiObjects(HANDLE process, DWORD pid);

// The process's private memory in bytes, or 0 when the system does not tell.
SIZE_T ProcessPrivateBytes(HANDLE process);
