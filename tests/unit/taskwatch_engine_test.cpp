#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
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

const std::string kPhotoExe = "Фото.exe";  // a name the ANSI code page cannot spell
const std::string kFolder = "C:\\koravant\\taskwatch-unit", kWork = kFolder + "\\";
const std::string kWindows = "C:\\windows\\", kSystem32 = kWindows + "system32\\";
const std::string kVersioned = BuildFolder() + "\\testbin\\idle_program_versioned";

TEST(TaskwatchJudgeTest, HiddenIsRiskyUnversionedSystemNamesSuspiciousAtMost256Rows) {
    // A made-up process: its module snapshot's path (none: ""), the file of its name in the
    // Windows folders (none: ""), what these files are like; its verdict and the path listed.
    struct MadeUpProcess {
        DWORD id;
        std::string name, modulePath, systemPath;
        bool hidden, versioned;
        ProcessVerdict verdict;
        std::string listedPath;
    };

    // Answers from the made-up processes, found by identifier, name or either path.
    struct MadeUpProbe : ProcessProbe {
        std::map<std::string, MadeUpProcess> known;
        void Add(const MadeUpProcess& p) {
            for (const auto& key : {std::to_string(p.id), p.name, p.modulePath, p.systemPath})
                if (!key.empty()) known[key] = p;
        }
        bool ProgramFile(DWORD id, std::string& path) override {
            return !(path = known[std::to_string(id)].modulePath).empty();
        }
        bool FindInSystemFolders(const std::string& name, std::string& path) override {
            return !(path = known[name].systemPath).empty();
        }
        bool IsHidden(const std::string& path) override { return known[path].hidden; }
        bool HasVersionInfo(const std::string& path) override { return known[path].versioned; }
        bool IsSystemFileName(const std::string& name) override {
            return !known[name].systemPath.empty();
        }
    };
    using V = ProcessVerdict;
    const MadeUpProcess cases[] = {
        {2, "b.exe", "E:\\b.exe", "", true, true, V::kRisky, "E:\\b.exe"},
        {3, "c.exe", "E:\\c.exe", kSystem32 + "c.exe", true, false, V::kRisky, "E:\\c.exe"},
        {4, "d.exe", "E:\\d.exe", kSystem32 + "d.exe", false, false, V::kSuspicious, "E:\\d.exe"},
        // No module snapshot: judged through the file of its name in the Windows folders.
        {7, "g.exe", "", kSystem32 + "g.exe", false, false, V::kSuspicious, kSystem32 + "g.exe"},
        {10, "j.exe", "", "", true, false, V::kSafe, ""},
    };
    MadeUpProbe probe;
    std::vector<ProcessEntry> processes;
    std::vector<FlaggedProcess> expected;
    for (const MadeUpProcess& p : cases) {
        probe.Add(p);
        processes.push_back({p.id, p.name});
        if (p.verdict != V::kSafe) expected.push_back({p.id, p.name, p.listedPath, p.verdict});
    }
    EXPECT_EQ(FindFlaggedProcesses(processes, probe), expected) << "in snapshot order";

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
// changed; then a real program.
TEST(TaskwatchFilesTest, SystemFilesFoundAndForgottenWhenChangedAProgramJudgedByItsFileAndEnded) {
    const std::string onlyInSystem = kWindows + "system\\tw_only_in_system.exe";
    const std::string dirFirst = kSystem32 + "tw_dir_first.exe", photo = kSystem32 + kPhotoExe;
    SystemProcessProbe system;
    ProbeCache cache(system);
    EXPECT_FALSE(cache.IsSystemFileName(kPhotoExe));
    ASSERT_TRUE(WriteFileBytes(onlyInSystem, "MZ") && WriteFileBytes(dirFirst, "MZ"));
    ASSERT_TRUE(CreateFolders(kWindows + "tw_dir_first.exe") && CopyProgram(dirFirst, photo));
    cache.NewPass();
    const std::pair<std::string, std::string> cases[] = {
        {"notepad.exe", kWindows + "notepad.exe"},  // the Windows folder first
        {"tw_only_in_system.exe", onlyInSystem},
        {"tw_dir_first.exe", dirFirst},  // a directory is no hit
        {kPhotoExe, photo},
        {"", ""},
        {"system32\\kernel32.dll", ""},
        {"..\\win.ini", ""}};
    std::string found;
    for (const auto& [name, expected] : cases) {
        EXPECT_EQ(cache.FindInSystemFolders(name, found) ? found : "", expected) << name;
        EXPECT_EQ(cache.IsSystemFileName(name), !expected.empty()) << name;
    }
    for (const std::string& file : {photo, dirFirst, onlyInSystem}) DeleteFileUtf8(file);
    ::RemoveDirectoryA((kWindows + "tw_dir_first.exe").c_str());
    cache.NewPass();
    EXPECT_FALSE(cache.IsSystemFileName(kPhotoExe) || cache.FindInSystemFolders(kPhotoExe, found));

    const std::string file = kWork + "tw_cached.exe", path = kWork + kPhotoExe;
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), file) && !cache.HasVersionInfo(file));
    // Another file under the same name.
    EXPECT_TRUE(CopyProgram(kVersioned + ".exe", file) && cache.HasVersionInfo(file));

    // A program of any name is judged by its file; Delete ends only the listed process and
    // quarantines its file under its own name.
    ASSERT_TRUE(CopyProgram(kVersioned + ".exe", path));
    EXPECT_TRUE(HasVersionInfo(path) && HasVersionInfo(kVersioned + "64.exe"));
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
    EXPECT_TRUE(!EndListedProcess({row.id, "other.exe", path, row.verdict}) && program.Running())
        << "the number now names another program";
    EXPECT_TRUE(EndListedProcess(row) && program.WaitForExit());
    EXPECT_TRUE(DeleteProgramFile(path) && !FileExists(path));
    EXPECT_TRUE(DeleteFileUtf8(BuildFolder() + "\\quarantine\\" + kPhotoExe + ".kv"));
    DeleteTree(kFolder);
}

