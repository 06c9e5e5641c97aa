#pragma once
// Drive letters that tests plug in and pull out at run time. Each drive is a fresh folder
// inside the prefix, mapped through Wine's mount manager, so its type is right at once and
// no wineserver restart is needed. Mapping and folder go away at scope end.
#include <windows.h>
#include <dbt.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Text.h"

enum class DriveKind { Removable, Fixed, CdRom, Network };

// A file or folder at the UTF-8 `path`.
inline bool PathExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The folder of `path`, "" when it names none.
inline std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The host path of an ASCII Windows path inside the prefix; empty when Wine cannot tell.
inline std::string UnixPathOf(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unixName = toUnix(std::wstring(windowsPath.begin(), windowsPath.end()).c_str());
    std::string result = unixName ? unixName : "";
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

// Runs a host command (its program a path such as "/bin/ln") from the prefix. Wine starts a
// host program outside any Windows process and fills in no handles, so callers wait for its
// effect.
inline void RunHost(std::string line) {
    std::replace(line.begin(), line.begin() + line.find(' '), '/', '\\');
    line = "\\\\?\\unix" + line;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info);
}

// Creates every missing folder of `path` (a folder path, no trailing backslash needed).
inline bool CreateFolders(const std::string& path) {
    if (path.empty() || path.back() == ':') return true;
    DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return CreateFolders(ParentOf(path)) &&
           (::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) ||
            ::GetLastError() == ERROR_ALREADY_EXISTS);
}

// Whole-file helpers for any path (a drive's, the prefix's): "" when the file cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
    ScopedHandle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content;
    char block[65536];
    for (DWORD got = 0; ::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0;)
        content.append(block, got);
    return content;
}
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    ScopedHandle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD size = static_cast<DWORD>(bytes.size()), done = 0;
    return ::WriteFile(file.get(), bytes.data(), size, &done, nullptr) && done == size;
}

// The names in a folder, "." and ".." left out.
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    ScopedFindHandle find(::FindFirstFileW(Utf8ToWide(folder + "\\*").c_str(), &entry));
    while (find) {
        if (std::wcscmp(entry.cFileName, L".") && std::wcscmp(entry.cFileName, L".."))
            names.push_back(WideToUtf8(entry.cFileName));
        if (!::FindNextFileW(find.get(), &entry)) find.reset();
    }
    return names;
}

// Deletes a folder tree (an absolute ASCII path, any depth), clearing read-only, hidden and
// system attributes first.
inline bool DeleteTree(const std::string& folder) {
    // "\\?\" paths, so trees deeper than 260 characters go too.
    std::string tree = folder.starts_with("\\\\?\\") ? folder : "\\\\?\\" + folder;
    for (const std::string& name : ListFolder(tree)) {
        std::wstring path = Utf8ToWide(tree + "\\" + name);
        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!::DeleteFileW(path.c_str())) DeleteTree(tree + "\\" + name);  // a folder refuses
    }
    ::SetFileAttributesW(Utf8ToWide(tree).c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(Utf8ToWide(tree).c_str()) != FALSE;
}

// Wine broadcasts nothing for drives defined at run time, so tests send WM_DEVICECHANGE for
// the capital `letter` themselves; false when the window did not answer within 30 s.
inline bool SendDeviceChange(HWND window, WPARAM event, char letter) {
    DEV_BROADCAST_VOLUME volume{sizeof(volume), DBT_DEVTYP_VOLUME, 0, 1ul << (letter - 'A'), 0};
    return ::SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                                 SMTO_ABORTIFHUNG, 30000, nullptr) != 0;
}
inline bool SendDriveArrival(HWND window, char letter) {
    return SendDeviceChange(window, DBT_DEVICEARRIVAL, letter);
}
inline bool SendDriveRemoval(HWND window, char letter) {
    return SendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, letter);
}

