#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "process/ProbeCache.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessMonitor.h"
#include "process/ProcessTable.h"
#include "process/SystemFiles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
// A name the ANSI code page cannot spell.
const std::string kPhotoExe = "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.exe";

// A made-up process: where its module snapshot points (none: ""), what its file is like,
// and the file of its name in the Windows folders (none: "").
struct MadeUpProcess {
    DWORD id;
    std::string name;
    std::string modulePath;
    bool hidden;
    bool versioned;
    std::string systemPath;
};

class MadeUpProbe : public ProcessProbe {
  public:
    explicit MadeUpProbe(std::vector<MadeUpProcess> processes)
        : m_processes(std::move(processes)) {}

    bool ProgramFile(DWORD id, std::string& path) override {
        const MadeUpProcess* process = ById(id);
        if (!process || process->modulePath.empty()) return false;
        path = process->modulePath;
        return true;
    }
    bool FindInSystemFolders(const std::string& name, std::string& path) override {
        const MadeUpProcess* process = ByName(name);
        if (!process || process->systemPath.empty()) return false;
        path = process->systemPath;
        return true;
    }
    bool IsHidden(const std::string& path) override { return ByPath(path)->hidden; }
    bool HasVersionInfo(const std::string& path) override { return ByPath(path)->versioned; }
    bool IsSystemFileName(const std::string& name) override {
        return !ByName(name)->systemPath.empty();
    }
    std::vector<ProcessEntry> Entries() const {
        std::vector<ProcessEntry> entries;
        for (const MadeUpProcess& process : m_processes)
            entries.push_back({process.id, process.name});
        return entries;
    }

  private:
    const MadeUpProcess* ById(DWORD id) const {
        for (const MadeUpProcess& process : m_processes)
            if (process.id == id) return &process;
        return nullptr;
    }
    const MadeUpProcess* ByName(const std::string& name) const {
        for (const MadeUpProcess& process : m_processes)
            if (process.name == name) return &process;
        return nullptr;
    }
    // A path reached through the Windows folders has the attributes of the process's file.
    const MadeUpProcess* ByPath(const std::string& path) const {
        for (const MadeUpProcess& process : m_processes)
            if (process.modulePath == path || process.systemPath == path) return &process;
        ADD_FAILURE() << "asked about an unknown path " << path;
        return &m_processes.front();
    }

    std::vector<MadeUpProcess> m_processes;
};

const char* VerdictName(ProcessVerdict verdict) {
    switch (verdict) {
        case ProcessVerdict::kRisky:
            return "Risky";
        case ProcessVerdict::kSuspicious:
            return "Suspicious";
        default:
            return "safe";
    }
}

// The flagged processes among the running ones, by identifier.
std::map<DWORD, FlaggedProcess> FlaggedNow() {
    SystemProcessProbe probe;
    std::map<DWORD, FlaggedProcess> flagged;
    std::vector<ProcessEntry> running;
    EXPECT_TRUE(ListRunningProcesses(running));
    for (const FlaggedProcess& process : FindFlaggedProcesses(running, probe))
        flagged[process.id] = process;
    return flagged;
}

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string Found(const std::string& name) {
    std::string path;
    return FindInSystemFolders(name, path) ? path : "(none)";
}

constexpr char kWork[] = "C:\\koravant\\taskwatch-unit";

// DeleteTree walks with the A functions, which cannot name this file.
void CleanWork() {
    ::DeleteFileW(Utf8ToWide(std::string(kWork) + "\\" + kPhotoExe).c_str());
    DeleteTree(kWork);
}
}  // namespace

