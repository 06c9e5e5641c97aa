#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Text.h"
#include "process/ProbeCache.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessTable.h"
#include "process/SystemFiles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
// A name the ANSI code page cannot spell.
const std::string kPhotoExe = "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.exe";
constexpr char kWork[] = "C:\\koravant\\taskwatch-unit";

// A made-up process: its module snapshot's path (none: ""), what its file is like, and the
// file of its name in the Windows folders (none: "").
struct MadeUpProcess {
    DWORD id;
    std::string name, modulePath;
    bool hidden, versioned;
    std::string systemPath;
};

class MadeUpProbe : public ProcessProbe {
  public:
    explicit MadeUpProbe(std::vector<MadeUpProcess> all) : m_all(std::move(all)) {
        for (const MadeUpProcess& process : m_all) entries.push_back({process.id, process.name});
    }
    bool ProgramFile(DWORD id, std::string& path) override {
        return Give(Find(id, "", "").modulePath, path);
    }
    bool FindInSystemFolders(const std::string& name, std::string& path) override {
        return Give(Find(0, name, "").systemPath, path);
    }
    bool IsHidden(const std::string& path) override { return Find(0, "", path).hidden; }
    bool HasVersionInfo(const std::string& path) override { return Find(0, "", path).versioned; }
    bool IsSystemFileName(const std::string& name) override {
        return !Find(0, name, "").systemPath.empty();
    }
    std::vector<ProcessEntry> entries;

  private:
    static bool Give(const std::string& found, std::string& path) {
        path = found;
        return !found.empty();
    }
    // A path reached through the Windows folders has the attributes of the process's file.
    const MadeUpProcess& Find(DWORD id, const std::string& name, const std::string& path) const {
        for (const MadeUpProcess& p : m_all)
            if (p.id == id || p.name == name ||
                (!path.empty() && (p.modulePath == path || p.systemPath == path)))
                return p;
        ADD_FAILURE() << "asked about an unknown process or file";
        return m_all.front();
    }
    std::vector<MadeUpProcess> m_all;
};

std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    ::GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

std::string Work(const std::string& name) { return std::string(kWork) + "\\" + name; }

// DeleteTree walks with the A functions, which cannot name this file.
void CleanWork() {
    ::DeleteFileW(Utf8ToWide(Work(kPhotoExe)).c_str());
    DeleteTree(kWork);
}
}  // namespace

TEST(TaskwatchJudgeTest, HiddenIsRiskyUnversionedSystemNamesSuspiciousTheRestUnlisted) {
    const std::string sys = "C:\\windows\\system32\\";
    using V = ProcessVerdict;
    const struct {
        MadeUpProcess process;
        V verdict;
        std::string path;
    } cases[] = {
        {{2, "b.exe", "E:\\b.exe", true, true, ""}, V::kRisky, "E:\\b.exe"},
        {{3, "c.exe", "E:\\c.exe", true, false, sys + "c.exe"}, V::kRisky, "E:\\c.exe"},
        {{4, "d.exe", "E:\\d.exe", false, false, sys + "d.exe"}, V::kSuspicious, "E:\\d.exe"},
        // No module snapshot: judged through the file of its name in the Windows folders.
        {{7, "g.exe", "", false, false, sys + "g.exe"}, V::kSuspicious, sys + "g.exe"},
        {{8, "h.exe", "", true, true, sys + "h.exe"}, V::kRisky, sys + "h.exe"},
        {{10, "j.exe", "", true, false, ""}, V::kSafe, ""},
    };
    std::vector<MadeUpProcess> processes;
    std::vector<FlaggedProcess> expected;
    for (const auto& c : cases) {
        processes.push_back(c.process);
        if (c.verdict != V::kSafe)
            expected.push_back({c.process.id, c.process.name, c.path, c.verdict});
    }
    MadeUpProbe probe(processes);
    EXPECT_EQ(FindFlaggedProcesses(probe.entries, probe), expected) << "in snapshot order";
}

