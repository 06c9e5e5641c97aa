#include "tests/support/TestPrograms.h"

#include <tlhelp32.h>

#include "framework/Text.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"

std::string IdleProgramPath(bool is64Bit) {
    return BuildFolder() +
           (is64Bit ? "\\testbin\\idle_program64.exe" : "\\testbin\\idle_program.exe");
}

RunningProgram::RunningProgram(const std::string& exePath, const std::string& arguments,
                               const std::string& workingFolder) {
    std::wstring exe = Utf8ToWide(exePath);
    std::wstring folder = Utf8ToWide(
        workingFolder.empty() ? exePath.substr(0, exePath.find_last_of('\\')) : workingFolder);
    std::wstring commandLine = L"\"" + exe + L"\" " + Utf8ToWide(arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.c_str(), &startup, &info))
        return;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_pid = info.dwProcessId;
}

bool RunningProgram::Running() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool RunningProgram::WaitForExit(DWORD timeoutMs) const {
    return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

void RunningProgram::Kill() {
    if (!Running()) return;
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), 5000);
}

bool CopyProgram(const std::string& from, const std::string& to) {
    std::string folder = to.substr(0, to.find_last_of('\\'));
    ::CreateDirectoryW(Utf8ToWide(folder).c_str(), nullptr);
    return ::CopyFileW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(), FALSE) != FALSE;
}

std::vector<DWORD> ProcessIdsNamed(const std::string& exeName) {
    std::vector<DWORD> ids;
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return ids;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
    }
    return ids;
}
