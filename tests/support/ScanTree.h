#pragma once
// The big tree the long scan tests and the scan benchmark share: 100,000 files in 10,000
// folders, every 20th file suspicious. Building it under Wine takes a while, so it is built
// once in the prefix, marked complete, and reused by later runs; nothing ever changes it.
#include <windows.h>

#include <string>

constexpr unsigned long kScanTreeFolders = 10000;
constexpr unsigned long kScanTreeFiles = 100000;
constexpr unsigned long kScanTreeSuspicious = 5000;

// The tree's folder (a C: path), built first unless a complete one is there; "" when a file
// could not be made.
std::string EnsureScanTree();

// A drive letter mapped onto a folder that outlives it (unlike TestDrive, which owns a fresh
// folder); the letter goes away at scope end.
class MappedDrive {
  public:
    MappedDrive(char letter, const std::string& folder) : m_letter(letter), m_folder(folder) {
        Plug();
    }
    ~MappedDrive() { Remove(); }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    bool Plugged() const { return m_plugged; }
    bool Plug();
    bool Remove();

  private:
    char m_letter;
    std::string m_folder;
    bool m_plugged = false;
};
