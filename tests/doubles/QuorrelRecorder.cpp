// Stand-in for the updater "Quorrel.exe": writes its command line, then each argument it
// received on a line of its own, to "quorrel.log" beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH] = {};
    std::string log(path, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    log.replace(log.rfind('\\') + 1, std::string::npos, "quorrel.log");
    FILE* file = std::fopen(log.c_str(), "wb");
    if (!file) return 1;
    std::fprintf(file, "%s\r\n", ::GetCommandLineA());
    for (int i = 1; i < __argc; ++i) std::fprintf(file, "%s\r\n", __argv[i]);
    return std::fclose(file);
}
