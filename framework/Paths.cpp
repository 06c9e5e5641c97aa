#include "framework/Paths.h"

#include <windows.h>

std::string GetModuleDirectory() {
    char path[MAX_PATH + 1] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    folder.erase(folder.find_last_of('\\') + 1);
    if (folder.size() > kMaxPathLength) return {};
    return folder;
}
