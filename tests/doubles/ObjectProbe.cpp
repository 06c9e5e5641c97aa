// Loaded into the program under test by a thread the test starts there: counts the program's
// own objects from inside. Wine answers the system's counters with 0, inside the process too,
// so the probe walks the handle numbers and the address space itself.
#include <windows.h>

#include <iterator>

#include "framework/Handles.h"

namespace {
// How many of the handle values from `first` below 0x10000, in steps of `step`, name an object.
template <typename IsObject>
DWORD CountHandleValues(UINT_PTR first, UINT_PTR step, IsObject isObject) {
    DWORD count = 0;
    for (UINT_PTR value = first; value < 0x10000; value += step) count += isObject(value) ? 1 : 0;
    return count;
}

// Every window below the desktop, top-level or child, that a thread of this process made.
BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == ::GetCurrentProcessId()) ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

// GDI handles carry their table index in the low word; Wine accepts a zero high word as any.
DWORD CountGdi() {
    return CountHandleValues(
        0x20, 1, [](UINT_PTR value) { return ::GetObjectType(reinterpret_cast<HGDIOBJ>(value)); });
}

// Windows, then every user handle number that names a menu, an icon or a cursor.
DWORD CountUser() {
    DWORD windows = 0;
    ::EnumChildWindows(::GetDesktopWindow(), CountOwnWindow, reinterpret_cast<LPARAM>(&windows));
    HDC screen = ::GetDC(nullptr);
    MemoryDC probe(screen);
    ScopedBitmap canvas(::CreateCompatibleBitmap(screen, 1, 1));
    ::ReleaseDC(nullptr, screen);
    SelectedObject selected(probe.get(), canvas.get());
    return windows + CountHandleValues(0x20, 2, [&](UINT_PTR value) {
               return ::IsMenu(reinterpret_cast<HMENU>(value)) ||
                      ::DrawIconEx(probe.get(), 0, 0, reinterpret_cast<HICON>(value), 1, 1, 0,
                                   nullptr, DI_NORMAL);
           });
}

// Kernel handles are multiples of 4; every one that names an object answers its flags.
DWORD CountHandles() {
    return CountHandleValues(4, 4, [](UINT_PTR value) {
        DWORD flags = 0;
        return ::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags);
    });
}

DWORD PrivateKilobytes() {
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof(region)) && region.RegionSize;
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize)
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    return static_cast<DWORD>(total / 1024);
}
}  // namespace

// `what` is the index of the count, in the order of ProcessCounts (tests/support/ObjectProbe.h).
extern "C" __declspec(dllexport) DWORD WINAPI ProbeCount(LPVOID what) {
    using Counter = DWORD (*)();
    constexpr Counter kCounters[] = {CountGdi, CountUser, CountHandles, PrivateKilobytes};
    auto kind = reinterpret_cast<UINT_PTR>(what);
    return kind < std::size(kCounters) ? kCounters[kind]() : 0;
}
