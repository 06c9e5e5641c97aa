#include "usb/Immunity.h"

#include <windows.h>

#include "framework/Handles.h"
#include "framework/Strings.h"
#include "quarantine/QuarantineStore.h"
#include "res/resource.h"
#include "usb/AutorunPolicy.h"

namespace {

constexpr DWORD kSearchResultSize = 64;

enum class Found { Nothing, Directory, File };

// Looks for AUTORUN.INF in the root alone, not along the search path.
Found FindAutorunEntry(const char* root) {
    char found[kSearchResultSize] = {};
    DWORD length = ::SearchPathA(root, kImmunityFolder, nullptr, kSearchResultSize, found, nullptr);
    if (length == 0 || length >= kSearchResultSize) return Found::Nothing;
    DWORD attributes = ::GetFileAttributesA(found);
    if (attributes == INVALID_FILE_ATTRIBUTES) return Found::Nothing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Found::Directory : Found::File;
}

// The file may be the stick's own (its icon, its label): like every threat deleted, it is
// quarantined first, and it stays where no copy can be made.
void DeleteAutorunFile(const std::string& root, const RootFileWarning& warn) {
    QuarantineAndDeleteFile(root + kImmunityFolder);
    if (warn) warn(root.c_str());
}

void WriteReadMe(const std::string& root) {
    std::string text = LoadResString(IDS_IMMUNITY_README);
    ScopedHandle file(::CreateFileA((root + kImmunityReadMe).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD written = 0;
    ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

bool IsTreatedDrive(char letter) {
    char root[4];
    wsprintfA(root, "%c:", letter);
    UINT type = ::GetDriveTypeA(root);
    return type == DRIVE_REMOVABLE || type == DRIVE_FIXED;
}

}  // namespace

std::vector<std::string> TreatedDriveRoots() {
    std::vector<std::string> roots;
    char letter = 'A';
    for (DWORD mask = ::GetLogicalDrives(); mask != 0 && letter <= 'Z'; mask >>= 1, ++letter) {
        if ((mask & 1) && IsTreatedDrive(letter)) roots.push_back(std::string(1, letter) + ":\\");
    }
    return roots;
}

bool ImmunizeDrive(const char* root, const RootFileWarning& warn) {
    if (!root) return false;
    std::string base = root;
    switch (FindAutorunEntry(root)) {
        case Found::Directory:
            return false;  // immune already
        case Found::File:
            DeleteAutorunFile(base, warn);
            break;
        case Found::Nothing:
            break;
    }
    std::string folder = base + kImmunityFolder;
    if (!::CreateDirectoryA(folder.c_str(), nullptr)) return false;
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::CreateDirectoryA((base + kImmunitySubFolder).c_str(), nullptr);
    WriteReadMe(base);
    return true;
}

bool RemoveDriveImmunity(const char* root, const RootFileWarning& warn) {
    if (!root) return false;
    std::string base = root;
    switch (FindAutorunEntry(root)) {
        case Found::Nothing:
            return true;
        case Found::File:
            DeleteAutorunFile(base, warn);
            return true;
        case Found::Directory:
            break;
    }
    std::string folder = base + kImmunityFolder, readMe = base + kImmunityReadMe;
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA((base + kImmunitySubFolder).c_str());
    ::SetFileAttributesA(readMe.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(readMe.c_str());
    return ::RemoveDirectoryA(folder.c_str()) != FALSE;
}

void ImmunizeAllDrives(const RootFileWarning& warn) {
    for (const std::string& root : TreatedDriveRoots()) ImmunizeDrive(root.c_str(), warn);
    DisableAutoRun();
}

void RemoveAllDriveImmunity(const RootFileWarning& warn) {
    for (const std::string& root : TreatedDriveRoots()) RemoveDriveImmunity(root.c_str(), warn);
    EnableAutoRun();
}
