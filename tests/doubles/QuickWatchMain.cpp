// Koravant for the process shield's tests: the monitor's waits shortened, only the tests'
// own programs (under C:\koravant) judged, so that Wine's own unversioned services do not
// count, programs whose file name begins with "sealed" never opened, as a process that
// refuses to be ended, and passes slowed by programs named "slow...". Built into the tests' folder,
// never beside the product.
#include <windows.h>

#include <string>

#include "app/MainApp.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessModule.h"
#include "process/ProcessMonitor.h"

CMainApp theApp;

namespace {
constexpr char kTestRoot[] = "C:\\koravant\\";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           lstrcmpiA(text.substr(0, prefix.size()).c_str(), prefix.c_str()) == 0;
}

class TestProgramsProbe final : public ProcessProbe {
  public:
    bool ProgramFile(DWORD id, std::string& path) override {
        std::string found;
        if (!m_system.ProgramFile(id, found) || !StartsWith(found, kTestRoot)) return false;
        path = found;
        return true;
    }
    bool FindInSystemFolders(const std::string&, std::string&) override { return false; }
    // A pass that meets a program named "slow..." lasts three seconds more, so that a test
    // can quit while one runs.
    bool IsHidden(const std::string& path) override {
        if (StartsWith(path.substr(path.find_last_of('\\') + 1), "slow")) ::Sleep(3000);
        return m_system.IsHidden(path);
    }
    bool HasVersionInfo(const std::string& path) override { return m_system.HasVersionInfo(path); }
    bool IsSystemFileName(const std::string& name) override {
        return m_system.IsSystemFileName(name);
    }

  private:
    SystemProcessProbe m_system;
};

TestProgramsProbe g_probe;

HANDLE OpenUnlessSealed(DWORD access, DWORD processId) {
    std::string path;
    if (GetProcessExeModule(processId, path) &&
        StartsWith(path.substr(path.find_last_of('\\') + 1), "sealed")) {
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
