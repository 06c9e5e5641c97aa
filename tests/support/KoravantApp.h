#pragma once
// Starts the real Koravant.exe from a folder of its own and drives it through its windows.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

constexpr char kMainWindowTitle[] = "Brellonix - kestrelvane";

// Ends every process of the prefix whose program file is named `exeName`.
void KillProcessesNamed(const std::string& exeName);

struct LaunchFolder {
    std::string name;  // sub-folder of C:\koravant\runs, or an absolute folder (a stick's)
    // The program copied in as `exeName`, relative to the build folder: the product or a
    // test build of it.
    std::string program = "Koravant.exe";
    std::string skinLibrary = {};  // a DLL of the build copied in as SkinLoad.dll
    std::string exeName = "Koravant.exe";
    bool withHelpFile = false;
    bool withUpdater = false;  // the updater double "Quorrel.exe" beside it
};

// Each page button of the main window and the template of the page it shows.
constexpr std::pair<int, UINT> kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152},
                                                 {1008, 155}, {1010, 150}, {1009, 159},
                                                 {1007, 154}, {1011, 151}};

constexpr char kTestSourceProgram[] = "testbin\\KoravantTestSource.exe";

class KoravantApp {
  public:
    explicit KoravantApp(const LaunchFolder& folder);
    KoravantApp(const KoravantApp&) = delete;
    KoravantApp& operator=(const KoravantApp&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string ExePath() const { return m_folder + "\\" + m_exeName; }

    // An environment variable for the program's process (the test's own otherwise).
    void SetEnvironment(const std::string& name, const std::string& value) {
        m_environment.emplace_back(name, value);
    }
    bool Start();
    // Starts and waits until the main window exists and has hidden itself.
    bool StartHidden(DWORD timeoutMs = 30000);
    // Returns once the main window's thread has taken every message posted to it before.
    bool WaitForPostedMessages(DWORD timeoutMs = 10000) const;
    DWORD Pid() const { return m_program.Pid(); }
    bool IsRunning() const { return m_program.Running(); }
    bool WaitForExit(DWORD timeoutMs = 10000) const { return m_program.WaitForExit(timeoutMs); }
    DWORD ExitCode() const { return m_program.ExitCode(); }
    void Kill() { m_program.Kill(); }

    // The main window, hidden or not (null until it exists).
    HWND MainWindow() const {
        return Pid() ? FindTopLevel(Pid(), "#32770", kMainWindowTitle) : nullptr;
    }
    bool WaitUntilVisible(DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return ::IsWindowVisible(MainWindow()) != FALSE; }, timeoutMs);
    }
    bool WaitUntilHidden(DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return MainWindow() && !::IsWindowVisible(MainWindow()); },
                         timeoutMs);
    }
    // The page child dialog made from template `templateId`.
    HWND Page(UINT id) const { return ::GetDlgItem(MainWindow(), static_cast<int>(id)); }
    // The template id of the one page shown now; 0 when none or more than one is.
    UINT VisiblePage() const;
    // Brings the hidden window forward the way a second start does, until it stays shown.
    bool BringForward() const;
    // True once the user-interface thread has taken a message sent now: everything it was
    // handling before, a box it was about to show included, is done or on screen.
    bool Answers(DWORD timeoutMs = 10000) const {
        return MainWindow() &&
               ::SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, nullptr);
    }

  private:
    std::string m_folder;
    std::string m_exeName;
    std::vector<std::pair<std::string, std::string>> m_environment;
    RunningProgram m_program;
};