TEST(TaskwatchJudgeTest, NoMoreThan256RowsAndTheListRebuiltOnlyForOtherRows) {
    std::vector<MadeUpProcess> processes;
    for (DWORD id = 1; id <= 300; ++id) {
        std::string name = std::to_string(id) + ".exe";
        processes.push_back({id, name, "E:\\" + name, true, false, ""});
    }
    MadeUpProbe probe(processes);
    std::vector<FlaggedProcess> flagged = FindFlaggedProcesses(probe.entries, probe);
    ASSERT_EQ(flagged.size(), 256u);
    EXPECT_EQ(flagged.back().id, 256u) << "the first 256 in snapshot order";

    ProcessTable table;
    int rebuilds = 0, shown = 0;
    auto show = [&](const auto& rows) { ++rebuilds, shown = static_cast<int>(rows.size()); };
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

TEST(TaskwatchSystemFilesTest, SearchesTheWindowsSystemAndSystem32FoldersForFilesOnly) {
    const std::string windows = WindowsFolder();
    const std::string onlyInSystem = windows + "\\system\\tw_only_in_system.exe";
    const std::string dirFirst = windows + "\\system32\\tw_dir_first.exe";
    const std::string photo = windows + "\\system32\\" + kPhotoExe;
    ASSERT_TRUE(CreateFolders(windows + "\\system") && WriteFileBytes(onlyInSystem, "MZ"));
    ASSERT_TRUE(CreateFolders(windows + "\\tw_dir_first.exe") && WriteFileBytes(dirFirst, "MZ"));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), photo));

    const std::pair<std::string, std::string> cases[] = {
        {"notepad.exe", windows + "\\notepad.exe"},  // the Windows folder first
        {"tw_only_in_system.exe", onlyInSystem},
        {"tw_dir_first.exe", dirFirst},  // a directory is no hit
        {kPhotoExe, photo},
        {"system32", ""},
        {"tw_nowhere.exe", ""},
        {"", ""},
        {"system32\\kernel32.dll", ""},
        {"..\\win.ini", ""}};
    for (const auto& [name, expected] : cases) {
        std::string path;
        EXPECT_EQ(FindInSystemFolders(name, path) ? path : "", expected) << name;
    }
    ::DeleteFileW(Utf8ToWide(photo).c_str());
    ::DeleteFileA(dirFirst.c_str());
    ::RemoveDirectoryA((windows + "\\tw_dir_first.exe").c_str());
    ::DeleteFileA(onlyInSystem.c_str());
}

// The page's own test runs the other kinds of program.
TEST(TaskwatchSystemFilesTest, AProgramOfAnyNameIsJudgedByItsFileAndKeptIfNotQuarantined) {
    CleanWork();
    const std::string versioned = BuildFolder() + "\\testbin\\idle_program_versioned";
    ASSERT_TRUE(CopyProgram(versioned + ".exe", Work(kPhotoExe)));
    EXPECT_TRUE(HasVersionInfo(Work(kPhotoExe)));
    EXPECT_TRUE(HasVersionInfo(versioned + "64.exe"));
    EXPECT_FALSE(HasVersionInfo(Work("missing.exe")));
    EXPECT_FALSE(HasVersionInfo(""));

    ::SetFileAttributesW(Utf8ToWide(Work(kPhotoExe)).c_str(), FILE_ATTRIBUTE_HIDDEN);
    RunningProgram program(Work(kPhotoExe));
    const FlaggedProcess expected{program.Pid(), kPhotoExe, Work(kPhotoExe),
                                  ProcessVerdict::kRisky};
    // The loader maps a program before its module list names it.
    EXPECT_TRUE(WaitUntil([&] {
        SystemProcessProbe probe;
        std::vector<ProcessEntry> processes;
        if (!ListRunningProcesses(processes)) return false;
        std::vector<FlaggedProcess> flagged = FindFlaggedProcesses(processes, probe);
        return std::count(flagged.begin(), flagged.end(), expected) == 1;
    }));
    program.Kill();
    // Its file goes through the quarantine under its own name.
    EXPECT_TRUE(DeleteProgramFile(Work(kPhotoExe)));
    EXPECT_EQ(::GetFileAttributesW(Utf8ToWide(Work(kPhotoExe)).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(
        ::DeleteFileW(Utf8ToWide(BuildFolder() + "\\quarantine\\" + kPhotoExe + ".kv").c_str()));
    CleanWork();
}

TEST(TaskwatchDeleteTest, EndsOnlyTheListedProcessThenDeletesItsFile) {
    CleanWork();
    const std::string path = Work("tw_listed.exe");
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), path));
    RunningProgram program(path);
    FlaggedProcess row{program.Pid(), "tw_listed.exe", path, ProcessVerdict::kSuspicious};
    EXPECT_FALSE(EndListedProcess({row.id, "other.exe", path, row.verdict}))
        << "the number now names another program";
    EXPECT_TRUE(program.Running());

    EXPECT_TRUE(EndListedProcess(row));
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(EndListedProcess(row)) << "ended already";
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteProgramFile(path));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA((BuildFolder() + "\\quarantine\\tw_listed.exe.kv").c_str());
    CleanWork();
}

TEST(TaskwatchMonitorTest, RemembersAnswersOnlyWhileWhatTheyDependOnStays) {
    CleanWork();
    const std::string file = Work("tw_cached.exe");
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), file));
    SystemProcessProbe system;
    ProbeCache cache(system);
    std::string path;
    EXPECT_FALSE(cache.HasVersionInfo(file));
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\idle_program_versioned.exe", file));
    EXPECT_TRUE(cache.HasVersionInfo(file)) << "another file under the same name";

    const std::string name = "tw_cache_probe.exe";
    const std::string placed = WindowsFolder() + "\\system32\\" + name;
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(name));
    EXPECT_FALSE(cache.FindInSystemFolders(name, path));
    ASSERT_TRUE(WriteFileBytes(placed, "MZ"));
    cache.NewPass();
    EXPECT_TRUE(cache.IsSystemFileName(name)) << "a file came into the folder";
    EXPECT_TRUE(cache.FindInSystemFolders(name, path) && path == placed);
    ::DeleteFileA(placed.c_str());
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(name)) << "and went";
    EXPECT_FALSE(cache.FindInSystemFolders(name, path));
    CleanWork();
}
