#pragma once
// Starts the real Koravant.exe from a folder of its own and drives it through its windows.
#include <windows.h>

#include <string>
#include <utility>

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
    std::string program;      // the build's program (relative to its folder) copied in as exeName
};

class KoravantApp {
  public:
    explicit KoravantApp(LaunchFolder folder);
    ~KoravantApp();
    KoravantApp(const KoravantApp&) = delete;
    KoravantApp& operator=(const KoravantApp&) = delete;

    const std::string& Folder() const { return m_folder; }
    std::string ExePath() const { return m_folder + "\\" + m_exeName; }

    bool Start();
    // Starts and waits until the main window exists and has hidden itself.
    bool StartHidden(DWORD timeoutMs = 15000);
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

  private:
    std::string m_folder;
    std::string m_exeName;
    ScopedHandle m_process;
    DWORD m_pid = 0;
};
