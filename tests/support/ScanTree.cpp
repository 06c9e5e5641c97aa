#include "tests/support/ScanTree.h"

#include <cstdio>
#include <vector>

#include "tests/support/TestDrives.h"

namespace {
constexpr char kTree[] = "C:\\koravant\\trees\\10000-10-10-20";
// Beside the tree, not in it: the scans count every file of the tree.
constexpr char kCompleteMark[] = "C:\\koravant\\trees\\10000-10-10-20.complete";
constexpr unsigned long kFanOut = 10, kSuspiciousEvery = 20;

// Filled level by level; suspicious files alternate between a visible ".vbs" and a hidden
// ".exe", the others are ".txt" files and visible ".exe" files.
bool BuildScanTree() {
    std::vector<std::string> folders{kTree};
    if (!CreateFolders(kTree)) return false;
    unsigned long file = 0;
    for (unsigned long i = 1; i <= kScanTreeFolders; ++i) {
        folders.push_back(folders[(i - 1) / kFanOut] + "\\d" + std::to_string(i));
        if (!::CreateDirectoryA(folders.back().c_str(), nullptr)) return false;
        for (unsigned long slot = 0; slot < kScanTreeFiles / kScanTreeFolders; ++slot, ++file) {
            bool suspicious = file % kSuspiciousEvery == kSuspiciousEvery - 1;
            bool hidden = suspicious && (file / kSuspiciousEvery) % 2 == 1;
            const char* kind = suspicious ? (hidden ? "h%lu.exe" : "s%lu.vbs")
                                          : (file % 2 ? "p%lu.exe" : "f%lu.txt");
            char name[32];
            std::snprintf(name, sizeof(name), kind, slot);
            std::string path = folders.back() + "\\" + name;
            if (!WriteFileBytes(path, "") ||
                (hidden && !::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN)))
                return false;
        }
    }
    return true;
}
}  // namespace

std::string EnsureScanTree() {
    if (ReadFileBytes(kCompleteMark) == "10000 10 10 20") return kTree;
    DeleteTree(kTree);
    return BuildScanTree() && WriteFileBytes(kCompleteMark, "10000 10 10 20") ? kTree : "";
}
