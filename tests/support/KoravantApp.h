#pragma once
// Starts the real Koravant.exe from a folder of its own and drives it through its windows.
#include <string_view>

#include "tests/support/TestPrograms.h"
#include "tests/support/WindowQuery.h"

constexpr char kMainWindowTitle[] = "Brellonix - kestrelvane";

// Ends every process of the prefix whose program file is named `exeName`.
inline void KillProcessesNamed(const std::string& exeName) {
    for (DWORD pid : ProcessIdsNamed(exeName)) RunningProgram(pid).Kill();
}

// The test's environment block with `changes` made: "name=value\0" entries, one more zero.
inline std::string EnvironmentBlock(
    const std::vector<std::pair<std::string, std::string>>& changes) {
    std::string block;
    char* strings = ::GetEnvironmentStringsA();
    for (std::string_view entry = strings; !entry.empty(); entry = entry.data() + entry.size() + 1)
        if (std::ranges::none_of(changes,
                                 [&](auto& c) { return entry.starts_with(c.first + "="); }))
            block.append(entry.data(), entry.size() + 1);
    ::FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : changes) block += name + "=" + value + '\0';
    return block + '\0';
}

struct LaunchFolder {
    std::string name;  // sub-folder of C:\koravant\runs, or an absolute folder (a stick's)
    // The program copied in as `exeName`, relative to the build folder: the product or a
    // test build of it.
    std::string program = "Koravant.exe";
    std::string skinLibrary = {};  // a DLL of the build copied in as SkinLoad.dll
    std::string exeName = "Koravant.exe";
    bool withHelpFile = false;
    bool withUpdater = false;  // the updater double "Quorrel.exe" beside it
};

// Each page button of the main window and the template of the page it shows.
constexpr std::pair<int, UINT> kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152},
                                                 {1008, 155}, {1010, 150}, {1009, 159},
                                                 {1007, 154}, {1011, 151}};

constexpr char kTestSourceProgram[] = "testbin\\KoravantTestSource.exe";

// The program's process: Pid(), WaitForExit(), ExitCode() and Kill() are its.
class KoravantApp : public RunningProgram {
  public:
    explicit KoravantApp(const LaunchFolder& folder) : m_exeName(folder.exeName) {
        bool absolute = folder.name.find(':') != std::string::npos;
        m_folder = absolute ? folder.name : BuildFolder() + "\\runs\\" + folder.name;
        // Every run starts from a clean folder: no quarantine, help file or skin left behind.
        for (const char* name : {"Koravant.chm", "SkinLoad.dll", "skinload.log", "Quorrel.exe",
                                 "quorrel.log", "update.ini"})
            DeleteFileUtf8(m_folder + "\\" + name);
        auto copy = [&](const std::string& from, const std::string& name) {
            CopyProgram(BuildFolder() + "\\" + from, m_folder + "\\" + name);  // folders too
        };
        copy(folder.program, m_exeName);
        if (folder.withUpdater) copy("testbin\\Quorrel.exe", "Quorrel.exe");
        if (folder.withHelpFile) copy("Koravant.chm", "Koravant.chm");
        if (!folder.skinLibrary.empty()) copy(folder.skinLibrary, "SkinLoad.dll");
    }

    const std::string& Folder() const { return m_folder; }
    std::string ExePath() const { return m_folder + "\\" + m_exeName; }

    // An environment variable for the program's process (the test's own otherwise).
    void SetEnvironment(const std::string& name, const std::string& value) {
        m_environment.emplace_back(name, value);
    }
    bool Start() {
        std::string environment = m_environment.empty() ? "" : EnvironmentBlock(m_environment);
        static_cast<RunningProgram&>(*this) = RunningProgram(ExePath(), {}, m_folder, environment);
        return Pid() != 0;
    }
    // Starts and waits until the main window exists and has hidden itself: it exists, hidden,
    // before its start-up has posted itself the close command.
    bool StartHidden(DWORD timeoutMs = 30000) {
        return Start() && WaitUntilHidden(timeoutMs) && WaitForPostedMessages(timeoutMs) &&
               WaitUntilHidden(timeoutMs);
    }
    // Returns once the main window's thread has taken every message posted to it before.
    bool WaitForPostedMessages(DWORD timeoutMs = 10000) const {
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
    bool IsRunning() const { return Running(); }

    // The main window, hidden or not (null until it exists).
    HWND MainWindow() const {
        return Pid() ? FindTopLevel(Pid(), "#32770", kMainWindowTitle) : nullptr;
    }
    bool WaitUntilVisible(DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return ::IsWindowVisible(MainWindow()) != FALSE; }, timeoutMs);
    }
    bool WaitUntilHidden(DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return MainWindow() && !::IsWindowVisible(MainWindow()); },
                         timeoutMs);
    }
    // The page child dialog made from template `templateId`.
    HWND Page(UINT id) const { return ::GetDlgItem(MainWindow(), static_cast<int>(id)); }
    // The template id of the one page shown now; 0 when none or more than one is.
    UINT VisiblePage() const {
        // The page's own style bit: IsWindowVisible is false for every page while the main
        // window hides.
        std::vector<UINT> shown;
        for (auto [button, id] : kPageButtons)
            if (::GetWindowLongPtrA(Page(id), GWL_STYLE) & WS_VISIBLE) shown.push_back(id);
        return shown.size() == 1 ? shown[0] : 0;
    }
    // Brings the hidden window forward the way a second start does, until it stays shown. The
    // main window is made hidden and then posts itself the close command that hides it at
    // start-up; a restore that comes before that command is undone by it.
    bool BringForward() const {
        HWND main = MainWindow();
        for (int attempt = 0; main && attempt < 5; ++attempt) {
            ::ShowWindow(main, SW_RESTORE);
            // A restore undone at once may never be seen shown: try again soon.
            if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 1000, 5)) continue;
            if (!WaitUntil([&] { return !::IsWindowVisible(main); }, 300)) return true;
        }
        return false;
    }
    // True once the user-interface thread has taken a message sent now: everything it was
    // handling before, a box it was about to show included, is done or on screen.
    bool Answers(DWORD timeoutMs = 10000) const {
        return MainWindow() &&
               ::SendMessageTimeoutA(MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, nullptr);
    }

  private:
    static constexpr WORD kStartedMarkerId = 0x7FF0;  // no control of the program has this id

    std::string m_folder;
    std::string m_exeName;
    std::vector<std::pair<std::string, std::string>> m_environment;
};
