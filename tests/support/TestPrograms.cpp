#include "tests/support/TestPrograms.h"

#include <tlhelp32.h>

#include <algorithm>

#include "framework/Text.h"
#include "tests/support/TestDrives.h"

namespace {
constexpr char kUninstallerCopy[] = "Un.exe";
}

RunningProgram::RunningProgram(const std::string& exePath, const std::string& arguments,
                               const std::string& workingFolder, const std::string& environment) {
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
                          block.empty() ? nullptr : block.data(), folder.c_str(), &startup, &info))
        return;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_pid = info.dwProcessId;
}

DWORD RunToEnd(const std::string& exePath, const std::string& arguments, DWORD timeoutMs) {
    RunningProgram program(exePath, arguments);
    return program.Pid() && program.WaitForExit(timeoutMs) ? program.ExitCode() : STILL_ACTIVE;
}

bool CopyProgram(const std::string& from, const std::string& to) {
    return CreateFolders(to.substr(0, to.find_last_of('\\'))) &&
           ::CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE);
}

std::vector<DWORD> ProcessIdsNamed(const std::string& exeName) {
    std::vector<DWORD> ids;
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry))
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    return ids;
}

std::string SetupPath() {
    std::string name = KORAVANT_SETUP_NAME;  // empty when the build made no setup
    return name.empty() ? "" : BuildFolder() + "\\testbin\\" + name;
}

RunningProgram StartUninstaller(const std::string& arguments) {
    std::vector<DWORD> before = ProcessIdsNamed(kUninstallerCopy);
    // Started outside the folder it removes.
    RunningProgram launcher(InstalledFolder() + "\\Uninstall.exe", arguments, BuildFolder());
    if (!launcher.WaitForExit(30000) || launcher.ExitCode() != 0) return {};
    // The launcher ends only once its copy has started.
    for (DWORD pid : ProcessIdsNamed(kUninstallerCopy))
        if (std::ranges::find(before, pid) == before.end()) return RunningProgram(pid);
    return {};
}
