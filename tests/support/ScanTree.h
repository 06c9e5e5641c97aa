#pragma once
// Big folder trees for the scan tests and the scan benchmark. Building tens of thousands of
// files under Wine takes a while, so a tree is built once in a folder of the prefix, marked
// complete, and reused by later runs; tests map a drive letter onto it and never change it.
#include <windows.h>

#include <string>

struct ScanTreeShape {
    int folders;  // besides the root; each holds filesPerFolder files
    int filesPerFolder;
    int fanOut;           // sub-folders per folder: the tree is filled level by level
    int suspiciousEvery;  // every n-th file is suspicious by the scan rule
};

struct ScanTreeCounts {
    unsigned long files = 0;
    unsigned long folders = 0;
    unsigned long suspicious = 0;
};

// The tree the scan tests and the scan benchmark share: 100,000 files in 10,000 folders,
// 5% of them suspicious.
constexpr ScanTreeShape kLargeScanTree = {10000, 10, 10, 20};

// Where the trees of a shape are kept: C:\koravant\trees\<shape>.
std::string ScanTreeFolder(const ScanTreeShape& shape);

// The counts a tree of `shape` holds.
ScanTreeCounts CountsOf(const ScanTreeShape& shape);

// Builds the tree under `folder` (a C: path) unless a complete one of the same shape is
// there already. Suspicious files alternate between a visible ".vbs" and a hidden ".exe";
// the others are ".txt" files and visible ".exe" files. False when a file could not be made.
bool EnsureScanTree(const std::string& folder, const ScanTreeShape& shape);

// A drive letter mapped onto a folder that outlives it (unlike TestDrive, which owns a fresh
// folder); the letter goes away at scope end.
class MappedDrive {
  public:
    MappedDrive(char letter, const std::string& folder, UINT driveType = DRIVE_REMOVABLE);
    ~MappedDrive();
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    bool Plugged() const { return m_plugged; }
    char Letter() const { return m_letter; }
    bool Remove();

  private:
    char m_letter;
    bool m_plugged = false;
};

// Creates a folder whatever the length of its path (the ANSI calls stop at 260 characters);
// every missing parent is made too.
bool CreateLongFolder(const std::string& path);
// Writes an empty file at a path of any length.
bool CreateLongFile(const std::string& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL);
// Deletes a tree whose paths may pass 260 characters.
bool DeleteLongTree(const std::string& folder);
