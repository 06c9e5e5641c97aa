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
