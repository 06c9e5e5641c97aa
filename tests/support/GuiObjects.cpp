#include "tests/support/GuiObjects.h"

#include "framework/Handles.h"

namespace {
// Handles carry their table index in the low word; Wine accepts a zero high word as any.
constexpr UINT_PTR kFirstGdiIndex = 0x20;
constexpr UINT_PTR kLastIndex = 0xFFFF;
constexpr UINT_PTR kFirstUserHandle = 0x20;

bool FromSystem(HANDLE process, GuiObjectCounts* counts) {
    DWORD gdi = ::GetGuiResources(process, GR_GDIOBJECTS);
    DWORD user = ::GetGuiResources(process, GR_USEROBJECTS);
    if (gdi == 0 && user == 0) return false;
    *counts = {static_cast<long>(gdi), static_cast<long>(user), "system"};
    return true;
}

long CountLiveGdiHandles() {
    long count = 0;
    for (UINT_PTR index = kFirstGdiIndex; index <= kLastIndex; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}

struct WindowTally {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM tally) {
    ++reinterpret_cast<WindowTally*>(tally)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM param) {
    auto* tally = reinterpret_cast<WindowTally*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != tally->pid) return TRUE;
    ++tally->count;
    ::EnumChildWindows(window, CountChild, param);
    return TRUE;
}

long CountWindowsOf(DWORD pid) {
    WindowTally tally = {pid, 0};
    ::EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
    return tally.count;
}

// Menus, icons and cursors of this process: every user handle number that names one.
long CountOwnMenusAndIcons() {
    HDC screen = ::GetDC(nullptr);
    MemoryDC probe(screen);
    ScopedBitmap canvas(::CreateCompatibleBitmap(screen, 1, 1));
    ::ReleaseDC(nullptr, screen);
    SelectedObject selected(probe.get(), canvas.get());
    long count = 0;
    for (UINT_PTR handle = kFirstUserHandle; handle <= kLastIndex; handle += 2) {
        if (::IsMenu(reinterpret_cast<HMENU>(handle)) ||
            ::DrawIconEx(probe.get(), 0, 0, reinterpret_cast<HICON>(handle), 1, 1, 0, nullptr,
                         DI_NORMAL))
            ++count;
    }
    return count;
}
}  // namespace

GuiObjectCounts CountOwnGuiObjects() {
    GuiObjectCounts counts;
    if (FromSystem(::GetCurrentProcess(), &counts)) return counts;
    counts.source = "handle walk";
    long menusAndIcons = CountOwnMenusAndIcons();
    counts.gdi = CountLiveGdiHandles();
    counts.user = CountWindowsOf(::GetCurrentProcessId()) + menusAndIcons;
    return counts;
}
