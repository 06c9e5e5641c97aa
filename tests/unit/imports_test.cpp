// Koravant.exe must load on Windows XP SP3: it may import no function that came later (those
// are looked up at run time), no library XP lacks, and its header must admit version 5.1. The
// libraries only a few commands need are looked up too, from the system folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <lm.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>

#include "framework/LateImport.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/PeImports.h"

namespace {
// Functions of XP's own libraries that arrived with Vista or later, which this program or its
// runtime might reach for.
const char kLaterFunctions[] =
    "GetTickCount64 QueryFullProcessImageNameA QueryFullProcessImageNameW "
    "Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection InitializeSRWLock "
    "AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive "
    "InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW "
    "WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce "
    "InitializeCriticalSectionEx FlsAlloc FlsGetValue FlsSetValue CreateSymbolicLinkW "
    "GetFinalPathNameByHandleW "
    "GetFileInformationByHandleEx CreateEventExW SetThreadErrorMode GetSystemTimePreciseAsFileTime "
    "K32GetModuleFileNameExA K32EnumProcesses GetLocaleInfoEx CompareStringEx LCMapStringEx "
    "RegDeleteKeyExA RegGetValueA RegDeleteTreeA RegDeleteTreeW RegSetKeyValueA "
    "ChangeWindowMessageFilter SetProcessDPIAware SHGetKnownFolderPath TaskDialog LoadIconMetric";
// Libraries that do not exist on XP, and those the program loads when a command first needs
// them (imported, each would be loaded with its own dependencies before the program starts).
const char* const kUnwantedLibraries[] = {"dwmapi.dll", "ucrtbase.dll", "bcrypt.dll",
                                          "ncrypt.dll", "api-ms-win-",  "wininet.dll",
                                          "ws2_32.dll", "ole32.dll",    "winmm.dll"};

std::string Lower(std::string text) {
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string ModulePath(HMODULE module) {
    char path[MAX_PATH] = {};
    return Lower(std::string(path, ::GetModuleFileNameA(module, path, MAX_PATH)));
}
}  // namespace

TEST(ImportsTest, ImportsAndHeaderAdmitWindowsXp) {
    PeImageInfo image = ReadPeImage(BuildFolder() + "\\Koravant.exe");
    ASSERT_TRUE(image.valid);
    auto imported = [&](const std::string& name) {
        return std::ranges::any_of(image.imports,
                                   [&](auto& entry) { return entry.function == name; });
    };
    // The reader sees the table at all: the main window's own calls are in it.
    ASSERT_TRUE(imported("CreateDialogParamA") && imported("RegOpenKeyExA"));
    std::istringstream later(kLaterFunctions);
    for (std::string function; later >> function;)
        EXPECT_FALSE(imported(function)) << function << " must be looked up at run time";
    for (const PeImport& entry : image.imports) {
        std::string dll = Lower(entry.dll);
        for (const char* library : kUnwantedLibraries)
            EXPECT_NE(dll.rfind(library, 0), 0u) << entry.dll << " " << entry.function;
    }
    auto admitsXp = [](WORD major, WORD minor) { return major < 5 || (major == 5 && minor <= 1); };
    EXPECT_TRUE(admitsXp(image.subsystemMajor, image.subsystemMinor));
    EXPECT_TRUE(admitsXp(image.osMajor, image.osMinor));
}

TEST(ImportsTest, LateImportsComeFromTheSystemFolderAndAMissingOneCallsAsAFailure) {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    EXPECT_EQ(LateImportAddress("kernel32.dll", "GetTickCount"),
              reinterpret_cast<void*>(::GetProcAddress(kernel, "GetTickCount")));
    // A library the test has not loaded is loaded from the system folder.
    ASSERT_NE(LATE_IMPORT("netapi32.dll", NetApiBufferFree), nullptr);
    char system[MAX_PATH] = {};
    std::string folder = Lower(std::string(system, ::GetSystemDirectoryA(system, MAX_PATH)));
    EXPECT_EQ(ModulePath(::GetModuleHandleA("netapi32.dll")).rfind(folder + "\\", 0), 0u);
    // Never one beside the program: its folder may be a USB stick.
    ASSERT_NE(::GetFileAttributesA((BuildFolder() + "\\SkinLoad.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LateImportAddress("SkinLoad.dll", "InitSkinLoad"), nullptr);
    EXPECT_EQ(::GetModuleHandleA("SkinLoad.dll"), nullptr);
    EXPECT_EQ(LateImportAddress("kernel32.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(LATE_CALL("nosuchlibrary.dll", CloseHandle, nullptr), FALSE);
}
