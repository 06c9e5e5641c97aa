#include "quarantine/QuarantineList.h"

#include "framework/FileSystem.h"
#include "quarantine/QuarantineStore.h"

std::vector<QuarantineEntry> ListQuarantineFiles(const std::string& folder) {
    std::vector<QuarantineEntry> entries;
    for (FileFinder find(folder + "*.kv"); find.Found(); find.Next()) {
        if (find.IsFolder()) continue;
        std::string path = folder + find.Name();
        std::string origin;
        if (!FitsPathLimit(path) || !ReadQuarantineOrigin(path, origin)) continue;
        entries.push_back({origin, path});
    }
    return entries;
}

bool DeleteQuarantineFile(const std::string& path) {
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileUtf8(path);
}
