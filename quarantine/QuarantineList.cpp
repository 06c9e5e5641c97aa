#include "quarantine/QuarantineList.h"

#include <windows.h>

#include "framework/Handles.h"
#include "quarantine/QuarantineStore.h"

std::vector<QuarantineEntry> ListQuarantineFiles(const std::string& folder) {
    std::vector<QuarantineEntry> entries;
    WIN32_FIND_DATAA found;
    ScopedFindHandle find(::FindFirstFileA((folder + "*.kv").c_str(), &found));
    if (!find) return entries;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string path = folder + found.cFileName;
        if (path.size() > kMaxPathLength) continue;
        char origin[kPathBufferSize] = {};
        if (!ReadQuarantineOrigin(path.c_str(), origin)) continue;
        entries.push_back({origin, path});
    } while (::FindNextFileA(find.get(), &found));
    return entries;
}

bool DeleteQuarantineFile(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path.c_str()) != FALSE;
}
