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
