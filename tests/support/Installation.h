#pragma once
// Runs the setup program and its uninstaller inside the test prefix and reads what they put
// in place.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

constexpr char kProductName[] = "Brellonix";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Brellonix";
constexpr char kUninstallerTitle[] = "Brellonix Uninstall";
constexpr int kWizardNext = 1;  // Install, Uninstall, Finish
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

std::string UninstallEntry(const char* name);  // a string value, "" when missing
std::string InstalledFolder();
std::string SpecialFolder(int csidl);
std::string ShortcutTarget(const std::string& shortcut);
bool ScheduledTaskExists(const std::string& name);
// The text of the first <tag> element of an XML file stored as UTF-16 ("" when missing).
std::string XmlElement(const std::string& xmlFile, const std::string& tag);

// The uninstaller runs a copy of itself from the temporary folder, so that it can remove its
// own file: runs `commandLine` and returns the copy, which does the work.
StartedProcess StartUninstaller(const std::string& commandLine);
// The visible wizard window of process `pid` titled exactly `title`.
HWND WaitForWizard(DWORD pid, const std::string& title, DWORD timeoutMs = 20000);
std::string WizardStatus(HWND wizard);
