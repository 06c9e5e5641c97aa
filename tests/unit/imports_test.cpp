// Koravant.exe must load on Windows XP SP3: it may import no function that came later (those
// are looked up at run time), no library XP lacks, and its header must admit version 5.1. The
// libraries only a few commands need are looked up too, from the system folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <lm.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "framework/LateImport.h"
#include "tests/support/KoravantApp.h"

namespace {
using Bytes = std::vector<unsigned char>;

struct PeImport {
    std::string dll;       // as written in the file, e.g. "KERNEL32.dll"
    std::string function;  // empty for an import by ordinal
};

// What an executable (PE32 or PE32+) asks of the loader.
struct PeImageInfo {
    bool valid = false;
    WORD subsystemMajor = 0, subsystemMinor = 0;
    WORD osMajor = 0, osMinor = 0;
    std::vector<PeImport> imports;
};

template <typename T>
bool ReadAt(const Bytes& file, size_t offset, T& value) {
    if (offset > file.size() || file.size() - offset < sizeof(T)) return false;
    memcpy(&value, file.data() + offset, sizeof(T));
    return true;
}

// The file offset of `rva` through the section that holds it; 0 when none does.
size_t FileOffset(const std::vector<IMAGE_SECTION_HEADER>& sections, DWORD rva) {
    for (const IMAGE_SECTION_HEADER& section : sections) {
        DWORD size = std::max(section.Misc.VirtualSize, section.SizeOfRawData);
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + size)
            return rva - section.VirtualAddress + section.PointerToRawData;
    }
    return 0;
}

std::string StringAt(const Bytes& file, size_t offset) {
    std::string text;
    while (offset < file.size() && file[offset] && text.size() < 512) text += char(file[offset++]);
    return text;
}

// Walks one DLL's lookup table of 32- or 64-bit entries.
template <typename Thunk>
void ReadThunks(const Bytes& file, const std::vector<IMAGE_SECTION_HEADER>& sections, size_t offset,
                const std::string& dll, std::vector<PeImport>& imports) {
    const Thunk ordinalFlag = Thunk(1) << (sizeof(Thunk) * 8 - 1);
    for (Thunk thunk = 0; offset && ReadAt(file, offset, thunk) && thunk; offset += sizeof(Thunk)) {
        size_t name = (thunk & ordinalFlag) ? 0 : FileOffset(sections, DWORD(thunk));
        imports.push_back({dll, name ? StringAt(file, name + 2) : std::string()});
    }
}

PeImageInfo ReadPeImage(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    PeImageInfo info;
    IMAGE_DOS_HEADER dos;
    IMAGE_NT_HEADERS32 nt;  // the fields read below sit at the same place in PE32+
    if (!ReadAt(file, 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE ||
        !ReadAt(file, dos.e_lfanew, nt) || nt.Signature != IMAGE_NT_SIGNATURE)
        return info;
    bool wide = nt.OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    IMAGE_NT_HEADERS64 nt64 = {};
    if (wide && !ReadAt(file, dos.e_lfanew, nt64)) return info;
    info.subsystemMajor = nt.OptionalHeader.MajorSubsystemVersion;
    info.subsystemMinor = nt.OptionalHeader.MinorSubsystemVersion;
    info.osMajor = nt.OptionalHeader.MajorOperatingSystemVersion;
    info.osMinor = nt.OptionalHeader.MinorOperatingSystemVersion;
    IMAGE_DATA_DIRECTORY directory =
        wide ? nt64.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT]
             : nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    size_t sectionTable = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) +
                          nt.FileHeader.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> sections(nt.FileHeader.NumberOfSections);
    for (size_t i = 0; i < sections.size(); ++i)
        if (!ReadAt(file, sectionTable + i * sizeof(IMAGE_SECTION_HEADER), sections[i]))
            return info;
    size_t offset = FileOffset(sections, directory.VirtualAddress);
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    for (; offset && ReadAt(file, offset, descriptor) && descriptor.Name;
         offset += sizeof(descriptor)) {
        std::string dll = StringAt(file, FileOffset(sections, descriptor.Name));
        DWORD table =
            descriptor.OriginalFirstThunk ? descriptor.OriginalFirstThunk : descriptor.FirstThunk;
        if (wide)
            ReadThunks<ULONGLONG>(file, sections, FileOffset(sections, table), dll, info.imports);
        else
            ReadThunks<DWORD>(file, sections, FileOffset(sections, table), dll, info.imports);
    }
    info.valid = true;
    return info;
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
