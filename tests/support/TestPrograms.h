#pragma once
// Helper programs of the tests (built into the build's testbin folder, never beside the
// product), started where a test wants them and ended at scope end.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

// The idle helper of the given bitness, inside the prefix (copied there with the tests).
std::string IdleProgramPath(bool is64Bit);

class RunningProgram {
  public:
    RunningProgram() = default;
    // Starts the UTF-8 `exePath` with the UTF-8 `arguments` in `workingFolder` (its own
    // folder when empty); check Running().
    explicit RunningProgram(const std::string& exePath, const std::string& arguments = {},
                            const std::string& workingFolder = {});
    ~RunningProgram() { Kill(); }
    RunningProgram(RunningProgram&&) = default;
    RunningProgram& operator=(RunningProgram&&) = default;

    DWORD Pid() const { return m_pid; }
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    void Kill();

  private:
    ScopedHandle m_process;
    DWORD m_pid = 0;
};

// Copies a file between UTF-8 paths, creating the target's folders.
bool CopyProgram(const std::string& from, const std::string& to);

// The processes of the prefix whose program file is named `exeName` (any case).
std::vector<DWORD> ProcessIdsNamed(const std::string& exeName);
