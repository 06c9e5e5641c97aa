#pragma once
// The monitor asks the same questions every ten seconds about processes that rarely change.
// This probe remembers the answers that cost most while what they depend on stays the same:
// a process's program file for as long as that process lives (identifier and creation
// time), a file's version information while its size and times stay, and the Windows-folder
// look-ups while none of those folders changed. Whether a file is hidden is always asked.
// One thread uses it.
#include <windows.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "process/ProcessJudge.h"

class ProbeCache final : public ProcessProbe {
  public:
    explicit ProbeCache(ProcessProbe& inner) : m_inner(inner) {}

    // Called before each pass: forgets the Windows-folder look-ups if a folder changed.
    void NewPass();

    bool ProgramFile(DWORD processId, std::string& path) override;
    bool FindInSystemFolders(const std::string& name, std::string& path) override;
    bool IsHidden(const std::string& path) override { return m_inner.IsHidden(path); }
    bool HasVersionInfo(const std::string& path) override;
    bool IsSystemFileName(const std::string& name) override;

    // Size, last write time and creation time of a file.
    using Stamp = std::tuple<ULONGLONG, ULONGLONG, ULONGLONG>;

  private:
    struct Found {
        bool found = false;
        std::string path;
    };

    ProcessProbe& m_inner;
    std::map<DWORD, std::pair<ULONGLONG, Found>> m_programFiles;  // by process: created, file
    std::map<std::string, std::pair<Stamp, bool>> m_versioned;    // by path: stamp, answer
    std::map<std::string, Found> m_systemFiles;                   // by name
    std::map<std::string, bool> m_systemNames;                    // by name
    ULONGLONG m_foldersStamp = 0;
};
