#pragma once
// Programs that tests start (helpers built into the build's testbin folder, never beside the
// product, the program itself, the setup and its uninstaller), ended at scope end.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "tests/support/TestRegistry.h"

// Where the build's programs were copied inside the test prefix.
inline std::string BuildFolder() {
    std::string folder = GetModuleDirectory();
    return folder.substr(0, folder.size() - 1);
}

// The idle helper of the given bitness, inside the prefix (copied there with the tests).
inline std::string IdleProgramPath(bool is64Bit) {
    return BuildFolder() + "\\testbin\\idle_program" + (is64Bit ? "64.exe" : ".exe");
}

class RunningProgram {
  public:
    RunningProgram() = default;
    // Starts the UTF-8 `exePath` with the UTF-8 `arguments` in `workingFolder` (its own
    // folder when empty), with the given environment block (the test's own when empty);
    // check Pid().
    explicit RunningProgram(const std::string& exePath, const std::string& arguments = {},
                            const std::string& workingFolder = {},
                            const std::string& environment = {});
    // Takes over the running process `pid`.
    explicit RunningProgram(DWORD pid)
        : m_process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE,
                                  FALSE, pid)),
          m_pid(pid) {}
    ~RunningProgram() { Kill(); }
    RunningProgram(RunningProgram&&) = default;
    RunningProgram& operator=(RunningProgram&&) = default;

    DWORD Pid() const { return m_pid; }
    bool Running() const { return m_process && !WaitForExit(0); }
    // True when it has ended (or never started).
    bool WaitForExit(DWORD timeoutMs = 10000) const {
        return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
    }
    // STILL_ACTIVE while it runs.
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        return m_process && ::GetExitCodeProcess(m_process.get(), &code) ? code : STILL_ACTIVE;
    }
    void Kill() {
        if (Running() && ::TerminateProcess(m_process.get(), 1)) WaitForExit(5000);
    }

  private:
    ScopedHandle m_process;
    DWORD m_pid = 0;
};

// The program's exit code, or STILL_ACTIVE when it has not ended in time.
DWORD RunToEnd(const std::string& exePath, const std::string& arguments = {},
               DWORD timeoutMs = 120000);

// Copies a file between UTF-8 paths, creating the target's folders.
bool CopyProgram(const std::string& from, const std::string& to);

// The processes of the prefix whose program file is named `exeName` (any case).
std::vector<DWORD> ProcessIdsNamed(const std::string& exeName);

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellonix";
constexpr char kUninstallerTitle[] = "Brellonix Uninstall";
constexpr int kWizardNext = 1;  // Install, Uninstall, Finish
constexpr int kWizardCancel = 2;

// The setup program copied into the prefix; empty when the build made none.
std::string SetupPath();

// A string value, "" when missing.
inline std::string UninstallEntry(const char* name) {
    auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    return value && value->type == REG_SZ ? value->data.c_str() : "";
}
inline std::string InstalledFolder() { return UninstallEntry("InstallLocation"); }

// The uninstaller runs a copy of itself from the temporary folder, so that it can remove its
// own file: runs the installed one with `arguments` and returns the copy, which does the work.
RunningProgram StartUninstaller(const std::string& arguments = {});
