#include "process/SystemFiles.h"

#include <windows.h>

#include "framework/LateImport.h"
#include "framework/Paths.h"
#include "framework/Text.h"

namespace {
constexpr DWORD kVersionBufferSize = 512;

bool SearchFolder(const std::wstring& folder, const std::wstring& name, std::wstring& found) {
    wchar_t buffer[kPathBufferSize];
    DWORD length =
        ::SearchPathW(folder.c_str(), name.c_str(), nullptr, kPathBufferSize, buffer, nullptr);
    // 0: not there; the buffer's size or more: the length a longer path would need.
    if (length == 0 || length >= kPathBufferSize) return false;
    DWORD attributes = ::GetFileAttributesW(buffer);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    found.assign(buffer, length);
    return true;
}

// A bare file name: anything with a folder part would search outside the Windows folders.
bool IsBareName(const std::wstring& name) {
    return !name.empty() && name.find_first_of(L"\\/:") == std::wstring::npos && name != L"." &&
           name != L"..";
}
}  // namespace

std::wstring NativeSystemFolder() {
    static const std::wstring folder = [] {
        auto isWow64 = LATE_IMPORT("kernel32.dll", IsWow64Process);
        BOOL wow64 = FALSE;
        wchar_t windows[kPathBufferSize];
        UINT length = ::GetWindowsDirectoryW(windows, kPathBufferSize);
        if (!isWow64 || !isWow64(::GetCurrentProcess(), &wow64) || !wow64 || length == 0 ||
            length >= kPathBufferSize)
            return std::wstring();
        std::wstring native = std::wstring(windows, length) + L"\\Sysnative";
        DWORD attributes = ::GetFileAttributesW(native.c_str());
        bool isFolder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        return isFolder ? native : std::wstring();
    }();
    return folder;
}

bool FindInSystemFolders(const std::string& name, std::string& path) {
    std::wstring wideName = Utf8ToWide(name);
    if (!IsBareName(wideName)) return false;
    wchar_t windows[kPathBufferSize];
    UINT length = ::GetWindowsDirectoryW(windows, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize) return false;
    const std::wstring base(windows, length);
    for (const std::wstring& folder :
         {base, base + L"\\system", base + L"\\system32", NativeSystemFolder()}) {
        std::wstring found;
        if (!folder.empty() && SearchFolder(folder, wideName, found)) {
            path = WideToUtf8(found);
            return true;
        }
    }
    return false;
}

bool IsSystemFileName(const std::string& name) {
    std::string ignored;
    return FindInSystemFolders(name, ignored);
}

bool HasVersionInfo(const std::string& path) {
    if (path.empty()) return false;
    BYTE buffer[kVersionBufferSize];
    return ::GetFileVersionInfoW(Utf8ToWide(path).c_str(), 0, sizeof(buffer), buffer) != FALSE;
}