class TestDrive {
  public:
    // Maps the capital `letter` to a new empty folder; check Plugged(). Names and paths here are
    // UTF-8 and reach the system through the wide functions.
    TestDrive(char letter, DriveKind kind) : m_letter(letter), m_folder(FreshFolderName(letter)) {
        constexpr UINT kTypes[] = {DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_CDROM, DRIVE_REMOTE};
        m_driveType = kTypes[static_cast<int>(kind)];
        if (CreateFolders(m_folder)) Plug();
    }
    // A removable drive on the existing `folder`, which outlives it.
    TestDrive(char letter, const std::string& folder)
        : m_letter(letter), m_folder(folder), m_ownsFolder(false) {
        if (!folder.empty()) Plug();
    }
    ~TestDrive() {
        Remove();
        if (!m_ownsFolder) return;
        DeleteTree(m_folder);
        ::RemoveDirectoryA(kDrivesFolder);  // only when no other drive's folder is left
    }
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    // "E:\\" and the paths below it, as a program sees them while the drive is plugged in.
    std::string Root() const { return std::string(1, m_letter) + ":\\"; }
    std::string Path(const std::string& relative) const { return Root() + relative; }
    // The backing folder (a C: path with no trailing backslash), reachable after Remove().
    const std::string& Folder() const { return m_folder; }
    std::string FolderPath(const std::string& relative) const { return m_folder + "\\" + relative; }

    bool Plugged() const { return m_plugged; }
    // Maps the letter again to the same folder (a stick plugged back in).
    bool Plug() {
        if (!m_plugged) m_plugged = DefineWineDrive(m_letter, m_driveType, UnixPathOf(m_folder));
        return m_plugged;
    }
    // Unplugs: the letter disappears, the folder and its files stay.
    bool Remove() {
        if (m_plugged) m_plugged = !DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, {});
        return !m_plugged;
    }

    // These work in the backing folder, plugged or not, and create missing folders.
    bool WriteFile(const std::string& relative, const std::string& content,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        std::string path = FolderPath(relative);
        ::SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
        return CreateFolders(ParentOf(path)) && WriteFileBytes(path, content) &&
               ::SetFileAttributesW(Utf8ToWide(path).c_str(), attributes);
    }
    bool MakeFolder(const std::string& relative, DWORD attributes = 0) {
        std::wstring path = Utf8ToWide(FolderPath(relative));
        return CreateFolders(FolderPath(relative)) &&
               (!attributes || ::SetFileAttributesW(path.c_str(), attributes));
    }
    bool Exists(const std::string& relative) const { return PathExists(FolderPath(relative)); }

  private:
    static constexpr char kDrivesFolder[] = "C:\\koravant\\drives";

    static std::string FreshFolderName(char letter) {
        static std::atomic<unsigned> counter{0};
        return std::string(kDrivesFolder) + "\\" + letter + "-" +
               std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) +
               "-" + std::to_string(counter++);
    }

    // Defines or removes a drive letter through Wine's own extension of the mount manager:
    // `unixPath` is the folder's path on the host (not empty); DRIVE_NO_ROOT_DIR removes it.
    static bool DefineWineDrive(char letter, UINT driveType, const std::string& unixPath) {
        struct MountMgrUnixDrive {
            ULONG size, type, fsType;
            DWORD serial;
            ULONGLONG unixDev;
            WCHAR letter;
            USHORT mountPointOffset, deviceOffset, labelOffset;
        };
        static_assert(sizeof(MountMgrUnixDrive) == 32, "layout shared with Wine's mount manager");
        constexpr DWORD kDefineUnixDrive =
            CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
        if (unixPath.empty() && driveType != DRIVE_NO_ROOT_DIR) return false;
        // The record, then the host path and its terminator.
        MountMgrUnixDrive header{};
        header.size = static_cast<ULONG>(sizeof(header) + unixPath.size() + 1);
        header.type = driveType;
        header.letter = static_cast<WCHAR>(letter);
        header.mountPointOffset = driveType == DRIVE_NO_ROOT_DIR ? 0 : sizeof(header);
        std::string input =
            std::string(reinterpret_cast<const char*>(&header), sizeof(header)) + unixPath;
        ScopedHandle manager(::CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
        DWORD returned = 0;
        return manager && ::DeviceIoControl(manager.get(), kDefineUnixDrive, input.data(),
                                            header.size, nullptr, 0, &returned, nullptr);
    }

    char m_letter;
    UINT m_driveType = DRIVE_REMOVABLE;
    std::string m_folder;
    bool m_ownsFolder = true;
    bool m_plugged = false;
};