// A running program's file is shown above, the 64-bit fallback by the process shield's tests.
TEST(ProcessModuleTest, ProgramFileIsAnExistingExeFileInAnyCase) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.MakeFolder("dir.exe"));
    for (const char* name : {"a.exe", "B.EXE", "Фото.exe", "x.dll", "x.exe.txt"})
        ASSERT_TRUE(stick.WriteFile(name, ""));
    for (const char* name : {"a.exe", "B.EXE", "Фото.exe"})
        EXPECT_TRUE(IsProgramFile(stick.Path(name))) << name;
    for (const char* name : {"x.dll", "x.exe.txt", "dir.exe", "gone.exe"})
        EXPECT_FALSE(IsProgramFile(stick.Path(name))) << name;
    EXPECT_FALSE(IsProgramFile(".exe") || IsProgramFile(""));
    std::string path;
    EXPECT_FALSE(GetProcessExeModule(0, path)) << "the idle process, not this one";
}

// A 32-bit program reaches the 64-bit system folder only as "sysnative": "system32" is the
// 32-bit one. A 64-bit program there is judged and deleted by its own file, never its twin.
TEST(ProcessModuleTest, A64BitProgramOfTheSystemFolderIsItsOwnFileNotThe32BitTwin) {
    const std::string name = "tw_native64.exe", twin = kSystem32 + name;
    const std::string native = kWindows + "sysnative\\" + name;
    ASSERT_TRUE(CopyProgram(IdleProgramPath(true), native));
    // Its name is a system file's name, for an unversioned program anywhere.
    std::string found;
    EXPECT_TRUE(IsSystemFileName(name) && FindInSystemFolders(name, found) &&
                lstrcmpiA(found.c_str(), native.c_str()) == 0)
        << found;
    SetFileAttributesUtf8(native, FILE_ATTRIBUTE_HIDDEN);
    RunningProgram program(native, {}, kWindows);
    ASSERT_NE(program.Pid(), 0u);
    std::string path;
    EXPECT_TRUE(WaitUntil([&] { return GetProcessExeModule(program.Pid(), path); }));
    EXPECT_TRUE(lstrcmpiA(path.c_str(), native.c_str()) == 0) << path;
    SystemProcessProbe probe;
    std::vector<ProcessEntry> processes;
    ASSERT_TRUE(ListRunningProcesses(processes));
    const FlaggedProcess row{program.Pid(), name, path, ProcessVerdict::kRisky};
    EXPECT_EQ(std::ranges::count(FindFlaggedProcesses(processes, probe), row), 1);

    ASSERT_TRUE(WriteFileBytes(twin, "MZ"));
    EXPECT_TRUE(EndListedProcess(row) && program.WaitForExit());
    EXPECT_TRUE(DeleteProgramFile(path) && !FileExists(native) && FileExists(twin));
    DeleteFileUtf8(twin);
    DeleteFileUtf8(native);
    DeleteFileUtf8(BuildFolder() + "\\quarantine\\" + name + ".kv");
}
