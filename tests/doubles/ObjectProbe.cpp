// Loaded into the program under test by a thread the test starts there: counts the program's
// own objects from inside, since Wine answers such questions about another process with 0.
// Where Wine answers 0 inside too, the probe counts for itself by walking the handle numbers.
#include <windows.h>
#include <psapi.h>

#include "framework/Handles.h"
#include "tests/support/ObjectProbe.h"

namespace {
constexpr UINT_PTR kLastHandleValue = 0x10000;

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == ::GetCurrentProcessId()) {
        CountChild(window, count);
        ::EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

// Handles carry their table index in the low word; Wine accepts a zero high word as any.
DWORD CountGdi() {
    if (DWORD gdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return gdi;
    DWORD count = 0;
    for (UINT_PTR index = 0x20; index < kLastHandleValue; ++index)
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++count;
    return count;
}

// Windows, then every user handle number that names a menu, an icon or a cursor.
DWORD CountUser() {
    if (DWORD user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)) return user;
    DWORD count = 0;
    ::EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    HDC screen = ::GetDC(nullptr);
    MemoryDC probe(screen);
    ScopedBitmap canvas(::CreateCompatibleBitmap(screen, 1, 1));
    ::ReleaseDC(nullptr, screen);
    SelectedObject selected(probe.get(), canvas.get());
    for (UINT_PTR handle = 0x20; handle < kLastHandleValue; handle += 2) {
        if (::IsMenu(reinterpret_cast<HMENU>(handle)) ||
            ::DrawIconEx(probe.get(), 0, 0, reinterpret_cast<HICON>(handle), 1, 1, 0, nullptr,
                         DI_NORMAL))
            ++count;
    }
    return count;
}

// Kernel handles are multiples of 4; every one that names an object answers its flags.
DWORD CountHandles() {
    DWORD handles = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &handles) && handles) return handles;
    for (UINT_PTR value = 4; value < kLastHandleValue; value += 4) {
        DWORD flags = 0;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++handles;
    }
    return handles;
}

// Committed private memory, from the system or by walking the address space.
DWORD PrivateKilobytes() {
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(),
                               reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory)) &&
        memory.PrivateUsage)
        return static_cast<DWORD>(memory.PrivateUsage / 1024);
    SIZE_T total = 0;
    MEMORY_BASIC_INFORMATION region = {};
    for (const char* at = nullptr; ::VirtualQuery(at, &region, sizeof(region));
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        if (region.RegionSize == 0) break;
    }
    return static_cast<DWORD>(total / 1024);
}
}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI ProbeCount(LPVOID what) {
    switch (static_cast<ProbeCountKind>(reinterpret_cast<UINT_PTR>(what))) {
        case ProbeCountKind::Gdi:
            return CountGdi();
        case ProbeCountKind::User:
            return CountUser();
        case ProbeCountKind::Handles:
            return CountHandles();
        case ProbeCountKind::PrivateKb:
            return PrivateKilobytes();
    }
    return 0;
}
