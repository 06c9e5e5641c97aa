#include "tests/support/TestDrives.h"

#include <dbt.h>
#include <winioctl.h>

#include <atomic>
#include <cwchar>

#include "framework/Handles.h"

namespace {
constexpr char kDrivesFolder[] = "C:\\koravant\\drives";
constexpr UINT kDriveTypes[] = {DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_CDROM, DRIVE_REMOTE};

// Wine's own extension of the mount manager: a drive letter defined from a host folder.
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct MountMgrUnixDrive {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
};
static_assert(sizeof(MountMgrUnixDrive) == 32, "layout shared with Wine's mount manager");

std::string FreshFolderName(char letter) {
    static std::atomic<unsigned> counter{0};
    return std::string(kDrivesFolder) + "\\" + letter + "-" +
           std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) + "-" +
           std::to_string(counter++);
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Defines or removes a drive letter through the mount manager: `unixPath` is the folder's
// path on the host (not empty); DRIVE_NO_ROOT_DIR removes the letter.
bool DefineWineDrive(char letter, UINT driveType, const std::string& unixPath) {
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
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    DWORD returned = 0;
    return manager && ::DeviceIoControl(manager.get(), kDefineUnixDrive, input.data(), header.size,
                                        nullptr, 0, &returned, nullptr);
}
}  // namespace

std::string UnixPathOf(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unixName = toUnix(std::wstring(windowsPath.begin(), windowsPath.end()).c_str());
    std::string result = unixName ? unixName : "";
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

bool CreateFolders(const std::string& path) {
    if (path.empty() || path.back() == ':') return true;
    DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return CreateFolders(ParentOf(path)) &&
           (::CreateDirectoryW(Utf8ToWide(path).c_str(), nullptr) ||
            ::GetLastError() == ERROR_ALREADY_EXISTS);
}

bool DeleteTree(const std::string& folder) {
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

TestDrive::TestDrive(char letter, DriveKind kind)
    : m_letter(letter),
      m_driveType(kDriveTypes[static_cast<int>(kind)]),
      m_folder(FreshFolderName(letter)) {
    if (CreateFolders(m_folder)) Plug();
}

TestDrive::TestDrive(char letter, const std::string& folder)
    : m_letter(letter), m_driveType(DRIVE_REMOVABLE), m_folder(folder), m_ownsFolder(false) {
    if (!folder.empty()) Plug();
}

TestDrive::~TestDrive() {
    Remove();
    if (!m_ownsFolder) return;
    DeleteTree(m_folder);
    ::RemoveDirectoryA(kDrivesFolder);  // only when no other drive's folder is left
}

bool TestDrive::Plug() {
    if (!m_plugged) m_plugged = DefineWineDrive(m_letter, m_driveType, UnixPathOf(m_folder));
    return m_plugged;
}

bool TestDrive::Remove() {
    if (m_plugged) m_plugged = !DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, {});
    return !m_plugged;
}

bool TestDrive::WriteFile(const std::string& relative, const std::string& content,
                          DWORD attributes) {
    std::string path = FolderPath(relative);
    ::SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return CreateFolders(ParentOf(path)) && WriteFileBytes(path, content) &&
           ::SetFileAttributesW(Utf8ToWide(path).c_str(), attributes);
}

bool TestDrive::MakeFolder(const std::string& relative, DWORD attributes) {
    std::string path = FolderPath(relative);
    return CreateFolders(path) &&
           (!attributes || ::SetFileAttributesW(Utf8ToWide(path).c_str(), attributes));
}

std::string ReadFileBytes(const std::string& path) {
    ScopedHandle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
    std::string content;
    char block[65536];
    for (DWORD got = 0; ::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0;)
        content.append(block, got);
    return content;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    ScopedHandle file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD done = 0;
    return file &&
           ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                       nullptr) &&
           done == bytes.size();
}

std::vector<std::string> ListFolder(const std::string& folder) {
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

bool SendDeviceChange(HWND window, WPARAM event, char letter) {
    DEV_BROADCAST_VOLUME volume{sizeof(volume), DBT_DEVTYP_VOLUME, 0, 1ul << (letter - 'A'), 0};
    return ::SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                                 SMTO_ABORTIFHUNG, 30000, nullptr) != 0;
}
