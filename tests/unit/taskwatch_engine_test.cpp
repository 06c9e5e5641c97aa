#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/Text.h"
#include "process/ProbeCache.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessModule.h"
#include "process/ProcessTable.h"
#include "process/SystemFiles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
const std::string kPhotoExe = "Фото.exe";  // a name the ANSI code page cannot spell
const std::string kFolder = "C:\\koravant\\taskwatch-unit", kWork = kFolder + "\\";
const std::string kWindows = "C:\\windows\\";

// A made-up process: its module snapshot's path (none: ""), what its file is like, and the
// file of its name in the Windows folders (none: ""), which has the same attributes.
struct MadeUpProcess {
    DWORD id;
    std::string name, modulePath;
    bool hidden, versioned;
    std::string systemPath;
};

struct MadeUpProbe : ProcessProbe {
    explicit MadeUpProbe(std::vector<MadeUpProcess> all) : all(std::move(all)) {
        for (const MadeUpProcess& p : this->all) entries.push_back({p.id, p.name});
    }
    const MadeUpProcess& Find(DWORD id, const std::string& name, const std::string& path) const {
        auto found = std::ranges::find_if(all, [&](const MadeUpProcess& p) {
            return p.id == id || p.name == name ||
                   (!path.empty() && (p.modulePath == path || p.systemPath == path));
        });
        EXPECT_NE(found, all.end()) << "asked about an unknown process or file";
        return found == all.end() ? all.front() : *found;
    }
    bool ProgramFile(DWORD id, std::string& path) override {
        return !(path = Find(id, "", "").modulePath).empty();
    }
    bool FindInSystemFolders(const std::string& name, std::string& path) override {
        return !(path = Find(0, name, "").systemPath).empty();
    }
    bool IsHidden(const std::string& path) override { return Find(0, "", path).hidden; }
    bool HasVersionInfo(const std::string& path) override { return Find(0, "", path).versioned; }
    bool IsSystemFileName(const std::string& name) override {
        return !Find(0, name, "").systemPath.empty();
    }
    std::vector<MadeUpProcess> all;
    std::vector<ProcessEntry> entries;
};
}  // namespace

TEST(TaskwatchJudgeTest, HiddenIsRiskyUnversionedSystemNamesSuspiciousAtMost256Rows) {
    const std::string sys = kWindows + "system32\\";
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

    processes.clear();
    for (DWORD id = 1; id <= 300; ++id)
        processes.push_back(
            {id, std::to_string(id) + ".exe", "E:\\" + std::to_string(id), true, false, ""});
    MadeUpProbe many(processes);
    std::vector<FlaggedProcess> flagged = FindFlaggedProcesses(many.entries, many);
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
    EXPECT_TRUE(table.Row(255, row) && row == flagged[255]);
    EXPECT_FALSE(table.Row(256, row) || table.Row(-1, row));
}

TEST(TaskwatchSystemFilesTest, SearchesTheWindowsSystemAndSystem32FoldersForFilesOnly) {
    const std::string onlyInSystem = kWindows + "system\\tw_only_in_system.exe";
    const std::string dirFirst = kWindows + "system32\\tw_dir_first.exe";
    const std::string photo = kWindows + "system32\\" + kPhotoExe;
    ASSERT_TRUE(WriteFileBytes(onlyInSystem, "MZ") && WriteFileBytes(dirFirst, "MZ"));
    ASSERT_TRUE(CreateFolders(kWindows + "tw_dir_first.exe") && CopyProgram(dirFirst, photo));
    const std::pair<std::string, std::string> cases[] = {
        {"notepad.exe", kWindows + "notepad.exe"},  // the Windows folder first
        {"tw_only_in_system.exe", onlyInSystem},
        {"tw_dir_first.exe", dirFirst},  // a directory is no hit
        {kPhotoExe, photo},
        {"system32", ""},
        {"", ""},
        {"system32\\kernel32.dll", ""},
        {"..\\win.ini", ""}};
    for (const auto& [name, expected] : cases) {
        std::string path;
        EXPECT_EQ(FindInSystemFolders(name, path) ? path : "", expected) << name;
    }
    for (const std::string& file : {photo, dirFirst, onlyInSystem}) DeleteFileUtf8(file);
    ::RemoveDirectoryA((kWindows + "tw_dir_first.exe").c_str());
}

