#include "framework/Paths.h"

#include <windows.h>

#include <cstring>

std::string GetModuleDirectory() {
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    if (folder.size() > kMaxPathLength) return {};
    return folder;
}

bool GetModuleDirectory(char* out) {
    if (!out) return false;
    std::string folder = GetModuleDirectory();
    if (folder.empty()) return false;
    std::memcpy(out, folder.c_str(), folder.size() + 1);
    return true;
}
