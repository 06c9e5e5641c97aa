#include "tests/support/KoravantApp.h"

#include <cstring>

#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
const UINT kPageTemplates[] = {129, 150, 151, 152, 153, 154, 155, 159};
// No control of the program has this id.
constexpr WORD kStartedMarkerId = 0x7FF0;

// The test's environment block with `changes` made: "name=value\0" entries, one more zero.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::string block;
    char* strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += strlen(entry) + 1) {
        std::string text = entry;
        bool changed = false;
        for (const auto& [name, value] : changes)
            changed = changed || text.rfind(name + "=", 0) == 0;
        if (!changed) block += text + '\0';
    }
    ::FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : changes) block += name + "=" + value + '\0';
    return block + '\0';
}
}  // namespace

std::string BuildFolder() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

void KillProcessesNamed(const std::string& exeName) {
    for (DWORD pid : ProcessIdsNamed(exeName)) {
        ScopedHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
        if (process && ::TerminateProcess(process.get(), 1))
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
    for (const char* name : {"Koravant.chm", "SkinLoad.dll", "skinload.log", "Quorrel.exe",
                             "quorrel.log", "update.ini"})
        ::DeleteFileA((m_folder + "\\" + name).c_str());
    auto copy = [&](const std::string& from, const std::string& name) {
        ::CopyFileA((BuildFolder() + "\\" + from).c_str(), (m_folder + "\\" + name).c_str(), FALSE);
    };
    copy(folder.program, m_exeName);
    if (folder.withUpdater) copy("testbin\\Quorrel.exe", "Quorrel.exe");
    if (folder.withHelpFile) copy("Koravant.chm", "Koravant.chm");
    if (!folder.skinLibrary.empty()) copy(folder.skinLibrary, "SkinLoad.dll");
}

KoravantApp::~KoravantApp() { Kill(); }

bool KoravantApp::Start() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    std::string commandLine = "\"" + ExePath() + "\"";
    std::string environment = EnvironmentBlock(m_environment);
    if (!::CreateProcessA(ExePath().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                          m_environment.empty() ? nullptr : environment.data(), m_folder.c_str(),
                          &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    m_process.reset(info.hProcess);
    m_pid = info.dwProcessId;
    return true;
}

bool KoravantApp::StartHidden(DWORD timeoutMs) {
    if (!Start() || !WaitForMainWindow(timeoutMs) || !WaitUntilHidden(timeoutMs)) return false;
    // The window exists, hidden, before its start-up has posted itself the close command.
    return WaitForPostedMessages(timeoutMs) && WaitUntilHidden(timeoutMs);
}

bool KoravantApp::WaitForPostedMessages(DWORD timeoutMs) const {
    // Posted messages are taken in order: once a default-button id posted now has been
    // taken, so has everything posted before. The dialog's own default id is put back.
    HWND main = MainWindow();
    ::PostMessageA(main, DM_SETDEFID, kStartedMarkerId, 0);
    bool settled = WaitUntil(
        [&] {
            DWORD_PTR id = 0;
            ::SendMessageTimeoutA(main, DM_GETDEFID, 0, 0, SMTO_NORMAL, 2000, &id);
            return LOWORD(id) == kStartedMarkerId;
        },
        timeoutMs);
    ::SendMessageTimeoutA(main, DM_SETDEFID, IDOK, 0, SMTO_NORMAL, 2000, nullptr);
    return settled;
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

bool KoravantApp::Answers(DWORD timeoutMs) const {
    DWORD_PTR answer = 0;
    HWND main = MainWindow();
    return main && ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer) != 0;
}

bool KoravantApp::BringForward() const {
    HWND main = MainWindow();
    if (!main) return false;
    ::ShowWindow(main, SW_RESTORE);
    return WaitUntilVisible();
}
