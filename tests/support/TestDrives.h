#pragma once
// Drive letters that tests plug in and pull out at run time. Each drive is a fresh folder
// inside the prefix, mapped through Wine's mount manager, so its type is right at once and
// no wineserver restart is needed. Mapping and folder go away at scope end.
#include <windows.h>
#include <dbt.h>
#include <winioctl.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Text.h"

enum class DriveKind { Removable, Fixed, CdRom, Network };

// A file or folder at the UTF-8 `path`.
inline bool PathExists(const std::string& path) { return FileExists(path); }

// The host path of a Windows path inside the prefix; empty when Wine cannot tell.
inline std::string UnixPathOf(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* unixName = toUnix ? toUnix(Utf8ToWide(windowsPath).c_str()) : nullptr;
    std::string result = unixName ? unixName : "";
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

// Runs a host command (its program a path such as "/bin/ln") from the prefix. Wine starts a
// host program outside any Windows process and fills in no handles, so callers wait for its
// effect.
inline void RunHost(std::string line) {
    std::replace(line.begin(), line.begin() + line.find(' '), '/', '\\');
    StartProgramUtf8("\\\\?\\unix" + line);
}

// Creates every missing folder of `path` (a folder path, no trailing backslash needed).
inline bool CreateFolders(const std::string& path) {
    if (path.empty() || path.back() == ':') return true;
    DWORD attributes = FileAttributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t slash = path.find_last_of('\\');
    return CreateFolders(slash == std::string::npos ? "" : path.substr(0, slash)) &&
           (CreateDirectoryUtf8(path) || ::GetLastError() == ERROR_ALREADY_EXISTS);
}

// Whole-file helpers for any path (a drive's, the prefix's): "" when the file cannot be read.
inline std::string ReadFileBytes(const std::string& path) {
    ScopedHandle file(CreateFileUtf8(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    std::string content;
    char block[65536];
    for (DWORD got = 0; ::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0;)
        content.append(block, got);
    return content;
}
inline bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    ScopedHandle file(CreateFileUtf8(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
    DWORD size = static_cast<DWORD>(bytes.size()), done = 0;
    return ::WriteFile(file.get(), bytes.data(), size, &done, nullptr) && done == size;
}

// The names in a folder, "." and ".." left out.
inline std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (FileFinder find(folder + "\\*"); find.Found(); find.Next())
        if (!find.IsDotEntry()) names.push_back(find.Name());
    return names;
}

// Deletes a folder tree (an absolute path, any depth), clearing read-only, hidden and system
// attributes first.
inline bool DeleteTree(const std::string& folder) {
    // "\\?\" paths, so trees deeper than 260 characters go too.
    std::string tree = folder.starts_with("\\\\?\\") ? folder : "\\\\?\\" + folder;
    for (const std::string& name : ListFolder(tree)) {
        SetFileAttributesUtf8(tree + "\\" + name, FILE_ATTRIBUTE_NORMAL);
        // A folder refuses.
        if (!DeleteFileUtf8(tree + "\\" + name)) DeleteTree(tree + "\\" + name);
    }
    SetFileAttributesUtf8(tree, FILE_ATTRIBUTE_NORMAL);
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
        // The drives' folder goes only when no other drive's folder is left.
        if (m_ownsFolder && DeleteTree(m_folder)) ::RemoveDirectoryA(kDrivesFolder);
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
        SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
        return CreateFolders(path.substr(0, path.find_last_of('\\'))) &&
               WriteFileBytes(path, content) && SetFileAttributesUtf8(path, attributes);
    }
    bool MakeFolder(const std::string& relative, DWORD attributes = 0) {
        return CreateFolders(FolderPath(relative)) &&
               (!attributes || SetFileAttributesUtf8(FolderPath(relative), attributes));
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
            ULONG size = 0, type = 0, fsType = 0;
            DWORD serial = 0;
            ULONGLONG unixDev = 0;
            WCHAR letter = 0;
            USHORT mountPointOffset = 0, deviceOffset = 0, labelOffset = 0;
        };
        static_assert(sizeof(MountMgrUnixDrive) == 32, "layout shared with Wine's mount manager");
        bool remove = driveType == DRIVE_NO_ROOT_DIR;
        if (unixPath.empty() && !remove) return false;
        // The record, then the host path and its terminator.
        MountMgrUnixDrive header{.size = ULONG(sizeof(header) + unixPath.size() + 1),
                                 .type = driveType,
                                 .letter = WCHAR(letter),
                                 .mountPointOffset = USHORT(remove ? 0 : sizeof(header))};
        std::string input =
            std::string(reinterpret_cast<char*>(&header), sizeof(header)) + unixPath;
        ScopedHandle manager(::CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
        constexpr DWORD kDefineUnixDrive =
            CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
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
