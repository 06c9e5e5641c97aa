// Koravant.exe must load on Windows XP SP3: it may import no function that came later (those
// are looked up at run time), no library XP lacks, and its header must admit version 5.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>
#include <string>

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
// Libraries that do not exist on XP.
const char* const kLaterLibraries[] = {"dwmapi.dll", "ucrtbase.dll", "bcrypt.dll", "ncrypt.dll",
                                       "api-ms-win-"};
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
        std::string dll = entry.dll;
        std::ranges::transform(dll, dll.begin(), [](unsigned char c) { return std::tolower(c); });
        for (const char* library : kLaterLibraries)
            EXPECT_NE(dll.rfind(library, 0), 0u) << entry.dll << " " << entry.function;
    }
    auto admitsXp = [](WORD major, WORD minor) { return major < 5 || (major == 5 && minor <= 1); };
    EXPECT_TRUE(admitsXp(image.subsystemMajor, image.subsystemMinor));
    EXPECT_TRUE(admitsXp(image.osMajor, image.osMinor));
}