TEST(TaskwatchJudgeTest, HiddenIsRiskyUnversionedSystemNamesSuspiciousTheRestUnlisted) {
    const std::string sys = "C:\\windows\\system32\\";
    struct Case {
        MadeUpProcess process;
        ProcessVerdict verdict;
        std::string path;
    } cases[] = {
        {{1, "a.exe", "E:\\a.exe", true, false, ""}, ProcessVerdict::kRisky, "E:\\a.exe"},
        {{2, "b.exe", "E:\\b.exe", true, true, ""}, ProcessVerdict::kRisky, "E:\\b.exe"},
        {{3, "c.exe", "E:\\c.exe", true, false, sys + "c.exe"},
         ProcessVerdict::kRisky,
         "E:\\c.exe"},
        {{4, "d.exe", "E:\\d.exe", false, false, sys + "d.exe"},
         ProcessVerdict::kSuspicious,
         "E:\\d.exe"},
        {{5, "e.exe", "E:\\e.exe", false, true, sys + "e.exe"}, ProcessVerdict::kSafe, ""},
        {{6, "f.exe", "E:\\f.exe", false, false, ""}, ProcessVerdict::kSafe, ""},
        // No module snapshot: judged through the file of its name in the Windows folders.
        {{7, "g.exe", "", false, false, sys + "g.exe"}, ProcessVerdict::kSuspicious, sys + "g.exe"},
        {{8, "h.exe", "", true, true, sys + "h.exe"}, ProcessVerdict::kRisky, sys + "h.exe"},
        {{9, "i.exe", "", false, true, sys + "i.exe"}, ProcessVerdict::kSafe, ""},
        {{10, "j.exe", "", true, false, ""}, ProcessVerdict::kSafe, ""},
        {{11, kPhotoExe, "E:\\" + kPhotoExe, true, false, ""},
         ProcessVerdict::kRisky,
         "E:\\" + kPhotoExe},
    };
    std::vector<MadeUpProcess> processes;
    for (const Case& c : cases) processes.push_back(c.process);
    MadeUpProbe probe(processes);
    std::vector<FlaggedProcess> expected;
    for (const Case& c : cases) {
        std::string path;
        EXPECT_STREQ(VerdictName(JudgeProcess({c.process.id, c.process.name}, probe, path)),
                     VerdictName(c.verdict))
            << c.process.name;
        if (c.verdict != ProcessVerdict::kSafe) {
            EXPECT_EQ(path, c.path) << c.process.name;
            expected.push_back({c.process.id, c.process.name, c.path, c.verdict});
        }
    }
    EXPECT_EQ(FindFlaggedProcesses(probe.Entries(), probe), expected) << "in snapshot order";
}

TEST(TaskwatchJudgeTest, NoMoreThan256RowsAndTheListRebuiltOnlyForOtherRows) {
    std::vector<MadeUpProcess> processes;
    for (DWORD id = 1; id <= 300; ++id) {
        std::string name = "p" + std::to_string(id) + ".exe";
        processes.push_back({id, name, "E:\\" + name, true, false, ""});
    }
    MadeUpProbe probe(processes);
    std::vector<FlaggedProcess> flagged = FindFlaggedProcesses(probe.Entries(), probe);
    ASSERT_EQ(flagged.size(), 256u);
    EXPECT_EQ(flagged.back().id, 256u) << "the first 256 in snapshot order";

    ProcessTable table;
    int rebuilds = 0, shown = 0;
    auto show = [&](const auto& rows) { ++rebuilds, shown = static_cast<int>(rows.size()); };
    EXPECT_FALSE(table.Rebuild({}, show)) << "nothing to nothing";
    EXPECT_TRUE(table.Rebuild(std::vector<FlaggedProcess>(300, flagged[1]), show));
    EXPECT_EQ(shown, 256);
    EXPECT_TRUE(table.Rebuild(flagged, show));
    EXPECT_FALSE(table.Rebuild(flagged, show)) << "the same rows keep the list as it is";
    EXPECT_EQ(rebuilds, 2);
    FlaggedProcess row;
    ASSERT_TRUE(table.Row(255, row));
    EXPECT_EQ(row, flagged[255]);
    EXPECT_FALSE(table.Row(256, row));
    EXPECT_FALSE(table.Row(-1, row));
}

