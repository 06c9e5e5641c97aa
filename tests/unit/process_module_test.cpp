#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Text.h"
#include "process/ProcessModule.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

// A program of any name runs in the process shield's tests; here the rest of the roads.
TEST(ProcessModuleTest, ProgramFileIsAnExistingExeFileAndA64BitOneComesFromTheSystem) {
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

    auto exeOf = [](DWORD pid) {
        std::string path;
        return GetProcessExeModule(pid, path) ? path : "(none)";
    };
    EXPECT_EQ(exeOf(0), "(none)") << "the idle process";
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(exeOf(::GetCurrentProcessId()), WideToUtf8(self));
    const std::string program64 = stick.Path("tools\\idle64.exe");
    ASSERT_TRUE(CopyProgram(IdleProgramPath(true), program64));
    DWORD pid64 = 0;
    {
        RunningProgram run64(program64);
        pid64 = run64.Pid();
        // No module snapshot of a 64-bit process from here: the system's image path answers.
        EXPECT_TRUE(WaitUntil([&] { return exeOf(pid64) == program64; })) << exeOf(pid64);
    }
    // An ended process has no program file once the system has let it go.
    EXPECT_TRUE(WaitUntil([&] { return exeOf(pid64) == "(none)"; })) << exeOf(pid64);
}
