// Koravant.exe must load on Windows XP SP3: it may import no function that came later (those
// are looked up at run time), no library XP lacks, and its header must admit version 5.1.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "tests/support/KoravantApp.h"
#include "tests/support/PeImports.h"

namespace {
// Functions of XP's own libraries that arrived with Vista or later (or only with the 64-bit
// editions of XP), which this program or its runtime might reach for.
const char* const kLaterFunctions[] = {
    "GetTickCount64",
    "QueryFullProcessImageNameA",
    "QueryFullProcessImageNameW",
    "Wow64DisableWow64FsRedirection",
    "Wow64RevertWow64FsRedirection",
    "Wow64EnableWow64FsRedirection",
    "IsWow64Process2",
    "InitializeSRWLock",
    "AcquireSRWLockExclusive",
    "AcquireSRWLockShared",
    "ReleaseSRWLockExclusive",
    "ReleaseSRWLockShared",
    "TryAcquireSRWLockExclusive",
    "TryAcquireSRWLockShared",
    "InitializeConditionVariable",
    "SleepConditionVariableCS",
    "SleepConditionVariableSRW",
    "WakeConditionVariable",
    "WakeAllConditionVariable",
    "InitOnceExecuteOnce",
    "InitOnceBeginInitialize",
    "InitOnceComplete",
    "InitializeCriticalSectionEx",
    "FlsAlloc",
    "FlsFree",
    "FlsGetValue",
    "FlsSetValue",
    "CreateSymbolicLinkA",
    "CreateSymbolicLinkW",
    "GetFinalPathNameByHandleA",
    "GetFinalPathNameByHandleW",
    "GetFileInformationByHandleEx",
    "SetFileInformationByHandle",
    "CreateEventExA",
    "CreateEventExW",
    "CreateMutexExA",
    "CreateMutexExW",
    "CreateSemaphoreExA",
    "CreateSemaphoreExW",
    "CancelIoEx",
    "GetErrorMode",
    "SetThreadErrorMode",
    "GetSystemTimePreciseAsFileTime",
    "QueryUnbiasedInterruptTime",
    "GetCurrentProcessorNumber",
    "K32GetModuleFileNameExA",
    "K32GetModuleBaseNameA",
    "K32EnumProcesses",
    "K32EnumProcessModules",
    "GetLocaleInfoEx",
    "CompareStringEx",
    "LCMapStringEx",
    "GetUserDefaultLocaleName",
    "RegisterApplicationRestart",
    "RegDeleteKeyExA",
    "RegDeleteKeyExW",
    "RegGetValueA",
    "RegGetValueW",
    "RegDeleteTreeA",
    "RegDeleteTreeW",
    "RegSetKeyValueA",
    "RegSetKeyValueW",
    "RegDeleteKeyValueA",
    "RegDeleteKeyValueW",
    "RegCopyTreeA",
    "RegCopyTreeW",
    "RegLoadMUIStringA",
    "RegLoadMUIStringW",
    "ChangeWindowMessageFilter",
    "ChangeWindowMessageFilterEx",
    "SetProcessDPIAware",
    "IsProcessDPIAware",
    "ShutdownBlockReasonCreate",
    "AddClipboardFormatListener",
    "SHGetKnownFolderPath",
    "SHCreateItemFromParsingName",
    "SHGetStockIconInfo",
    "TaskDialog",
    "TaskDialogIndirect",
    "LoadIconMetric",
    "LoadIconWithScaleDown",
    "BeginBufferedPaint",
    "EndBufferedPaint",
};
// Libraries that do not exist on XP.
const char* const kLaterLibraries[] = {"dwmapi.dll", "ucrtbase.dll", "bcrypt.dll", "ncrypt.dll",
                                       "api-ms-win-"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

class ImportsTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { image = ReadPeImage(BuildFolder() + "\\Koravant.exe"); }
    static PeImageInfo image;
};
PeImageInfo ImportsTest::image;
}  // namespace

TEST_F(ImportsTest, ImportsNothingLaterThanWindowsXp) {
    ASSERT_TRUE(image.valid);
    // The reader sees the table at all: the main window's own calls are in it.
    auto imported = [&](const std::string& name) {
        return std::any_of(image.imports.begin(), image.imports.end(),
                           [&](const PeImport& entry) { return entry.function == name; });
    };
    ASSERT_TRUE(imported("CreateDialogParamA") && imported("RegOpenKeyExA"));
    for (const char* function : kLaterFunctions)
        EXPECT_FALSE(imported(function)) << function << " must be looked up at run time";
    for (const PeImport& entry : image.imports)
        for (const char* library : kLaterLibraries)
            EXPECT_NE(Lower(entry.dll).rfind(library, 0), 0u) << entry.dll << " " << entry.function;
}

TEST_F(ImportsTest, HeaderAdmitsWindowsXp) {
    ASSERT_TRUE(image.valid);
    auto admitsXp = [](WORD major, WORD minor) { return major < 5 || (major == 5 && minor <= 1); };
    EXPECT_TRUE(admitsXp(image.subsystemMajor, image.subsystemMinor))
        << image.subsystemMajor << "." << image.subsystemMinor;
    EXPECT_TRUE(admitsXp(image.osMajor, image.osMinor)) << image.osMajor << "." << image.osMinor;
}
