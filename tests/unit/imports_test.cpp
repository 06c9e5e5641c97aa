// Koravant.exe must load on Windows XP SP3: it may import no function that came later (those
// are looked up at run time), no library XP lacks, and its header must admit version 5.1. The
// libraries only a few commands need are looked up too, from the system folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <lm.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "framework/LateImport.h"
#include "tests/support/KoravantApp.h"

// "library function" per import ("library " for one by ordinal), read from the image mapped as
// the loader lays it out (RVAs are offsets from its base) without running or binding it.
static std::vector<std::string> ReadImports(const std::string& path,
                                            IMAGE_OPTIONAL_HEADER32& header) {
    HMODULE image = ::LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!image) return {};
    auto* base = reinterpret_cast<BYTE*>(reinterpret_cast<ULONG_PTR>(image) & ~ULONG_PTR(3));
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    header = nt->OptionalHeader;
    std::vector<std::string> imports;
    auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(
        base + header.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
    for (; dll->Name; ++dll) {
        std::string library = reinterpret_cast<char*>(base + dll->Name) + std::string(" ");
        ::CharLowerA(library.data());
        DWORD table = dll->OriginalFirstThunk ? dll->OriginalFirstThunk : dll->FirstThunk;
        for (auto* thunk = reinterpret_cast<DWORD*>(base + table); *thunk; ++thunk) {
            const bool byName = !(*thunk & IMAGE_ORDINAL_FLAG32);
            imports.push_back(library + (byName ? reinterpret_cast<char*>(base + *thunk + 2) : ""));
        }
    }
    ::FreeLibrary(image);
    return imports;
}

// Functions of XP's own libraries that arrived with Vista or later, which this program or its
// runtime might reach for.
const char kLaterFunctions[] =
    "GetTickCount64 QueryFullProcessImageNameA QueryFullProcessImageNameW "
    "Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection InitializeSRWLock "
    "AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive "
    "InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW "
    "WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce "
    "InitializeCriticalSectionEx FlsAlloc FlsGetValue FlsSetValue CreateSymbolicLinkW "
    "GetFinalPathNameByHandleW GetFileInformationByHandleEx CreateEventExW SetThreadErrorMode "
    "GetSystemTimePreciseAsFileTime K32GetModuleFileNameExA K32EnumProcesses GetLocaleInfoEx "
    "CompareStringEx LCMapStringEx RegDeleteKeyExA RegGetValueA RegDeleteTreeA RegDeleteTreeW "
    "RegSetKeyValueA ChangeWindowMessageFilter SetProcessDPIAware SHGetKnownFolderPath TaskDialog "
    "LoadIconMetric";
// Libraries that do not exist on XP, and those the program loads when a command first needs
// them (imported, each would be loaded with its own dependencies before the program starts).
const char* const kUnwantedLibraries[] = {"dwmapi.dll", "ucrtbase.dll", "bcrypt.dll",
                                          "ncrypt.dll", "api-ms-win-",  "wininet.dll",
                                          "ws2_32.dll", "ole32.dll",    "winmm.dll"};

TEST(ImportsTest, ImportsAndHeaderAdmitWindowsXpAndLateImportsComeFromTheSystemFolderOrFail) {
    IMAGE_OPTIONAL_HEADER32 header = {};
    const std::vector<std::string> imports = ReadImports(BuildFolder() + "\\Koravant.exe", header);
    auto imported = [&](const std::string& function) {
        return std::ranges::any_of(imports,
                                   [&](auto& entry) { return entry.ends_with(" " + function); });
    };
    // The reader sees the table at all: the main window's own calls are in it.
    ASSERT_TRUE(imported("CreateDialogParamA") && imported("RegOpenKeyExA"));
    std::istringstream later(kLaterFunctions);
    for (std::string function; later >> function;)
        EXPECT_FALSE(imported(function)) << function << " must be looked up at run time";
    for (const std::string& entry : imports)
        for (const char* library : kUnwantedLibraries)
            EXPECT_FALSE(entry.starts_with(library)) << entry;
    auto admitsXp = [](WORD major, WORD minor) { return major < 5 || (major == 5 && minor <= 1); };
    EXPECT_TRUE(admitsXp(header.MajorSubsystemVersion, header.MinorSubsystemVersion));
    EXPECT_TRUE(admitsXp(header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion));

    // A library the test has not loaded is loaded from the system folder.
    ASSERT_NE(LATE_IMPORT("netapi32.dll", NetApiBufferFree), nullptr);
    char system[MAX_PATH] = {}, netapi[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    ::GetModuleFileNameA(::GetModuleHandleA("netapi32.dll"), netapi, MAX_PATH);
    EXPECT_STRCASEEQ(netapi, (std::string(system) + "\\netapi32.dll").c_str());
    // Never one beside the program: its folder may be a USB stick.
    ASSERT_NE(::GetFileAttributesA((BuildFolder() + "\\SkinLoad.dll").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LateImportAddress("SkinLoad.dll", "InitSkinLoad"), nullptr);
    EXPECT_EQ(::GetModuleHandleA("SkinLoad.dll"), nullptr);
    EXPECT_EQ(LateImportAddress("kernel32.dll", "NoSuchFunction"), nullptr);
    EXPECT_EQ(LATE_CALL("nosuchlibrary.dll", CloseHandle, nullptr), FALSE);
}
