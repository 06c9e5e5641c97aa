#include "framework/LateImport.h"

#include <string>

namespace {
// From the system folder only: the program's own folder may be a USB stick.
HMODULE LoadSystemLibrary(const char* library) {
    char folder[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::string path = std::string(folder, length) + "\\" + library;
    return ::LoadLibraryA(path.c_str());
}
}  // namespace

void* LateImportAddress(const char* library, const char* function) {
    HMODULE module = ::GetModuleHandleA(library);
    if (!module) module = LoadSystemLibrary(library);
    return module ? reinterpret_cast<void*>(::GetProcAddress(module, function)) : nullptr;
}