TEST(TaskwatchMonitorTest, WindowComesForwardWhenTheFlaggedCountChangesToNonZero) {
    FlaggedCountWatch watch;
    const struct {
        size_t count;
        bool forward;
    } passes[] = {{0, false}, {2, true},  {3, true}, {3, false}, {1, true},
                  {0, false}, {0, false}, {1, true}, {1, false}};
    for (const auto& pass : passes)
        EXPECT_EQ(watch.Update(pass.count), pass.forward) << "to " << pass.count;
}

TEST(TaskwatchMonitorTest, PassesReachTheWindowUntilTheLinkIsCut) {
    SetMonitorIntervalsForTesting(0, 50);
    HWND window =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_TRUE(window);
    auto job = std::make_shared<MonitorJob>();
    job->link = WorkerLink::Create(window);
    ASSERT_TRUE(StartProcessMonitor(job));
    int passes = 0;
    EXPECT_TRUE(WaitUntil([&] {
        MSG msg;
        while (
            ::PeekMessageA(&msg, window, WM_APP_TASKWATCH_PASS, WM_APP_TASKWATCH_PASS, PM_REMOVE))
            ++passes;
        return passes >= 2;
    }));
    job->link->Cut();
    std::weak_ptr<MonitorJob> gone = job;
    job.reset();
    EXPECT_TRUE(WaitUntil([&] { return gone.expired(); })) << "the thread ends and lets go";
    ::DestroyWindow(window);
    SetMonitorIntervalsForTesting(5000, 10000);
}

TEST(TaskwatchSystemFilesTest, SearchesTheWindowsSystemAndSystem32FoldersForFilesOnly) {
    const std::string windows = WindowsFolder();
    const std::string onlyInSystem = "tw_only_in_system.exe";
    const std::string dirFirst = "tw_dir_first.exe";
    const std::string photo = kPhotoExe;
    ASSERT_TRUE(CreateFolders(windows + "\\system"));
    ASSERT_TRUE(WriteFileBytes(windows + "\\system\\" + onlyInSystem, "MZ"));
    ASSERT_TRUE(CreateFolders(windows + "\\" + dirFirst));
    ASSERT_TRUE(WriteFileBytes(windows + "\\system32\\" + dirFirst, "MZ"));
    std::wstring photoPath = Utf8ToWide(windows + "\\system32\\" + photo);
    HANDLE file =
        ::CreateFileW(photoPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);

    EXPECT_EQ(Found("notepad.exe"), windows + "\\notepad.exe") << "the Windows folder first";
    EXPECT_EQ(Found("kernel32.dll"), windows + "\\system32\\kernel32.dll");
    EXPECT_EQ(Found(onlyInSystem), windows + "\\system\\" + onlyInSystem);
    EXPECT_EQ(Found(dirFirst), windows + "\\system32\\" + dirFirst) << "directories are no hit";
    EXPECT_EQ(Found(photo), windows + "\\system32\\" + photo) << "any script";
    EXPECT_EQ(Found("system32"), "(none)") << "a folder is no file";
    for (const char* name : {"tw_nowhere.exe", "", "system32\\kernel32.dll", "..\\win.ini"})
        EXPECT_EQ(Found(name), "(none)") << name;
    EXPECT_TRUE(IsSystemFileName("NOTEPAD.EXE"));
    EXPECT_FALSE(IsSystemFileName("tw_nowhere.exe"));

    ::DeleteFileW(photoPath.c_str());
    ::DeleteFileA((windows + "\\system32\\" + dirFirst).c_str());
    ::RemoveDirectoryA((windows + "\\" + dirFirst).c_str());
    ::DeleteFileA((windows + "\\system\\" + onlyInSystem).c_str());
}

