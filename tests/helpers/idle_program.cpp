// A program for tests to start from a drive and see ended: idle_program.exe [file] creates
// `file` and holds it open (no sharing of deletion) until it ends, then waits to be ended. It
// ends by itself after ten minutes so that a failed test leaves nothing running for long.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc > 1 && ::CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE)
        return 2;
    ::Sleep(10 * 60 * 1000);
    return 0;
}
