#pragma once
// Runs the setup program and its uninstaller inside the test prefix and reads what they put
// in place: files, Start-menu entry, uninstall entry and logon task.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

constexpr char kProductName[] = "Brellonix";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellonix";
constexpr char kUninstallerTitle[] = "Brellonix Uninstall";
// The wizard's buttons: Next (Install, Uninstall, Finish) and Cancel.
constexpr int kWizardNext = 1;
constexpr int kWizardCancel = 2;

// The setup program copied into the prefix; empty when the build made none.
std::string SetupPath();

struct StartedProcess {
    ScopedHandle process;
    DWORD pid = 0;
    bool Ended(DWORD timeoutMs) const;
};
StartedProcess StartProcess(const std::string& commandLine, const std::string& folder = {});
// The program's exit code, or STILL_ACTIVE when it has not ended in time.
DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs = 120000);

// A string value of the uninstall entry ("" when missing).
std::string UninstallEntry(const char* name);
std::string InstalledFolder();
std::string CommonProgramsFolder();
std::string ProgramFilesFolder();
// The program file a shortcut points at ("" when it cannot be read).
std::string ShortcutTarget(const std::string& shortcut);
// Whether the Task Scheduler holds a task of that name in its root folder.
bool ScheduledTaskExists(const std::string& name);
// The text of the first <tag> element of an XML file stored as UTF-16 ("" when missing).
std::string XmlElement(const std::string& xmlFile, const std::string& tag);

// The uninstaller copies itself to the temporary folder and runs that copy, so that it can
// remove its own file: runs `commandLine` and returns the copy, which does the work.
StartedProcess StartUninstaller(const std::string& commandLine);
// The wizard window of process `pid` titled exactly `title`, once it shows.
HWND WaitForWizard(DWORD pid, const std::string& title, DWORD timeoutMs = 20000);
// The status line of the wizard's progress page.
std::string WizardStatus(HWND wizard);
