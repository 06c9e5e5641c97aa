// Stand-in for the optional skin library: each call it gets is a line of "skinload.log" beside it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HMODULE g_self = nullptr;

// Appends `line` to the log; returns 1, the library's answer to every call.
int Record(const std::string& line) {
    // Wide: the folder's name may be one the ANSI code page cannot spell.
    wchar_t path[MAX_PATH] = {};
    std::wstring log(path, ::GetModuleFileNameW(g_self, path, MAX_PATH));
    log.replace(log.rfind(L'\\') + 1, std::wstring::npos, L"skinload.log");
    if (FILE* file = _wfopen(log.c_str(), L"ab")) {
        std::fprintf(file, "%s\r\n", line.c_str());
        std::fclose(file);
    }
    return 1;
}
}  // namespace

extern "C" {
__declspec(dllexport) int __cdecl InitSkinLoad(DWORD threadId) {
    return Record("InitSkinLoad " + std::to_string(threadId));
}
#ifndef SKIN_DOUBLE_WITHOUT_LOADSKIN
__declspec(dllexport) int __cdecl LoadSkin(const char* skinFile) {
    return Record(std::string("LoadSkin ") + (skinFile ? skinFile : "(null)"));
}
#endif
__declspec(dllexport) int __cdecl ExitSkin() { return Record("ExitSkin"); }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    if (reason == DLL_PROCESS_DETACH) Record("Unloaded");
    return TRUE;
}
