// The quarantine folder, quarantine file names, quarantine-and-delete and restore. The coded
// file itself is written and read in QuarantineFile.cpp.
#include "quarantine/QuarantineStore.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr char kQuarantineFolderName[] = "quarantine";
constexpr char kQuarantineExtension[] = ".kv";
// Enough for every name clash a real quarantine meets; past it the copy is skipped.
constexpr int kMaxNameVariants = 10000;

bool Exists(const char* path) { return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const char* path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Writes "<folder><name>[ (n)].kv" into `out`; false when it would not fit a path buffer.
bool FormatQuarantinePath(const char* folder, const char* name, int variant, char* out) {
    int written = variant <= 1 ? std::snprintf(out, kPathBufferSize, "%s%s%s", folder, name,
                                               kQuarantineExtension)
                               : std::snprintf(out, kPathBufferSize, "%s%s (%d)%s", folder, name,
                                               variant, kQuarantineExtension);
    return written > 0 && static_cast<size_t>(written) <= kMaxPathLength;
}

// Quarantines `path` under the first free name: an earlier file of the same name keeps its
// copy ("setup.exe.kv", then "setup.exe (2).kv", ...).
int QuarantineUnderFreeName(const char* path, const char* folder) {
    char name[kPathBufferSize] = {};
    if (!GetFileNamePart(path, name)) return kCopyMissingPath;
    for (int variant = 1; variant <= kMaxNameVariants; ++variant) {
        char quarantinePath[kPathBufferSize];
        if (!FormatQuarantinePath(folder, name, variant, quarantinePath)) return kCopyMissingPath;
        if (Exists(quarantinePath)) continue;
        int result = QuarantineCopyFile(path, quarantinePath, true);
        // Another thread may have taken the name between the check and the creation.
        if (result != kCopyTargetFailed || !Exists(quarantinePath)) return result;
    }
    return kCopyTargetFailed;
}

bool GetDesktopDirectory(char* out) {
    char desktop[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE)) return false;
    if (std::strlen(desktop) > kMaxPathLength) return false;
    std::strcpy(out, desktop);
    return true;
}

}  // namespace

bool GetFileNamePart(const char* path, char* out) {
    if (!path || !out) return false;
    const char* lastSlash = std::strrchr(path, '\\');
    if (!lastSlash || std::strlen(lastSlash + 1) > kMaxPathLength) return false;
    std::strcpy(out, lastSlash + 1);
    return true;
}

bool GetQuarantineDirectory(char* out) {
    if (!out) return false;
    char folder[kPathBufferSize] = {};
    if (!GetModuleDirectory(folder)) return false;
    // Room for the folder name and its trailing backslash.
    if (std::strlen(folder) + sizeof(kQuarantineFolderName) > kMaxPathLength) return false;
    std::strcat(folder, kQuarantineFolderName);
    if (!IsFolder(folder)) {
        // A file of that name is no folder to keep copies in.
        if (Exists(folder) || !::CreateDirectoryA(folder, nullptr)) return false;
    }
    std::strcat(folder, "\\");
    std::strcpy(out, folder);
    return true;
}

bool QuarantineAndDeleteFile(const char* path) {
    if (!path || !path[0] || std::strlen(path) > kMaxPathLength) return false;
    if (!Exists(path) || IsFolder(path)) return false;
    char folder[kPathBufferSize] = {};
    if (!GetQuarantineDirectory(folder)) return false;
    // Best effort: a threat that cannot be copied is still deleted.
    QuarantineUnderFreeName(path, folder);
    ::SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path) != FALSE;
}

int RestoreQuarantinedFile(const char* quarantinePath) {
    if (!quarantinePath || !quarantinePath[0]) return kRestoreFailed;
    char origin[kPathBufferSize] = {};
    if (!ReadQuarantineOrigin(quarantinePath, origin)) return kRestoreFailed;
    if (QuarantineCopyFile(origin, quarantinePath, false) == kCopyDone) return kRestoredToOrigin;

    char name[kPathBufferSize] = {};
    char desktop[kPathBufferSize] = {};
    if (!GetFileNamePart(origin, name) || !GetDesktopDirectory(desktop)) return kRestoreFailed;
    char target[kPathBufferSize];
    int written = std::snprintf(target, sizeof(target), "%s\\%s", desktop, name);
    if (written <= 0 || static_cast<size_t>(written) > kMaxPathLength) return kRestoreFailed;
    return QuarantineCopyFile(target, quarantinePath, false) == kCopyDone ? kRestoredToDesktop
                                                                          : kRestoreFailed;
}
