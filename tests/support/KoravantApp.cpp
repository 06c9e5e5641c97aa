#include "tests/support/KoravantApp.h"

#include <algorithm>
#include <cstring>

#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {
// No control of the program has this id.
constexpr WORD kStartedMarkerId = 0x7FF0;

// The test's environment block with `changes` made: "name=value\0" entries, one more zero.
std::string EnvironmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::string block;
    char* strings = ::GetEnvironmentStringsA();
    for (const char* entry = strings; *entry; entry += strlen(entry) + 1) {
        std::string text = entry;
        if (std::ranges::none_of(changes, [&](auto& c) { return text.starts_with(c.first + "="); }))
            block += text + '\0';
    }
    ::FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : changes) block += name + "=" + value + '\0';
    return block + '\0';
}
}  // namespace

void KillProcessesNamed(const std::string& exeName) {
    for (DWORD pid : ProcessIdsNamed(exeName)) RunningProgram(pid).Kill();
}

KoravantApp::KoravantApp(const LaunchFolder& folder) : m_exeName(folder.exeName) {
    bool absolute = folder.name.find(':') != std::string::npos;
    m_folder = absolute ? folder.name : BuildFolder() + "\\runs\\" + folder.name;
    CreateFolders(m_folder);
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

bool KoravantApp::Start() {
    m_program = RunningProgram(ExePath(), {}, m_folder,
                               m_environment.empty() ? "" : EnvironmentBlock(m_environment));
    return Pid() != 0;
}

bool KoravantApp::StartHidden(DWORD timeoutMs) {
    if (!Start() || !WaitUntilHidden(timeoutMs)) return false;
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

UINT KoravantApp::VisiblePage() const {
    // The page's own style bit: IsWindowVisible is false for every page while the main
    // window hides.
    std::vector<UINT> shown;
    for (auto [button, id] : kPageButtons)
        if (::GetWindowLongPtrA(Page(id), GWL_STYLE) & WS_VISIBLE) shown.push_back(id);
    return shown.size() == 1 ? shown[0] : 0;
}

// The main window is made hidden and then posts itself the close command that hides it at
// start-up; a restore that comes before that command is undone by it. This restores until
// the window stays shown.
bool KoravantApp::BringForward() const {
    HWND main = MainWindow();
    for (int attempt = 0; main && attempt < 5; ++attempt) {
        ::ShowWindow(main, SW_RESTORE);
        // A restore undone at once may never be seen shown: try again soon.
        if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 1000, 5)) continue;
        if (!WaitUntil([&] { return !::IsWindowVisible(main); }, 300)) return true;
    }
    return false;
}
