#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Text.h"
#include "process/ProcessModule.h"
#include "tests/support/TestDrives.h"

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
