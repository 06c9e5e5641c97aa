#include "tests/support/ScanTree.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/TestDrives.h"

namespace {
// Beside the tree, not in it: the scans count every file of the tree.
constexpr char kCompleteMark[] = ".complete";
constexpr char kTreesFolder[] = "C:\\koravant\\trees\\";

std::wstring LongPath(const std::string& path) {
    std::wstring wide(path.size(), L'\0');
    int length = ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()),
                                       wide.data(), static_cast<int>(wide.size()));
    wide.resize(static_cast<size_t>(length > 0 ? length : 0));
    return L"\\\\?\\" + wide;
}

std::string ShapeText(const ScanTreeShape& shape) {
    char text[128];
    std::snprintf(text, sizeof(text), "%d %d %d %d", shape.folders, shape.filesPerFolder,
                  shape.fanOut, shape.suspiciousEvery);
    return text;
}

std::string FileName(const ScanTreeShape& shape, long index, int slot, DWORD* attributes) {
    char name[32];
    *attributes = FILE_ATTRIBUTE_NORMAL;
    if (index % shape.suspiciousEvery == shape.suspiciousEvery - 1) {
        bool hidden = (index / shape.suspiciousEvery) % 2 == 1;
        if (hidden) *attributes = FILE_ATTRIBUTE_HIDDEN;
        std::snprintf(name, sizeof(name), hidden ? "h%d.exe" : "s%d.vbs", slot);
    } else {
        std::snprintf(name, sizeof(name), index % 2 ? "p%d.exe" : "f%d.txt", slot);
    }
    return name;
}

bool BuildScanTree(const std::string& folder, const ScanTreeShape& shape) {
    if (!CreateFolders(folder)) return false;
    std::vector<std::string> paths(static_cast<size_t>(shape.folders) + 1);
    paths[0] = folder;
    long index = 0;
    for (int i = 1; i <= shape.folders; ++i) {
        const std::string& parent = paths[static_cast<size_t>((i - 1) / shape.fanOut)];
        std::string& path = paths[static_cast<size_t>(i)];
        path = parent + "\\d" + std::to_string(i);
        if (!::CreateDirectoryA(path.c_str(), nullptr)) return false;
        for (int slot = 0; slot < shape.filesPerFolder; ++slot, ++index) {
            DWORD attributes;
            std::string file = path + "\\" + FileName(shape, index, slot, &attributes);
            ScopedHandle handle(::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!handle) return false;
            handle.reset();
            if (attributes != FILE_ATTRIBUTE_NORMAL &&
                !::SetFileAttributesA(file.c_str(), attributes))
                return false;
        }
    }
    return true;
}
}  // namespace

std::string ScanTreeFolder(const ScanTreeShape& shape) {
    std::string name = ShapeText(shape);
    for (char& c : name)
        if (c == ' ') c = '-';
    return kTreesFolder + name;
}

ScanTreeCounts CountsOf(const ScanTreeShape& shape) {
    ScanTreeCounts counts;
    counts.folders = static_cast<unsigned long>(shape.folders);
    counts.files = counts.folders * static_cast<unsigned long>(shape.filesPerFolder);
    counts.suspicious = counts.files / static_cast<unsigned long>(shape.suspiciousEvery);
    return counts;
}

bool EnsureScanTree(const std::string& folder, const ScanTreeShape& shape) {
    std::string mark = folder + kCompleteMark;
    if (ReadFileBytes(mark) == ShapeText(shape)) return true;
    DeleteLongTree(folder);
    return BuildScanTree(folder, shape) && WriteFileBytes(mark, ShapeText(shape));
}

MappedDrive::MappedDrive(char letter, const std::string& folder, UINT driveType)
    : m_letter(letter) {
    std::string unixPath = UnixPathOf(folder);
    m_plugged = !unixPath.empty() && DefineWineDrive(letter, driveType, unixPath);
}

MappedDrive::~MappedDrive() { Remove(); }

bool MappedDrive::Remove() {
    if (m_plugged) m_plugged = !DefineWineDrive(m_letter, DRIVE_NO_ROOT_DIR, {});
    return !m_plugged;
}

bool CreateLongFolder(const std::string& path) {
    if (path.size() <= 3) return true;
    std::wstring wide = LongPath(path);
    DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    size_t slash = path.find_last_of('\\');
    if (slash != std::string::npos && !CreateLongFolder(path.substr(0, slash))) return false;
    return ::CreateDirectoryW(wide.c_str(), nullptr) != FALSE;
}

bool CreateLongFile(const std::string& path, DWORD attributes) {
    ScopedHandle file(::CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, attributes, nullptr));
    return file.valid();
}

bool DeleteLongTree(const std::string& folder) {
    std::wstring wide = LongPath(folder);
    WIN32_FIND_DATAW entry;
    ScopedFindHandle find(::FindFirstFileW((wide + L"\\*").c_str(), &entry));
    if (find) {
        do {
            if (!std::wcscmp(entry.cFileName, L".") || !std::wcscmp(entry.cFileName, L".."))
                continue;
            char name[MAX_PATH * 2] = {};
            ::WideCharToMultiByte(CP_ACP, 0, entry.cFileName, -1, name, sizeof(name), nullptr,
                                  nullptr);
            std::string path = folder + "\\" + name;
            ::SetFileAttributesW(LongPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteLongTree(path);
            else
                ::DeleteFileW(LongPath(path).c_str());
        } while (::FindNextFileW(find.get(), &entry));
    }
    find.reset();
    return ::RemoveDirectoryW(wide.c_str()) != FALSE;
}
