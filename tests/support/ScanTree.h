#pragma once
// The big tree the long scan tests and the scan benchmark share: 100,000 files in 10,000
// folders, every 20th file suspicious. Building it under Wine takes a while, so it is built
// once in the prefix, marked complete, and reused by later runs; nothing ever changes it.
#include <cstdio>

#include "tests/support/TestDrives.h"  // TestDrive(letter, EnsureScanTree()) maps it

constexpr unsigned long kScanTreeFolders = 10000;
constexpr unsigned long kScanTreeFiles = 100000;
constexpr unsigned long kScanTreeSuspicious = 5000;

// The tree's folder (a C: path), built first unless a complete one is there; "" when a file
// could not be made. Ten folders below each, filled level by level; suspicious files alternate
// between a visible ".vbs" and a hidden ".exe", the others are ".txt" and visible ".exe" files.
inline std::string EnsureScanTree() {
    // The mark lies beside the tree, not in it: the scans count every file of the tree.
    const std::string tree = "C:\\koravant\\trees\\10000-10-10-20", mark = tree + ".complete";
    if (ReadFileBytes(mark) == "10000 10 10 20") return tree;
    std::vector<std::string> folders{tree};
    DeleteTree(tree);
    if (!CreateFolders(tree)) return "";
    for (unsigned long i = 1, file = 0; i <= kScanTreeFolders; ++i) {
        folders.push_back(folders[(i - 1) / 10] + "\\d" + std::to_string(i));
        if (!::CreateDirectoryA(folders.back().c_str(), nullptr)) return "";
        for (unsigned long slot = 0; slot < kScanTreeFiles / kScanTreeFolders; ++slot, ++file) {
            bool suspicious = file % 20 == 19, hidden = suspicious && file / 20 % 2 == 1;
            char name[32];
            std::snprintf(name, sizeof(name),
                          suspicious ? (hidden ? "h%lu.exe" : "s%lu.vbs")
                                     : (file % 2 ? "p%lu.exe" : "f%lu.txt"),
                          slot);
            std::string path = folders.back() + "\\" + name;
            if (!WriteFileBytes(path, "") ||
                (hidden && !::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN)))
                return "";
        }
    }
    return WriteFileBytes(mark, "10000 10 10 20") ? tree : "";
}