TEST(TaskwatchSystemFilesTest, VersionInformationOfProgramsOfEitherBitness) {
    CleanWork();
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\idle_program_versioned.exe",
                            std::string(kWork) + "\\" + kPhotoExe));
    const struct {
        std::string path;
        bool versioned;
    } cases[] = {
        {BuildFolder() + "\\testbin\\idle_program_versioned.exe", true},
        {BuildFolder() + "\\testbin\\idle_program_versioned64.exe", true},
        {std::string(kWork) + "\\" + kPhotoExe, true},
        {IdleProgramPath(false), false},
        {IdleProgramPath(true), false},
        {std::string(kWork) + "\\missing.exe", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(HasVersionInfo(c.path), c.versioned) << c.path;
    CleanWork();
}

TEST(TaskwatchSystemFilesTest, RunningTestProgramsAreJudgedByTheirFiles) {
    CleanWork();
    const std::string testbin = BuildFolder() + "\\testbin\\";
    const struct {
        const char* program;
        std::string copy;
        bool hidden;
        const char* verdict;
    } cases[] = {
        {"idle_program.exe", "hidden32.exe", true, "Risky"},
        {"idle_program64.exe", "hidden64.exe", true, "Risky"},
        {"idle_program_versioned.exe", "hiddenv32.exe", true, "Risky"},
        {"idle_program_versioned64.exe", "hiddenv64.exe", true, "Risky"},
        {"idle_program.exe", kPhotoExe, true, "Risky"},
        {"idle_program.exe", "tw_system_a.exe", false, "Suspicious"},
        {"idle_program64.exe", "tw_system_b.exe", false, "Suspicious"},
        {"idle_program_versioned.exe", "tw_system_c.exe", false, "safe"},
        {"idle_program_versioned64.exe", "tw_system_d.exe", false, "safe"},
        {"idle_program.exe", "tw_unknown32.exe", false, "safe"},
        {"idle_program64.exe", "tw_unknown64.exe", false, "safe"},
    };
    // Files of these names in the Windows folders. (Names of Wine's own programs would not
    // do: Wine answers version queries on such a name with its own program's information.)
    const std::string windows = WindowsFolder();
    const std::vector<std::string> systemFiles = {
        windows + "\\tw_system_a.exe", windows + "\\system32\\tw_system_b.exe",
        windows + "\\tw_system_c.exe", windows + "\\system32\\tw_system_d.exe"};
    for (const std::string& file : systemFiles) ASSERT_TRUE(WriteFileBytes(file, "MZ"));
    std::vector<std::unique_ptr<RunningProgram>> running;
    for (const auto& c : cases) {
        std::string path = std::string(kWork) + "\\" + c.copy;
        ASSERT_TRUE(CopyProgram(testbin + c.program, path)) << c.copy;
        if (c.hidden) ::SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_HIDDEN);
        running.push_back(std::make_unique<RunningProgram>(path));
        ASSERT_TRUE(running.back()->Running()) << c.copy;
    }
    // The loader maps a program before its module list names it.
    std::map<DWORD, FlaggedProcess> flagged;
    auto verdictOf = [&](size_t i) -> std::string {
        auto found = flagged.find(running[i]->Pid());
        return found == flagged.end() ? "safe" : VerdictName(found->second.verdict);
    };
    auto allJudged = [&] {
        flagged = FlaggedNow();
        for (size_t i = 0; i < running.size(); ++i)
            if (verdictOf(i) != cases[i].verdict) return false;
        return true;
    };
    EXPECT_TRUE(WaitUntil(allJudged));
    for (size_t i = 0; i < running.size(); ++i) {
        EXPECT_EQ(verdictOf(i), cases[i].verdict) << cases[i].copy;
        auto found = flagged.find(running[i]->Pid());
        if (found == flagged.end()) continue;
        EXPECT_EQ(found->second.name, cases[i].copy);
        EXPECT_EQ(found->second.path, std::string(kWork) + "\\" + cases[i].copy);
    }
    running.clear();
    for (const std::string& file : systemFiles) ::DeleteFileA(file.c_str());
    CleanWork();
}

