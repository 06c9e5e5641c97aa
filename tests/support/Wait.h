#pragma once
// Polling helpers: the program under test runs in another process, so tests wait for
// states instead of sleeping fixed times.
#include <windows.h>

#include <functional>

// Polls `condition` every few milliseconds until it holds or `timeoutMs` passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000, DWORD pollMs = 15);

// Milliseconds on a monotonic clock, for measurements.
double NowMs();
