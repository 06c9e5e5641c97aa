// The quarantine folder, quarantine file names, quarantine-and-delete and restore. The coded
// file itself is written and read in QuarantineFile.cpp.
#include "quarantine/QuarantineStore.h"

#include <windows.h>

#include "framework/FileSystem.h"

namespace {

constexpr char kQuarantineFolderName[] = "quarantine";
constexpr char kQuarantineExtension[] = ".kv";
// Enough for every name clash a real quarantine meets; past it the copy is skipped.
constexpr int kMaxNameVariants = 10000;

bool IsFolder(const std::string& path) {
    DWORD attributes = FileAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "<folder><name>[ (n)].kv"; "" when it would pass the path limit.
std::string QuarantinePathFor(const std::string& folder, const std::string& name, int variant) {
    std::string path = folder + name;
    if (variant > 1) path += " (" + std::to_string(variant) + ")";
    path += kQuarantineExtension;
    return FitsPathLimit(path) ? path : std::string();
}

// Quarantines `path` under the first free name, which it gives in `copy`: an earlier file of
// the same name keeps its copy ("setup.exe.kv", then "setup.exe (2).kv", ...).
int QuarantineUnderFreeName(const std::string& path, const std::string& folder, std::string& copy) {
    std::string name;
    if (!GetFileNamePart(path, name)) return kCopyMissingPath;
    for (int variant = 1; variant <= kMaxNameVariants; ++variant) {
        copy = QuarantinePathFor(folder, name, variant);
        if (copy.empty()) return kCopyMissingPath;
        if (FileExists(copy)) continue;
        int result = QuarantineCopyFile(path, copy, true);
        // Another thread may have taken the name between the check and the creation.
        if (result != kCopyTargetFailed || !FileExists(copy)) return result;
    }
    return kCopyTargetFailed;
}

}  // namespace

bool GetFileNamePart(const std::string& path, std::string& out) {
    size_t lastSlash = path.find_last_of('\\');
    if (lastSlash == std::string::npos) return false;
    out = path.substr(lastSlash + 1);
    return true;
}

bool GetQuarantineDirectory(std::string& out) {
    std::string folder = ModuleDirectoryUtf8();
    if (folder.empty()) return false;
    folder += kQuarantineFolderName;
    // Room for its trailing backslash.
    if (PathLength(folder) + 1 > kMaxPathLength) return false;
    if (!IsFolder(folder)) {
        // A file of that name is no folder to keep copies in.
        if (FileExists(folder) || !CreateDirectoryUtf8(folder)) return false;
    }
    out = folder + "\\";
    return true;
}

bool QuarantineAndDeleteFile(const std::string& path) {
    if (!FitsPathLimit(path) || !FileExists(path) || IsFolder(path)) return false;
    std::string folder;
    if (!GetQuarantineDirectory(folder)) return false;
    // The copy may be the only one of a file the rules misjudged: no copy, no delete. A file
    // that already carries the marker is itself a coded copy and goes without a second one.
    std::string copy;
    int copied = QuarantineUnderFreeName(path, folder, copy);
    if (copied != kCopyDone && copied != kCopyAlreadyCoded) return false;
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileUtf8(path)) return true;
    // The file stays where it was (in use, or its stick pulled out since the copy): its copy
    // would list a threat that was never deleted.
    if (copied == kCopyDone) DeleteFileUtf8(copy);
    return false;
}

int RestoreQuarantinedFile(const std::string& quarantinePath) {
    std::string origin;
    if (!ReadQuarantineOrigin(quarantinePath, origin)) return kRestoreFailed;
    if (QuarantineCopyFile(origin, quarantinePath, false) == kCopyDone) return kRestoredToOrigin;

    std::string name;
    std::string desktop = DesktopDirectoryUtf8();
    if (!GetFileNamePart(origin, name) || desktop.empty()) return kRestoreFailed;
    std::string target = desktop + "\\" + name;
    if (!FitsPathLimit(target)) return kRestoreFailed;
    return QuarantineCopyFile(target, quarantinePath, false) == kCopyDone ? kRestoredToDesktop
                                                                          : kRestoreFailed;
}
