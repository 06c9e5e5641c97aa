// A program for tests to start from a drive and see ended: idle_program.exe [file] creates
// `file` and holds it open (no sharing of deletion), then waits to be ended. It ends by
// itself after ten minutes so that a failed test leaves nothing running for long.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    HANDLE held = INVALID_HANDLE_VALUE;
    if (argc > 1) {
        held =
            ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (held == INVALID_HANDLE_VALUE) return 2;
    }
    ::Sleep(10 * 60 * 1000);
    if (held != INVALID_HANDLE_VALUE) ::CloseHandle(held);
    return 0;
}
