// Windows XP SP3 is the oldest system the program runs on. The posix thread runtime linked in
// for std::mutex calls GetTickCount64, which XP's kernel32 lacks: imported, it would stop the
// program loading there. This definition of the import's address slot, linked into the
// executable before kernel32's import library, looks the function up at run time instead.
#include <windows.h>

#include "framework/LateImport.h"

namespace {
using TickCountFn = ULONGLONG(WINAPI*)();

const TickCountFn g_systemTickCount64 = LateImport<TickCountFn>("kernel32.dll", "GetTickCount64");
volatile LONG g_tickHigh = 0;
volatile LONG g_lastTick = 0;

// XP: the 32-bit count, widened by counting its wraps (every 49.7 days).
ULONGLONG WINAPI TickCount64() {
    if (g_systemTickCount64) return g_systemTickCount64();
    DWORD now = ::GetTickCount();
    DWORD last = static_cast<DWORD>(::InterlockedExchange(&g_lastTick, static_cast<LONG>(now)));
    if (now < last) ::InterlockedIncrement(&g_tickHigh);
    return (static_cast<ULONGLONG>(static_cast<DWORD>(g_tickHigh)) << 32) | now;
}
}  // namespace

// The import's address slot, by the name the compiler gives it on each architecture.
#if defined(_WIN64)
#define KORAVANT_TICK_COUNT64_SLOT "__imp_GetTickCount64"
#else
#define KORAVANT_TICK_COUNT64_SLOT "__imp__GetTickCount64@0"
#endif
extern "C" {
extern TickCountFn const g_tickCount64Import __asm__(KORAVANT_TICK_COUNT64_SLOT);
TickCountFn const g_tickCount64Import = TickCount64;
}