TEST(TaskwatchDeleteTest, EndsOnlyTheListedProcessThenDeletesItsFile) {
    CleanWork();
    const std::string path = std::string(kWork) + "\\tw_listed.exe";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), path));
    RunningProgram program(path);
    ASSERT_TRUE(program.Running());
    FlaggedProcess row{program.Pid(), "tw_listed.exe", path, ProcessVerdict::kSuspicious};

    FlaggedProcess renamed = row;
    renamed.name = "other.exe";
    EXPECT_FALSE(EndListedProcess(renamed)) << "the number now names another program";
    SetProcessOpenerForTesting([](DWORD, DWORD) -> HANDLE { return nullptr; });
    EXPECT_FALSE(EndListedProcess(row)) << "cannot be opened";
    SetProcessOpenerForTesting(nullptr);
    EXPECT_TRUE(program.Running());

    EXPECT_TRUE(EndListedProcess(row));
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(EndListedProcess(row)) << "ended already";
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteProgramFile(path));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    // The quarantine takes ANSI paths today: such a file is left alone, and so reported.
    const std::string photo = std::string(kWork) + "\\" + kPhotoExe;
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), photo));
    EXPECT_FALSE(DeleteProgramFile(photo));
    EXPECT_NE(::GetFileAttributesW(Utf8ToWide(photo).c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA((BuildFolder() + "\\quarantine\\tw_listed.exe.kv").c_str());
    CleanWork();
}

namespace {
// Answers from the system, counting what it is asked.
struct CountingProbe : ProcessProbe {
    bool ProgramFile(DWORD id, std::string& path) override {
        ++programFiles;
        return system.ProgramFile(id, path);
    }
    bool FindInSystemFolders(const std::string& name, std::string& path) override {
        ++lookUps;
        return system.FindInSystemFolders(name, path);
    }
    bool IsHidden(const std::string& path) override { return system.IsHidden(path); }
    bool HasVersionInfo(const std::string& path) override {
        ++versions;
        return system.HasVersionInfo(path);
    }
    bool IsSystemFileName(const std::string& name) override {
        ++lookUps;
        return system.IsSystemFileName(name);
    }
    SystemProcessProbe system;
    int programFiles = 0, versions = 0, lookUps = 0;
};
}  // namespace

TEST(TaskwatchMonitorTest, RemembersAnswersOnlyWhileWhatTheyDependOnStays) {
    CleanWork();
    const std::string first = std::string(kWork) + "\\tw_cached.exe";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), first));
    CountingProbe counting;
    ProbeCache cache(counting);
    std::string path;
    {
        RunningProgram program(first);
        ASSERT_TRUE(WaitUntil([&] { return cache.ProgramFile(program.Pid(), path); }));
        int asked = counting.programFiles;
        EXPECT_TRUE(cache.ProgramFile(program.Pid(), path));
        EXPECT_EQ(path, first);
        EXPECT_EQ(counting.programFiles, asked) << "the same process";
    }
    int before = counting.programFiles;
    EXPECT_FALSE(cache.ProgramFile(0, path));
    EXPECT_FALSE(cache.ProgramFile(0, path));
    EXPECT_EQ(counting.programFiles, before + 2) << "no process to remember: asked each time";

    EXPECT_FALSE(cache.HasVersionInfo(first));
    EXPECT_FALSE(cache.HasVersionInfo(first));
    EXPECT_EQ(counting.versions, 1);
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\idle_program_versioned.exe", first));
    EXPECT_TRUE(cache.HasVersionInfo(first)) << "another file under the same name";
    EXPECT_EQ(counting.versions, 2);

    const std::string name = "tw_cache_probe.exe";
    const std::string placed = WindowsFolder() + "\\system32\\" + name;
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(name));
    EXPECT_FALSE(cache.FindInSystemFolders(name, path));
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(name));
    EXPECT_FALSE(cache.FindInSystemFolders(name, path));
    EXPECT_EQ(counting.lookUps, 2);
    ASSERT_TRUE(WriteFileBytes(placed, "MZ"));
    cache.NewPass();
    EXPECT_TRUE(cache.IsSystemFileName(name)) << "a file came into the folder";
    EXPECT_TRUE(cache.FindInSystemFolders(name, path));
    EXPECT_EQ(path, placed);
    ::DeleteFileA(placed.c_str());
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(name)) << "and went";
    CleanWork();
}
