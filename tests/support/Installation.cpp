#include "tests/support/Installation.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "framework/Text.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kUninstallerCopy[] = "Un.exe";
// The status line of the progress page, a dialog inside the wizard.
constexpr int kProgressStatus = 1006;
}  // namespace

std::string SetupPath() {
#ifdef KORAVANT_SETUP_NAME
    return BuildFolder() + "\\testbin\\" + KORAVANT_SETUP_NAME;
#else
    return "";
#endif
}

bool StartedProcess::Ended(DWORD timeoutMs) const {
    return !process || ::WaitForSingleObject(process.get(), timeoutMs) == WAIT_OBJECT_0;
}

StartedProcess StartProcess(const std::string& commandLine, const std::string& folder) {
    StartedProcess started;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return started;
    ::CloseHandle(info.hThread);
    started.process.reset(info.hProcess);
    started.pid = info.dwProcessId;
    return started;
}

DWORD RunToEnd(const std::string& commandLine, DWORD timeoutMs) {
    StartedProcess started = StartProcess(commandLine);
    DWORD code = STILL_ACTIVE;
    if (started.process && started.Ended(timeoutMs))
        ::GetExitCodeProcess(started.process.get(), &code);
    return code;
}

std::string UninstallEntry(const char* name) {
    auto value = ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstallKey, name);
    return value && value->type == REG_SZ ? value->data.c_str() : "";
}

std::string InstalledFolder() { return UninstallEntry("InstallLocation"); }

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

std::string ShortcutTarget(const std::string& shortcut) {
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    bool read =
        SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkA, reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(Utf8ToWide(shortcut).c_str(), STGM_READ)) &&
        SUCCEEDED(link->GetPath(target, MAX_PATH, nullptr, 0));
    if (file) file->Release();
    if (link) link->Release();
    if (SUCCEEDED(com)) ::CoUninitialize();
    return read ? target : "";
}

// The Task Scheduler keeps each task in a file of the 64-bit system folder.
bool ScheduledTaskExists(const std::string& name) {
    char windows[MAX_PATH] = {};
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    std::string file = std::string(windows) + "\\sysnative\\tasks\\" + name;
    return ::GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string XmlElement(const std::string& xmlFile, const std::string& tag) {
    std::string bytes = ReadFileBytes(xmlFile);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return "";
    std::string text = WideToUtf8(
        std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
    size_t start = text.find("<" + tag + ">"), end = text.find("</" + tag + ">");
    if (start == std::string::npos || end == std::string::npos || end < start) return "";
    start += tag.size() + 2;
    return text.substr(start, end - start);
}

StartedProcess StartUninstaller(const std::string& commandLine) {
    StartedProcess copy;
    std::vector<DWORD> before = ProcessIdsNamed(kUninstallerCopy);
    if (RunToEnd(commandLine, 30000) != 0) return copy;
    // The launcher ends only once its copy has started.
    for (DWORD pid : ProcessIdsNamed(kUninstallerCopy)) {
        if (std::find(before.begin(), before.end(), pid) != before.end()) continue;
        copy.process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid));
        copy.pid = pid;
    }
    return copy;
}

HWND WaitForWizard(DWORD pid, const std::string& title, DWORD timeoutMs) {
    HWND wizard = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid, "#32770", title))
                if (::IsWindowVisible(window)) wizard = window;
            return wizard != nullptr;
        },
        timeoutMs);
    return wizard;
}

std::string WizardStatus(HWND wizard) {
    for (HWND page : ChildWindows(wizard, "#32770")) {
        if (HWND status = ::GetDlgItem(page, kProgressStatus); ::IsWindowVisible(status))
            return WindowText(status);
    }
    return "";
}
