#pragma once
// Programs that tests start (helpers built into the build's testbin folder, never beside the
// product, the program itself, the setup and its uninstaller), ended at scope end.
#include <windows.h>
#include <tlhelp32.h>

#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"

// Where the build's programs were copied inside the test prefix.
inline std::string BuildFolder() {
    std::string folder = ModuleDirectoryUtf8();
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
                            const std::string& environment = {}) {
        std::wstring exe = Utf8ToWide(exePath);
        std::wstring folder = Utf8ToWide(
            workingFolder.empty() ? exePath.substr(0, exePath.find_last_of('\\')) : workingFolder);
        std::wstring commandLine =
            L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" ") + Utf8ToWide(arguments);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        std::string block = environment;  // CreateProcessW may write to it
        if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                              block.empty() ? nullptr : block.data(), folder.c_str(), &startup,
                              &info))
            return;
        ::CloseHandle(info.hThread);
        m_process.reset(info.hProcess);
        m_pid = info.dwProcessId;
    }
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
inline DWORD RunToEnd(const std::string& exePath, const std::string& arguments = {},
                      DWORD timeoutMs = 120000) {
    RunningProgram program(exePath, arguments);
    return program.Pid() && program.WaitForExit(timeoutMs) ? program.ExitCode() : STILL_ACTIVE;
}

// Copies a file between UTF-8 paths, creating the target's folders.
inline bool CopyProgram(const std::string& from, const std::string& to) {
    return CreateFolders(to.substr(0, to.find_last_of('\\'))) &&
           ::CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE);
}

// The processes of the prefix whose program file is named `exeName` (any case).
inline std::vector<DWORD> ProcessIdsNamed(const std::string& exeName) {
    std::vector<DWORD> ids;
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    return ids;
}

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellonix";
constexpr char kUninstallerTitle[] = "Brellonix Uninstall";
constexpr int kWizardNext = 1;  // Install, Uninstall, Finish
constexpr int kWizardCancel = 2;

// The setup program copied into the prefix; empty when the build made none.
inline std::string SetupPath() {
    std::string name = KORAVANT_SETUP_NAME;
    return name.empty() ? "" : BuildFolder() + "\\testbin\\" + name;
}

// A string value, "" when missing.
inline std::string UninstallEntry(const char* name) {
    auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    return value && value->type == REG_SZ ? value->data.c_str() : "";
}
inline std::string InstalledFolder() { return UninstallEntry("InstallLocation"); }

// The uninstaller runs a copy of itself from the temporary folder, so that it can remove its
// own file: runs the installed one with `arguments` and returns the copy, which does the work.
inline RunningProgram StartUninstaller(const std::string& arguments = {}) {
    std::vector<DWORD> before = ProcessIdsNamed("Un.exe");  // the copy's name
    // Started outside the folder it removes.
    RunningProgram launcher(InstalledFolder() + "\\Uninstall.exe", arguments, BuildFolder());
    if (!launcher.WaitForExit(30000) || launcher.ExitCode() != 0) return {};
    // The launcher ends only once its copy has started.
    for (DWORD pid : ProcessIdsNamed("Un.exe"))
        if (std::ranges::find(before, pid) == before.end()) return RunningProgram(pid);
    return {};
}
