#include "process/ProcessModule.h"

#include <tlhelp32.h>

#include "framework/Handles.h"
#include "framework/LateImport.h"
#include "framework/Snapshot.h"
#include "framework/Text.h"
#include "process/SystemFiles.h"
#include "usb/DriveList.h"

namespace {

constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
constexpr DWORD kImagePathChars = 32768;

bool EndsWithExe(const std::string& path) {
    if (path.size() < 4) return false;
    return lstrcmpiA(path.c_str() + path.size() - 4, ".exe") == 0;
}

// The 95/98/Me family stubs the wide functions: there everything goes through the A ones.
bool IsOldFamily() { return GetOsFamily() == 2; }

// The first module that is a program file; the wide walk or, where it is stubbed, the ANSI one.
bool FromSnapshot(HANDLE snapshot, std::string& path) {
    bool found = false;
    auto take = [&](const std::string& candidate) {
        found = IsProgramFile(candidate);
        if (found) path = candidate;
        return !found;
    };
    if (IsOldFamily())
        ForEachSnapshotEntry<MODULEENTRY32>(
            snapshot, ::Module32First, ::Module32Next,
            [&](const auto& e) { return take(AnsiToUtf8(e.szExePath)); });
    else
        ForEachSnapshotEntry<MODULEENTRY32W>(
            snapshot, ::Module32FirstW, ::Module32NextW,
            [&](const auto& e) { return take(WideToUtf8(e.szExePath)); });
    return found;
}

// The image path is the system's own: for a 64-bit program of the system folder it names
// "system32", which this 32-bit program reads as the 32-bit folder (SysWOW64), a twin or
// nothing.
std::wstring ReachablePath(const std::wstring& imagePath) {
    static const std::wstring system = [] {
        wchar_t folder[MAX_PATH];
        UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(folder, length);
    }();
    const size_t length = system.size();
    std::wstring native = NativeSystemFolder();
    if (native.empty() || system.empty() || imagePath.size() <= length ||
        imagePath[length] != L'\\' ||
        ::lstrcmpiW(imagePath.substr(0, length).c_str(), system.c_str()) != 0)
        return imagePath;
    return native + imagePath.substr(length);
}

// Windows before Vista lacks QueryFullProcessImageNameW: looked up at run time.
bool FromImageName(DWORD processId, std::string& path) {
    auto query = LATE_IMPORT("kernel32.dll", QueryFullProcessImageNameW);
    if (!query) return false;
    ScopedHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) return false;
    std::wstring buffer(kImagePathChars, L'\0');
    DWORD length = kImagePathChars;
    if (!query(process.get(), 0, buffer.data(), &length)) return false;
    buffer.resize(length);
    std::string candidate = WideToUtf8(ReachablePath(buffer));
    if (!IsProgramFile(candidate)) return false;
    path = candidate;
    return true;
}

}  // namespace

bool IsProgramFile(const std::string& path) {
    if (!EndsWithExe(path)) return false;
    DWORD attributes = IsOldFamily() ? ::GetFileAttributesA(Utf8ToAnsi(path).c_str())
                                     : ::GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool GetProcessExeModule(DWORD processId, std::string& path) {
    if (processId == 0) return false;  // the idle process; 0 would also mean this process
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    // The 95/98/Me family has no image-name query; the look-up finds none there.
    if (!snapshot) return FromImageName(processId, path);
    return FromSnapshot(snapshot.get(), path);
}
