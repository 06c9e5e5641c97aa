#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Text.h"
#include "process/ProcessModule.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
// A name the ANSI code page cannot spell.
const std::string kPhotoExe = "\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.exe";

std::string ExeOf(DWORD pid) {
    std::string path;
    return GetProcessExeModule(pid, path) ? path : "(none)";
}
}  // namespace

TEST(ProcessModuleTest, ProgramFileIsAnExistingExeFileInAnyCase) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged());
    ASSERT_TRUE(stick.WriteFile("a.exe", "") && stick.WriteFile("B.EXE", "") &&
                stick.WriteFile("h.Exe", "", FILE_ATTRIBUTE_HIDDEN) &&
                stick.WriteFile("x.dll", "") && stick.WriteFile("x.exe.txt", "") &&
                stick.MakeFolder("dir.exe"));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), stick.Path(kPhotoExe)));
    struct Case {
        std::string path;
        bool program;
    } cases[] = {
        {stick.Path("a.exe"), true},
        {stick.Path("B.EXE"), true},
        {stick.Path("h.Exe"), true},
        {stick.Path(kPhotoExe), true},
        {stick.Path("x.dll"), false},
        {stick.Path("x.exe.txt"), false},
        {stick.Path("dir.exe"), false},
        {stick.Path("gone.exe"), false},
        {".exe", false},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsProgramFile(c.path), c.program) << c.path;
}

TEST(ProcessModuleTest, ProgramFilesOfThisProcessA32BitAndA64BitProgramAsUtf8) {
    EXPECT_EQ(ExeOf(0), "(none)") << "the idle process";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(ExeOf(::GetCurrentProcessId()), WideToUtf8(self));

    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged());
    std::string program32 = stick.Path("tools\\" + kPhotoExe);
    std::string program64 = stick.Path("tools\\idle64.exe");
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), program32));
    ASSERT_TRUE(CopyProgram(IdleProgramPath(true), program64));
    DWORD pid32 = 0, pid64 = 0;
    {
        RunningProgram run32(program32), run64(program64);
        ASSERT_TRUE(run32.Running() && run64.Running());
        pid32 = run32.Pid();
        pid64 = run64.Pid();
        // The module list exists once the loader has mapped the program.
        EXPECT_TRUE(WaitUntil([&] { return ExeOf(pid32) == program32; })) << ExeOf(pid32);
        // No module snapshot of a 64-bit process from here: the system's image path answers.
        EXPECT_TRUE(WaitUntil([&] { return ExeOf(pid64) == program64; })) << ExeOf(pid64);
    }
    // An ended process has no program file once the system has let it go.
    EXPECT_TRUE(WaitUntil([&] { return ExeOf(pid32) == "(none)"; })) << ExeOf(pid32);
    EXPECT_TRUE(WaitUntil([&] { return ExeOf(pid64) == "(none)"; })) << ExeOf(pid64);
}
