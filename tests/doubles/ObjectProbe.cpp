// Loaded into the program under test by a thread the test starts there: counts the program's
// own objects from inside, since Wine answers such questions about another process with 0.
// Where Wine answers 0 inside too, the probe counts for itself.
#include <windows.h>
#include <psapi.h>

#include "tests/support/GuiObjects.h"
#include "tests/support/ObjectProbe.h"

namespace {
constexpr UINT_PTR kLastHandleValue = 0x10000;

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
            return static_cast<DWORD>(CountOwnGuiObjects().gdi);
        case ProbeCountKind::User:
            return static_cast<DWORD>(CountOwnGuiObjects().user);
        case ProbeCountKind::Handles:
            return CountHandles();
        case ProbeCountKind::PrivateKb:
            return PrivateKilobytes();
    }
    return 0;
}
