#include "usb/SafeRemoval.h"

#include <tlhelp32.h>

#include <atomic>

#include "framework/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Snapshot.h"
#include "framework/Text.h"
#include "process/ProcessModule.h"
#include "usb/ThreatRules.h"
#include "usb/VolumeEject.h"

namespace {

constexpr size_t kShellNameLength = sizeof(kShellProgram) - 1;
constexpr UINT kWindowsFolderChars = 128;

std::atomic<ProcessEnd> g_processEnd{nullptr};

bool ShouldEnd(const std::string& path, const char* letters, int count) {
    return RunsFromDrives(path, letters, count) || IsShellProgram(path);
}

bool EndProcess(DWORD processId) {
    ScopedHandle process(::OpenProcess(kProcessAllAccess, FALSE, processId));
    return process && ::TerminateProcess(process.get(), 0);
}

bool StartRemovalApplet() { return StartProgramUtf8(AnsiToUtf8(RemovalAppletCommandLine())); }

}  // namespace

bool IsShellProgram(const std::string& path) {
    return path.size() > kShellNameLength &&
           MatchNoCase(path.c_str() + path.size() - kShellNameLength, kShellProgram,
                       kShellNameLength);
}

bool RunsFromDrives(const std::string& path, const char* letters, int count) {
    if (path.empty() || !letters) return false;
    // A program started as "e:\tool.exe" keeps the small letter in its path.
    char drive =
        path[0] >= 'a' && path[0] <= 'z' ? static_cast<char>(path[0] - 'a' + 'A') : path[0];
    for (int i = 0; i < count; ++i) {
        if (drive == letters[i]) return true;
    }
    return false;
}

std::vector<DWORD> FindProcessesToEnd(const char* letters, int count) {
    std::vector<DWORD> found;
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    DWORD self = ::GetCurrentProcessId();
    ForEachSnapshotEntry<PROCESSENTRY32>(
        snapshot.get(), ::Process32First, ::Process32Next, [&](const PROCESSENTRY32& entry) {
            std::string path;
            if (entry.th32ProcessID != self && GetProcessExeModule(entry.th32ProcessID, path) &&
                ShouldEnd(path, letters, count))
                found.push_back(entry.th32ProcessID);
            return true;
        });
    return found;
}

int EndProcesses(const std::vector<DWORD>& processIds) {
    ProcessEnd end = g_processEnd.load();
    int ended = 0;
    for (DWORD processId : processIds) ended += (end ? end : EndProcess)(processId) ? 1 : 0;
    return ended;
}

void SetProcessEndForTesting(ProcessEnd end) { g_processEnd.store(end); }

char OwnProgramDrive() {
    std::string path;
    if (!GetProcessExeModule(::GetCurrentProcessId(), path) || path.size() < 2 || path[1] != ':')
        return 0;
    return path[0];
}

std::string RemovalAppletCommandLine() {
    char windows[kWindowsFolderChars] = {};
    UINT length = ::GetWindowsDirectoryA(windows, kWindowsFolderChars);
    if (length == 0 || length >= kWindowsFolderChars) windows[0] = 0;
    return std::string(windows) + "\\system32\\RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll";
}

void EjectDrives(const char* letters, int count, const std::function<bool()>& askLogOff) {
    if (!letters) return;
    char own = OwnProgramDrive();
    for (int i = 0; i < count; ++i) {
        // This program's image is mapped from its own volume: that volume is in use.
        int result = letters[i] == own ? kEjectFailed : EjectVolume(letters[i]);
        if (result != kEjectFailed) {
            StartRemovalApplet();
        } else if (askLogOff && askLogOff()) {
            ::ExitWindowsEx(EWX_LOGOFF, 0);
        }
    }
}
