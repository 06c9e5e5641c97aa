#include "framework/FileSystem.h"

#include <shlobj.h>

#include <atomic>

#include "framework/LateImport.h"
#include "framework/Paths.h"
#include "framework/Text.h"

namespace {

bool IsWindows9x() { return (::GetVersion() & 0x80000000) != 0; }

std::atomic<bool> g_ansi{IsWindows9x()};

bool UseAnsi() { return g_ansi.load(std::memory_order_relaxed); }

// On 95/98/Me a name the code page cannot spell cannot reach the system at all.
bool ToAnsi(const std::string& path, std::string& ansi) {
    bool exact = false;
    ansi = Utf8ToAnsi(path, &exact);
    return exact;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void UseAnsiFileFunctionsForTesting(bool ansi) { g_ansi = ansi; }

size_t PathLength(const std::string& path) {
    size_t units = 0;
    for (unsigned char byte : path) {
        if ((byte & 0xC0) != 0x80) ++units;  // a lead byte starts a character
        if (byte >= 0xF0) ++units;           // four bytes: a surrogate pair
    }
    return units;
}

bool FitsPathLimit(const std::string& path) {
    return !path.empty() && PathLength(path) <= kMaxPathLength;
}

DWORD FileAttributes(const std::string& path) {
    if (!UseAnsi()) return ::GetFileAttributesW(Utf8ToWide(path).c_str());
    std::string ansi;
    return ToAnsi(path, ansi) ? ::GetFileAttributesA(ansi.c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool FileExists(const std::string& path) { return FileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

bool SetFileAttributesUtf8(const std::string& path, DWORD attributes) {
    if (!UseAnsi()) return ::SetFileAttributesW(Utf8ToWide(path).c_str(), attributes) != FALSE;
    std::string ansi;
    return ToAnsi(path, ansi) && ::SetFileAttributesA(ansi.c_str(), attributes);
}

bool DeleteFileUtf8(const std::string& path) {
    if (!UseAnsi()) return ::DeleteFileW(Utf8ToWide(path).c_str()) != FALSE;
    std::string ansi;
    return ToAnsi(path, ansi) && ::DeleteFileA(ansi.c_str());
}

bool CreateDirectoryUtf8(const std::string& path) {
    if (!UseAnsi()) return ::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) != FALSE;
    std::string ansi;
    return ToAnsi(path, ansi) && ::CreateDirectoryA(ansi.c_str(), nullptr);
}

HANDLE CreateFileUtf8(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    if (!UseAnsi())
        return ::CreateFileW(Utf8ToWide(path).c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string ansi;
    if (!ToAnsi(path, ansi)) return INVALID_HANDLE_VALUE;
    return ::CreateFileA(ansi.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

bool MoveFileReplacingUtf8(const std::string& from, const std::string& to) {
    if (!UseAnsi())
        return ::MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                             MOVEFILE_REPLACE_EXISTING) != FALSE;
    // 95/98/Me have no MoveFileEx.
    std::string ansiFrom, ansiTo;
    if (!ToAnsi(from, ansiFrom) || !ToAnsi(to, ansiTo)) return false;
    ::DeleteFileA(ansiTo.c_str());
    return ::MoveFileA(ansiFrom.c_str(), ansiTo.c_str()) != FALSE;
}

std::string CreateTempFileUtf8(const std::string& folder, const char* prefix) {
    // The system appends a name of up to 14 characters.
    if (folder.empty() || PathLength(folder) > MAX_PATH - 14) return {};
    if (UseAnsi()) {
        std::string ansi;
        char path[MAX_PATH] = {};
        if (!ToAnsi(folder, ansi) || !::GetTempFileNameA(ansi.c_str(), prefix, 0, path)) return {};
        return AnsiToUtf8(path);
    }
    wchar_t path[MAX_PATH] = {};
    std::wstring widePrefix = Utf8ToWide(prefix);
    if (!::GetTempFileNameW(Utf8ToWide(folder).c_str(), widePrefix.c_str(), 0, path)) return {};
    return WideToUtf8(path);
}

std::string ReadProfileStringUtf8(const std::string& iniPath, const char* section, const char* key,
                                  const std::string& fallback, DWORD capacity) {
    if (UseAnsi()) {
        std::string ansi, value(capacity, '\0');
        if (!ToAnsi(iniPath, ansi)) return fallback;
        value.resize(::GetPrivateProfileStringA(section, key, fallback.c_str(), value.data(),
                                                capacity, ansi.c_str()));
        return value;
    }
    std::wstring value(capacity, L'\0');
    std::wstring wideSection = Utf8ToWide(section), wideKey = Utf8ToWide(key);
    std::wstring wideFallback = Utf8ToWide(AnsiToUtf8(fallback)), widePath = Utf8ToWide(iniPath);
    value.resize(::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(),
                                            wideFallback.c_str(), value.data(), capacity,
                                            widePath.c_str()));
    return Utf8ToAnsi(WideToUtf8(value));
}

HMODULE LoadLibraryUtf8(const std::string& path) {
    if (!UseAnsi()) return ::LoadLibraryW(Utf8ToWide(path).c_str());
    std::string ansi;
    return ToAnsi(path, ansi) ? ::LoadLibraryA(ansi.c_str()) : nullptr;
}

bool StartProgramUtf8(const std::string& commandLine) {
    PROCESS_INFORMATION process = {};
    if (UseAnsi()) {
        std::string ansi;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        if (!ToAnsi(commandLine, ansi) ||
            !::CreateProcessA(nullptr, ansi.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process))
            return false;
    } else {
        std::wstring wide = Utf8ToWide(commandLine);  // CreateProcessW may write to it
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!::CreateProcessW(nullptr, wide.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                              &startup, &process))
            return false;
    }
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool OpenDocumentUtf8(HWND owner, const std::string& path) {
    HINSTANCE result = nullptr;
    if (UseAnsi()) {
        std::string ansi;
        if (ToAnsi(path, ansi))
            result = LATE_CALL("shell32.dll", ShellExecuteA, owner, "open", ansi.c_str(), nullptr,
                               nullptr, SW_SHOW);
    } else {
        result = LATE_CALL("shell32.dll", ShellExecuteW, owner, L"open", Utf8ToWide(path).c_str(),
                           nullptr, nullptr, SW_SHOW);
    }
    return reinterpret_cast<INT_PTR>(result) > 32;  // 32 and below are errors
}

std::string ModuleDirectoryUtf8() {
    std::string path;
    if (UseAnsi()) {
        char ansi[MAX_PATH + 1] = {};
        DWORD length = ::GetModuleFileNameA(nullptr, ansi, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return {};
        path = AnsiToUtf8(std::string(ansi, length));
    } else {
        wchar_t wide[MAX_PATH + 1] = {};
        DWORD length = ::GetModuleFileNameW(nullptr, wide, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return {};
        path = WideToUtf8(std::wstring(wide, length));
    }
    std::string folder = FolderOf(path);
    return PathLength(folder) <= kMaxPathLength ? folder : std::string();
}

std::string DesktopDirectoryUtf8() {
    if (UseAnsi()) {
        char ansi[MAX_PATH] = {};
        if (!LATE_CALL("shell32.dll", SHGetSpecialFolderPathA, nullptr, ansi,
                       CSIDL_DESKTOPDIRECTORY, FALSE))
            return {};
        return AnsiToUtf8(ansi);
    }
    // Looked up, not imported: a shell32 without it must not keep the program from starting.
    auto getFolderPath = LATE_IMPORT("shell32.dll", SHGetSpecialFolderPathW);
    wchar_t wide[MAX_PATH] = {};
    if (!getFolderPath || !getFolderPath(nullptr, wide, CSIDL_DESKTOPDIRECTORY, FALSE)) return {};
    return WideToUtf8(wide);
}

FileFinder::FileFinder(const std::string& pattern) {
    if (UseAnsi()) {
        std::string ansi;
        WIN32_FIND_DATAA entry;
        if (ToAnsi(pattern, ansi)) m_handle = ::FindFirstFileA(ansi.c_str(), &entry);
        if (m_handle != INVALID_HANDLE_VALUE) Take(entry);
        return;
    }
    WIN32_FIND_DATAW entry;
    m_handle = ::FindFirstFileW(Utf8ToWide(pattern).c_str(), &entry);
    if (m_handle != INVALID_HANDLE_VALUE) Take(entry);
}

FileFinder::~FileFinder() {
    if (m_handle != INVALID_HANDLE_VALUE) ::FindClose(m_handle);
}

void FileFinder::Next() {
    m_found = false;
    if (m_handle == INVALID_HANDLE_VALUE) return;
    if (UseAnsi()) {
        WIN32_FIND_DATAA entry;
        if (::FindNextFileA(m_handle, &entry)) Take(entry);
        return;
    }
    WIN32_FIND_DATAW entry;
    if (::FindNextFileW(m_handle, &entry)) Take(entry);
}

void FileFinder::Take(const WIN32_FIND_DATAW& entry) {
    m_found = true;
    m_name = WideToUtf8(entry.cFileName);
    m_attributes = entry.dwFileAttributes;
}

void FileFinder::Take(const WIN32_FIND_DATAA& entry) {
    m_found = true;
    m_name = AnsiToUtf8(entry.cFileName);
    m_attributes = entry.dwFileAttributes;
}
