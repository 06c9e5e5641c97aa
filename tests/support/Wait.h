#pragma once
// Polling helpers: the program under test runs in another process, so tests wait for
// states instead of sleeping fixed times.
#include <windows.h>

#include <chrono>
#include <functional>

// Milliseconds on a monotonic clock, for measurements.
inline double NowMs() {
    using Ms = std::chrono::duration<double, std::milli>;
    return Ms(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passes.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000,
                      DWORD pollMs = 15) {
    for (double deadline = NowMs() + timeoutMs; !condition(); ::Sleep(pollMs))
        if (NowMs() >= deadline) return false;
    return true;
}
