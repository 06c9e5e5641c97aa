// Koravant for the process shield's tests: short waits; only programs under C:\koravant judged
// (not Wine's own unversioned services); programs named "sealed..." never opened (processes
// that refuse to be ended); a pass that meets one named "slow..." three seconds longer.
#include <windows.h>

#include <string>

#include "app/MainApp.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessModule.h"
#include "process/ProcessMonitor.h"
#include "process/SystemFiles.h"

CMainApp theApp;

namespace {
bool StartsWith(const std::string& text, const char* prefix) {
    return lstrcmpiA(text.substr(0, lstrlenA(prefix)).c_str(), prefix) == 0;
}
std::string FileName(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

class TestProgramsProbe final : public ProcessProbe {
  public:
    bool ProgramFile(DWORD id, std::string& path) override {
        return GetProcessExeModule(id, path) && StartsWith(path, "C:\\koravant\\");
    }
    bool FindInSystemFolders(const std::string&, std::string&) override { return false; }
    bool IsHidden(const std::string& path) override {
        if (StartsWith(FileName(path), "slow")) ::Sleep(3000);
        return SystemProcessProbe().IsHidden(path);
    }
    bool HasVersionInfo(const std::string& path) override { return ::HasVersionInfo(path); }
    bool IsSystemFileName(const std::string& name) override { return ::IsSystemFileName(name); }
};

TestProgramsProbe g_probe;

HANDLE OpenUnlessSealed(DWORD access, DWORD processId) {
    std::string path;
    if (GetProcessExeModule(processId, path) && StartsWith(FileName(path), "sealed")) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return ::OpenProcess(access, FALSE, processId);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    SetMonitorIntervalsForTesting(300, 600);
    SetProcessProbeForTesting(&g_probe);
    SetProcessOpenerForTesting(OpenUnlessSealed);
    return AfxWinMain(instance);
}
