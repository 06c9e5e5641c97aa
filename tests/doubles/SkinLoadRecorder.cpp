// A stand-in for the optional skin library: it writes every call it receives, one per
// line, to "skinload.log" beside itself, so tests can check the order and arguments.
#include <windows.h>

#include <cstdio>

namespace {
HMODULE g_self = nullptr;

void Record(const char* line) {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(g_self, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    char* slash = strrchr(path, '\\');
    if (!slash || (slash - path) + 14 >= MAX_PATH) return;
    strcpy(slash + 1, "skinload.log");
    HANDLE file = ::CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    ::WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    ::WriteFile(file, "\r\n", 2, &written, nullptr);
    ::CloseHandle(file);
}
}  // namespace

extern "C" {
__declspec(dllexport) int __cdecl InitSkinLoad(DWORD threadId) {
    char line[64];
    snprintf(line, sizeof(line), "InitSkinLoad %lu", static_cast<unsigned long>(threadId));
    Record(line);
    return 1;
}

#ifndef SKIN_DOUBLE_WITHOUT_LOADSKIN
__declspec(dllexport) int __cdecl LoadSkin(const char* skinFile) {
    char line[600];
    snprintf(line, sizeof(line), "LoadSkin %s", skinFile ? skinFile : "(null)");
    Record(line);
    return 1;
}
#endif

__declspec(dllexport) int __cdecl ExitSkin() {
    Record("ExitSkin");
    return 1;
}
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    if (reason == DLL_PROCESS_DETACH) Record("Unloaded");
    return TRUE;
}
