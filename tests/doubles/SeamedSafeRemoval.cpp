// Linked into a test build of the program, for the roads of safe removal that Wine cannot
// show: its volume locks always succeed and its dismount of a test drive fails.
// KORAVANT_TEST_VOLUMES picks the device calls' answers: "lock-fails" (every lock fails, as
// on a volume in use) or "succeed" (every call succeeds without touching the volume). The
// shell under the Windows folder is spared, so that only one test ends the desktop's own;
// a stand-in named explorer.exe elsewhere is ended.
#include <windows.h>
#include <winioctl.h>

#include <string>

#include "framework/Handles.h"
#include "process/ProcessModule.h"
#include "usb/SafeRemoval.h"
#include "usb/VolumeEject.h"

namespace {
BOOL AnswerVolumeCall(HANDLE, DWORD code, void*, DWORD) {
    char mode[32] = {};
    ::GetEnvironmentVariableA("KORAVANT_TEST_VOLUMES", mode, sizeof(mode));
    if (code != FSCTL_LOCK_VOLUME || lstrcmpA(mode, "lock-fails") != 0) return TRUE;
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

bool EndUnlessWindowsShell(DWORD processId) {
    std::string path;
    char windows[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (GetProcessExeModule(processId, path) && IsShellProgram(path) &&
        _strnicmp(path.c_str(), windows, length) == 0)
        return false;
    ScopedHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
    return process && ::TerminateProcess(process.get(), 0);
}

const bool g_installed = (SetVolumeControlForTesting(AnswerVolumeCall),
                          SetProcessEndForTesting(EndUnlessWindowsShell), true);
}  // namespace
