#include "tests/support/TestDrives.h"

#include <dbt.h>
#include <winioctl.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <vector>

#include "framework/Handles.h"

namespace {

constexpr char kDrivesFolder[] = "C:\\koravant\\drives";

// Wine's own extension of the mount manager: a drive letter defined from a host folder.
constexpr DWORD kDefineUnixDrive =
    CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct MountMgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
static_assert(sizeof(MountMgrUnixDrive) == 32, "layout shared with Wine's mount manager");

std::string FreshFolderName(char letter) {
    static std::atomic<unsigned> counter{0};
    char name[MAX_PATH];
    wsprintfA(name, "%s\\%c-%lu-%lu-%u", kDrivesFolder, letter, ::GetCurrentProcessId(),
              ::GetTickCount(), counter++);
    return name;
}

char UpperLetter(char letter) {
    return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool SendDeviceChange(HWND window, WPARAM event, char letter, DWORD timeoutMs) {
    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << (UpperLetter(letter) - 'A');
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                                 SMTO_ABORTIFHUNG, timeoutMs, &answer) != 0;
}

// Deletes the tree below a "\\?\" folder path, clearing attributes that would stop it.
bool DeleteTreeWide(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    ScopedFindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &entry));
    if (find) {
        do {
            if (!std::wcscmp(entry.cFileName, L".") || !std::wcscmp(entry.cFileName, L".."))
                continue;
            std::wstring path = folder + L"\\" + entry.cFileName;
            ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTreeWide(path);
            else
                ::DeleteFileW(path.c_str());
        } while (::FindNextFileW(find.get(), &entry));
    }
    find.reset();
    ::SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::RemoveDirectoryW(folder.c_str()) != FALSE;
}

UINT DriveTypeOf(DriveKind kind) {
    switch (kind) {
        case DriveKind::Removable:
            return DRIVE_REMOVABLE;
        case DriveKind::Fixed:
            return DRIVE_FIXED;
        case DriveKind::CdRom:
            return DRIVE_CDROM;
        case DriveKind::Network:
            return DRIVE_REMOTE;
    }
    return DRIVE_UNKNOWN;
}

}  // namespace

std::string UnixPathOf(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    WCHAR wide[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH)) return {};
    char* unixName = toUnix(wide);
    if (!unixName) return {};
    std::string result = unixName;
    ::HeapFree(::GetProcessHeap(), 0, unixName);
    return result;
}

bool DefineWineDrive(char letter, UINT driveType, const std::string& unixPath) {
    std::vector<char> input(sizeof(MountMgrUnixDrive) + unixPath.size() + 1, 0);
    MountMgrUnixDrive header{};
    header.size = static_cast<ULONG>(input.size());
    header.type = driveType;
    header.letter = static_cast<WCHAR>(letter);
    if (driveType != DRIVE_NO_ROOT_DIR) {
        header.mountPointOffset = sizeof(header);
        std::memcpy(input.data() + sizeof(header), unixPath.c_str(), unixPath.size());
    }
    std::memcpy(input.data(), &header, sizeof(header));

    ScopedHandle manager(::CreateFileA("\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    if (!manager) return false;
    DWORD returned = 0;
    return ::DeviceIoControl(manager.get(), kDefineUnixDrive, input.data(),
                             static_cast<DWORD>(input.size()), nullptr, 0, &returned,
                             nullptr) != FALSE;
}

bool CreateFolders(const std::string& path) {
    if (path.empty() || path.back() == ':') return true;
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!CreateFolders(ParentOf(path))) return false;
    return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

bool DeleteTree(const std::string& folder) {
    // Wide "\\?\" paths, so trees deeper than 260 characters go too.
    std::wstring wide(folder.size(), L'\0');
    wide.resize(::MultiByteToWideChar(CP_ACP, 0, folder.data(), static_cast<int>(folder.size()),
                                      wide.data(), static_cast<int>(wide.size())));
    if (wide.size() > 1 && wide[1] == L':') wide = L"\\\\?\\" + wide;
    return DeleteTreeWide(wide);
}

TestDrive::TestDrive(char letter, DriveKind kind)
    : m_letter(UpperLetter(letter)), m_kind(kind), m_folder(FreshFolderName(m_letter)) {
    if (CreateFolders(m_folder)) Plug();
}

TestDrive::~TestDrive() {
    Remove();
    DeleteTree(m_folder);
    ::RemoveDirectoryA(kDrivesFolder);  // only when no other drive's folder is left
}

std::string TestDrive::Root() const { return std::string(1, m_letter) + ":\\"; }

std::string TestDrive::Path(const std::string& relative) const { return Root() + relative; }

std::string TestDrive::FolderPath(const std::string& relative) const {
    return relative.empty() ? m_folder : m_folder + "\\" + relative;
}

bool TestDrive::Plug() {
    if (m_plugged) return true;
    std::string unixPath = UnixPathOf(m_folder);
    if (unixPath.empty()) return false;
    m_plugged = DefineWineDrive(m_letter, DriveTypeOf(m_kind), unixPath);
    return m_plugged;
}

bool TestDrive::Remove() {
    if (!m_plugged) return true;
    m_plugged = !DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, {});
    return !m_plugged;
}

bool TestDrive::WriteFile(const std::string& relative, const std::string& content,
                          DWORD attributes) {
    std::string path = FolderPath(relative);
    if (!CreateFolders(ParentOf(path))) return false;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return WriteFileBytes(path, content) && ::SetFileAttributesA(path.c_str(), attributes);
}

bool TestDrive::MakeFolder(const std::string& relative, DWORD attributes) {
    std::string path = FolderPath(relative);
    if (!CreateFolders(path)) return false;
    return attributes == 0 || ::SetFileAttributesA(path.c_str(), attributes);
}

bool TestDrive::Exists(const std::string& relative) const {
    return ::GetFileAttributesA(FolderPath(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TestDrive::ReadFile(const std::string& relative) const {
    return ReadFileBytes(FolderPath(relative));
}

std::string ReadFileBytes(const std::string& path) {
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    std::string content;
    char block[65536];
    DWORD got = 0;
    while (::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0)
        content.append(block, got);
    return content;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD done = 0;
    return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done,
                       nullptr) &&
           done == bytes.size();
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    ScopedFindHandle find(::FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return names;
    do {
        if (std::strcmp(entry.cFileName, ".") && std::strcmp(entry.cFileName, ".."))
            names.push_back(entry.cFileName);
    } while (::FindNextFileA(find.get(), &entry));
    return names;
}

bool SendDriveArrival(HWND window, char letter, DWORD timeoutMs) {
    return SendDeviceChange(window, DBT_DEVICEARRIVAL, letter, timeoutMs);
}

bool SendDriveRemoval(HWND window, char letter, DWORD timeoutMs) {
    return SendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, letter, timeoutMs);
}
