#pragma once
// Starts the real Koravant.exe from a folder of its own and drives it through its windows.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"

constexpr char kMainWindowTitle[] = "Brellonix - kestrelvane";

// Where the build's programs were copied inside the test prefix.
std::string BuildFolder();
// Ends every process of the prefix whose program file is named `exeName`.
void KillProcessesNamed(const std::string& exeName);

struct LaunchFolder {
    LaunchFolder(std::string name, std::string exeName = "Koravant.exe", bool withHelpFile = false,
                 std::string skinLibrary = {}, std::string program = "Koravant.exe")
        : name(std::move(name)),
          exeName(std::move(exeName)),
          withHelpFile(withHelpFile),
          skinLibrary(std::move(skinLibrary)),
          program(std::move(program)) {}

    std::string name;  // sub-folder of C:\koravant\runs, or an absolute folder (a stick's)
    std::string exeName;
    bool withHelpFile;
    std::string skinLibrary;  // a DLL of the build copied in as SkinLoad.dll
    // The program copied in as `exeName`, relative to the build folder: the product, or the
    // test build whose update check reads its URL and delay from the environment.
    std::string program = "Koravant.exe";
    bool withUpdater = false;  // the updater double "Quorrel.exe" beside it
};

constexpr char kTestSourceProgram[] = "testbin\\KoravantTestSource.exe";

class KoravantApp {
  public:
    explicit KoravantApp(LaunchFolder folder);
    ~KoravantApp();
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
    bool StartHidden(DWORD timeoutMs = 15000);
    // Returns once the main window's thread has taken every message posted to it before.
    bool WaitForPostedMessages(DWORD timeoutMs = 10000) const;
    DWORD Pid() const { return m_pid; }
    bool IsRunning() const;
    bool WaitForExit(DWORD timeoutMs = 10000) const;
    DWORD ExitCode() const;
    void Kill();

    // The main window, hidden or not (null until it exists).
    HWND MainWindow() const;
    bool WaitForMainWindow(DWORD timeoutMs = 15000) const;
    bool WaitUntilVisible(DWORD timeoutMs = 10000) const;
    bool WaitUntilHidden(DWORD timeoutMs = 10000) const;
    // The page child dialog made from template `templateId`.
    HWND Page(UINT templateId) const;
    // The template id of the one page shown now; 0 when none or more than one is.
    UINT VisiblePage() const;
    // Brings the hidden window forward the way a second start does.
    bool BringForward() const;
    // True once the user-interface thread has taken a message sent now: everything it was
    // handling before, a box it was about to show included, is done or on screen.
    bool Answers(DWORD timeoutMs = 10000) const;

  private:
    std::string m_folder;
    std::string m_exeName;
    std::vector<std::pair<std::string, std::string>> m_environment;
    ScopedHandle m_process;
    DWORD m_pid = 0;
};
