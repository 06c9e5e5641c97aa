// Stand-in for the optional skin library: each call it gets is a line of "skinload.log" beside it.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HMODULE g_self = nullptr;

// Appends `line` to the log; returns 1, the library's answer to every call.
int Record(const std::string& line) {
    char path[MAX_PATH] = {};
    std::string log(path, ::GetModuleFileNameA(g_self, path, MAX_PATH));
    log.replace(log.rfind('\\') + 1, std::string::npos, "skinload.log");
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
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
