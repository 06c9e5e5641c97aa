#include "tests/support/KoravantApp.h"

#include <tlhelp32.h>

#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
const UINT kPageTemplates[] = {129, 150, 151, 152, 153, 154, 155, 159};
// No control of the main window has this id.
constexpr WORD kStartedMarkerId = 0x7FF0;

void CopyIfPresent(const std::string& from, const std::string& to) {
    ::CopyFileA(from.c_str(), to.c_str(), FALSE);
}
}  // namespace

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

void KillProcessesNamed(const std::string& exeName) {
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more;
         more = ::Process32Next(snapshot.get(), &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName.c_str()) != 0) continue;
        ScopedHandle process(
            ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
        if (!process) continue;
        ::TerminateProcess(process.get(), 1);
        ::WaitForSingleObject(process.get(), 5000);
    }
}

KoravantApp::KoravantApp(LaunchFolder folder) : m_exeName(folder.exeName) {
    std::string runs = BuildFolder() + "\\runs";
    ::CreateDirectoryA(runs.c_str(), nullptr);
    bool absolute = folder.name.find(':') != std::string::npos;
    m_folder = absolute ? folder.name : runs + "\\" + folder.name;
    ::CreateDirectoryA(m_folder.c_str(), nullptr);
    // Every run starts from a clean folder: no quarantine, help file or skin left behind.
    ::DeleteFileA((m_folder + "\\Koravant.chm").c_str());
    ::DeleteFileA((m_folder + "\\SkinLoad.dll").c_str());
    ::DeleteFileA((m_folder + "\\skinload.log").c_str());
    CopyIfPresent(BuildFolder() + "\\" + folder.program, ExePath());
    if (folder.withHelpFile)
        CopyIfPresent(BuildFolder() + "\\Koravant.chm", m_folder + "\\Koravant.chm");
    if (!folder.skinLibrary.empty())
        CopyIfPresent(BuildFolder() + "\\" + folder.skinLibrary, m_folder + "\\SkinLoad.dll");
}

KoravantApp::~KoravantApp() { Kill(); }

bool KoravantApp::Start() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + ExePath() + "\"";
    if (!::CreateProcessA(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, m_folder.c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_pid = info.dwProcessId;
    return true;
}

bool KoravantApp::StartHidden(DWORD timeoutMs) {
    if (!Start() || !WaitForMainWindow(timeoutMs) || !WaitUntilHidden(timeoutMs)) return false;
    // The window exists, hidden, before its start-up has posted itself the close command.
    // Posted messages of one thread are taken in order: once a default-button id posted now
    // to the information page has been taken, so has that command. (The main window takes
    // DM_SETDEFID's number as its tray callback.) The page's own default id is put back.
    HWND page = Page(129);
    DWORD_PTR original = 0;
    ::SendMessageTimeoutA(page, DM_GETDEFID, 0, 0, SMTO_NORMAL, 2000, &original);
    ::PostMessageA(page, DM_SETDEFID, kStartedMarkerId, 0);
    bool settled =
        page && WaitUntil(
                    [&] {
                        DWORD_PTR id = 0;
                        ::SendMessageTimeoutA(page, DM_GETDEFID, 0, 0, SMTO_NORMAL, 2000, &id);
                        return LOWORD(id) == kStartedMarkerId;
                    },
                    timeoutMs);
    WORD restored = HIWORD(original) == DC_HASDEFID ? LOWORD(original) : 0;
    ::SendMessageTimeoutA(page, DM_SETDEFID, restored, 0, SMTO_NORMAL, 2000, nullptr);
    return settled && WaitUntilHidden(timeoutMs);
}

bool KoravantApp::IsRunning() const {
    return m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT;
}

bool KoravantApp::WaitForExit(DWORD timeoutMs) const {
    return !m_process || ::WaitForSingleObject(m_process.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD KoravantApp::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process) ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

void KoravantApp::Kill() {
    if (!IsRunning()) return;
    ::TerminateProcess(m_process.get(), 1);
    ::WaitForSingleObject(m_process.get(), 5000);
}

HWND KoravantApp::MainWindow() const {
    return m_pid ? FindTopLevel(m_pid, "#32770", kMainWindowTitle) : nullptr;
}

bool KoravantApp::WaitForMainWindow(DWORD timeoutMs) const {
    return WaitUntil([&] { return MainWindow() != nullptr; }, timeoutMs);
}

bool KoravantApp::WaitUntilVisible(DWORD timeoutMs) const {
    return WaitUntil([&] { return ::IsWindowVisible(MainWindow()) != FALSE; }, timeoutMs);
}

bool KoravantApp::WaitUntilHidden(DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            HWND main = MainWindow();
            return main && !::IsWindowVisible(main);
        },
        timeoutMs);
}

HWND KoravantApp::Page(UINT templateId) const {
    return ::GetDlgItem(MainWindow(), static_cast<int>(templateId));
}

UINT KoravantApp::VisiblePage() const {
    // The page's own style bit: IsWindowVisible is false for every page while the main
    // window hides.
    UINT shown = 0;
    for (UINT id : kPageTemplates) {
        HWND page = Page(id);
        if (page && (::GetWindowLongPtrA(page, GWL_STYLE) & WS_VISIBLE)) {
            if (shown) return 0;
            shown = id;
        }
    }
    return shown;
}

bool KoravantApp::BringForward() const {
    HWND main = MainWindow();
    if (!main) return false;
    ::ShowWindow(main, SW_RESTORE);
    return WaitUntilVisible();
}
