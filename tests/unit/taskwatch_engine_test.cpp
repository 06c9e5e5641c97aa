// The process shield's judge, its row table, the Windows-folder lookups and deletion of a
// running program; verdicts of real programs are shown end to end by the page's test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "process/ProbeCache.h"
#include "process/ProcessDeletion.h"
#include "process/ProcessJudge.h"
#include "process/ProcessModule.h"
#include "process/ProcessTable.h"
#include "process/SystemFiles.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

const std::string kPhotoExe = "Фото.exe";  // a name the ANSI code page cannot spell
const std::string kFolder = "C:\\koravant\\taskwatch-unit", kWork = kFolder + "\\";
const std::string kWindows = "C:\\windows\\", kSystem32 = kWindows + "system32\\";
const std::string kVersioned = BuildFolder() + "\\testbin\\idle_program_versioned";

// Made-up answers: program files by process, Windows-folder files by name, and which paths
// are hidden or versioned.
struct MadeUpProbe : ProcessProbe {
    std::map<DWORD, std::string> modules;
    std::map<std::string, std::string> system;
    std::set<std::string> hidden, versioned;
    bool ProgramFile(DWORD id, std::string& path) override { return !(path = modules[id]).empty(); }
    bool FindInSystemFolders(const std::string& name, std::string& path) override {
        return !(path = system[name]).empty();
    }
    bool IsHidden(const std::string& path) override { return hidden.count(path) > 0; }
    bool HasVersionInfo(const std::string& path) override { return versioned.count(path) > 0; }
    bool IsSystemFileName(const std::string& name) override { return !system[name].empty(); }
};

// Without a module snapshot a process is judged by the file of its name in the Windows
// folders, and that file is the path listed; with neither it is safe.
TEST(TaskwatchJudgeTest, HiddenIsRiskyUnversionedSystemNamesSuspiciousAtMost256Rows) {
    using V = ProcessVerdict;
    MadeUpProbe probe;
    probe.modules = {{2, "E:\\b.exe"}, {4, "E:\\d.exe"}};
    probe.system = {{"d.exe", kSystem32 + "d.exe"}, {"g.exe", kSystem32 + "g.exe"}};
    probe.hidden = {"E:\\b.exe", ""};
    probe.versioned = {"E:\\b.exe"};
    EXPECT_EQ(
        FindFlaggedProcesses({{2, "b.exe"}, {4, "d.exe"}, {7, "g.exe"}, {10, "j.exe"}}, probe),
        (std::vector<FlaggedProcess>{{2, "b.exe", "E:\\b.exe", V::kRisky},
                                     {4, "d.exe", "E:\\d.exe", V::kSuspicious},
                                     {7, "g.exe", kSystem32 + "g.exe", V::kSuspicious}}))
        << "in snapshot order";

    std::vector<FlaggedProcess> rows;
    for (DWORD id = 1; id <= 300; ++id) rows.push_back({id, "p.exe", "E:\\p.exe", V::kRisky});
    ProcessTable table;
    size_t shown = 0;
    auto show = [&](const auto& listed) { shown = listed.size(); };
    EXPECT_TRUE(table.Rebuild(rows, show) && shown == 256);
    EXPECT_FALSE(table.Rebuild(rows, show)) << "the same rows keep the list as it is";
    FlaggedProcess row;
    EXPECT_TRUE(table.Row(255, row) && row == rows[255]);
    EXPECT_FALSE(table.Row(256, row) || table.Row(-1, row));
}

// System files through the monitor's cache, which forgets its answers when a folder or a file
// changed. A 32-bit program reaches the 64-bit system folder only as "sysnative" ("system32" is
// the 32-bit one): a 64-bit program there, of any name, is judged, ended and deleted by its own
// file, never its twin.
TEST(TaskwatchFilesTest, SystemFilesFoundAndForgottenWhenChangedAProgramJudgedByItsFileAndEnded) {
    const std::string onlyInSystem = kWindows + "system\\tw_only_in_system.exe";
    const std::string dirFirst = kSystem32 + "tw_dir_first.exe", twin = kSystem32 + kPhotoExe;
    SystemProcessProbe system;
    ProbeCache cache(system);
    EXPECT_FALSE(cache.IsSystemFileName(kPhotoExe));
    ASSERT_TRUE(WriteFileBytes(onlyInSystem, "MZ") && WriteFileBytes(dirFirst, "MZ"));
    ASSERT_TRUE(CreateFolders(kWindows + "tw_dir_first.exe") && CopyProgram(dirFirst, twin));
    cache.NewPass();
    const std::pair<std::string, std::string> cases[] = {
        {"notepad.exe", kWindows + "notepad.exe"},  // the Windows folder first
        {"tw_only_in_system.exe", onlyInSystem},
        {"tw_dir_first.exe", dirFirst},  // a directory is no hit
        {kPhotoExe, twin},
        {"", ""},
        {"..\\win.ini", ""}};
    std::string found;
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(cache.FindInSystemFolders(name, found) ? found : "", expected) << name;
        EXPECT_EQ(cache.IsSystemFileName(name), !expected.empty()) << name;
    }
    for (const std::string& file : {twin, dirFirst, onlyInSystem}) DeleteFileUtf8(file);
    ::RemoveDirectoryA((kWindows + "tw_dir_first.exe").c_str());
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(kPhotoExe) || cache.FindInSystemFolders(kPhotoExe, found));
    const std::string file = kWork + "tw_cached.exe";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), file) && !cache.HasVersionInfo(file));
    // Another file under the same name.
    EXPECT_TRUE(CopyProgram(kVersioned + ".exe", file) && cache.HasVersionInfo(file));

    const std::string native = kWindows + "sysnative\\" + kPhotoExe;
    ASSERT_TRUE(CopyProgram(kVersioned + "64.exe", native));
    EXPECT_TRUE(FindInSystemFolders(kPhotoExe, found) && !lstrcmpiA(found.c_str(), native.c_str()))
        << found;
    EXPECT_TRUE(HasVersionInfo(native));
    EXPECT_FALSE(HasVersionInfo(kWork + "missing.exe") || HasVersionInfo(""));
    SetFileAttributesUtf8(native, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    RunningProgram program(native, {}, kWindows);
    std::string path;
    ASSERT_TRUE(WaitUntil([&] { return GetProcessExeModule(program.Pid(), path); }));
    EXPECT_TRUE(lstrcmpiA(path.c_str(), native.c_str()) == 0) << path;
    EXPECT_FALSE(GetProcessExeModule(0, found)) << "the idle process, not this one";
    const FlaggedProcess row{program.Pid(), kPhotoExe, path, ProcessVerdict::kRisky};
    SystemProcessProbe probe;
    std::vector<ProcessEntry> processes;
    ASSERT_TRUE(ListRunningProcesses(processes));
    EXPECT_EQ(std::ranges::count(FindFlaggedProcesses(processes, probe), row), 1);
    ASSERT_TRUE(WriteFileBytes(twin, "MZ"));
    EXPECT_TRUE(!EndListedProcess({row.id, "other.exe", path, row.verdict}) && program.Running())
        << "the number now names another program";
    EXPECT_TRUE(EndListedProcess(row) && program.WaitForExit());
    EXPECT_TRUE(DeleteProgramFile(path) && !FileExists(native) && FileExists(twin));
    EXPECT_TRUE(DeleteFileUtf8(BuildFolder() + "\\quarantine\\" + kPhotoExe + ".kv"));
    DeleteFileUtf8(twin);
    DeleteFileUtf8(native);
    DeleteTree(kFolder);
}
