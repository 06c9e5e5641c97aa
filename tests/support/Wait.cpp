#include "tests/support/Wait.h"

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
    double deadline = NowMs() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (NowMs() >= deadline) return false;
        ::Sleep(pollMs);
    }
}

double NowMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}