// A program of any name is judged by its file; Delete ends only the listed process and
// quarantines its file under its own name.
TEST(TaskwatchDeleteTest, JudgesAProgramOfAnyNameByItsFileThenEndsItAndQuarantinesTheFile) {
    const std::string versioned = BuildFolder() + "\\testbin\\idle_program_versioned";
    const std::string path = kWork + kPhotoExe;
    ASSERT_TRUE(CopyProgram(versioned + ".exe", path));
    EXPECT_TRUE(HasVersionInfo(path) && HasVersionInfo(versioned + "64.exe"));
    EXPECT_FALSE(HasVersionInfo(kWork + "missing.exe") || HasVersionInfo(""));
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    RunningProgram program(path);
    const FlaggedProcess row{program.Pid(), kPhotoExe, path, ProcessVerdict::kRisky};
    // The loader maps a program before its module list names it.
    EXPECT_TRUE(WaitUntil([&] {
        SystemProcessProbe probe;
        std::vector<ProcessEntry> processes;
        return ListRunningProcesses(processes) &&
               std::ranges::count(FindFlaggedProcesses(processes, probe), row) == 1;
    }));
    EXPECT_FALSE(EndListedProcess({row.id, "other.exe", path, row.verdict}))
        << "the number now names another program";
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(EndListedProcess(row));
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_FALSE(EndListedProcess(row)) << "ended already";
    EXPECT_TRUE(DeleteProgramFile(path));
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(DeleteFileUtf8(BuildFolder() + "\\quarantine\\" + kPhotoExe + ".kv"));
    DeleteTree(kFolder);
}

TEST(TaskwatchMonitorTest, RemembersAnswersOnlyWhileWhatTheyDependOnStays) {
    const std::string file = kWork + "tw_cached.exe", name = "tw_cache_probe.exe";
    const std::string placed = kWindows + "system32\\" + name;
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), file));
    SystemProcessProbe system;
    ProbeCache cache(system);
    std::string path;
    EXPECT_FALSE(cache.HasVersionInfo(file));
    ASSERT_TRUE(CopyProgram(BuildFolder() + "\\testbin\\idle_program_versioned.exe", file));
    EXPECT_TRUE(cache.HasVersionInfo(file)) << "another file under the same name";
    for (bool present : {false, true, false}) {
        ASSERT_TRUE(!present || WriteFileBytes(placed, "MZ"));
        if (!present) ::DeleteFileA(placed.c_str());
        cache.NewPass();
        EXPECT_EQ(cache.IsSystemFileName(name), present) << "the folder changed";
        EXPECT_EQ(cache.FindInSystemFolders(name, path) ? path : "", present ? placed : "");
    }
    DeleteTree(kFolder);
}

// The 64-bit fallback and programs of any name are shown by the process shield's tests.
TEST(ProcessModuleTest, ProgramFileIsAnExistingExeFileInAnyCase) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("a.exe", "") && stick.WriteFile("B.EXE", "") &&
                stick.WriteFile("h.Exe", "", FILE_ATTRIBUTE_HIDDEN) &&
                stick.WriteFile("Фото.exe", "") && stick.WriteFile("x.dll", "") &&
                stick.WriteFile("x.exe.txt", "") && stick.MakeFolder("dir.exe"));
    for (auto [name, program] : {std::pair{"a.exe", true},
                                 {"B.EXE", true},
                                 {"h.Exe", true},
                                 {"Фото.exe", true},
                                 {"x.dll", false},
                                 {"x.exe.txt", false},
                                 {"dir.exe", false},
                                 {"gone.exe", false}})
        EXPECT_EQ(IsProgramFile(stick.Path(name)), program) << name;
    EXPECT_FALSE(IsProgramFile(".exe") || IsProgramFile(""));
    std::string path;
    EXPECT_FALSE(GetProcessExeModule(0, path)) << "the idle process";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_TRUE(GetProcessExeModule(::GetCurrentProcessId(), path) && path == WideToUtf8(self));
}
