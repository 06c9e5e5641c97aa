#include "usb/ThreatDeletion.h"

#include "framework/FileSystem.h"
#include "quarantine/QuarantineStore.h"

bool ThreatFileExists(const std::string& path) { return FitsPathLimit(path) && FileExists(path); }

ThreatDeletion MissingThreatResult(const std::string& path) {
    // A file on a drive that is no longer there (a stick pulled out) was not deleted.
    bool onDrive = path.size() >= 3 && path[1] == ':' && path[2] == '\\';
    if (onDrive && FileAttributes(path.substr(0, 3)) == INVALID_FILE_ATTRIBUTES)
        return ThreatDeletion::kDeleteFailed;
    return ThreatDeletion::kAlreadyGone;
}

ThreatDeletion DeleteThreatFile(const std::string& path) {
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    if (!ThreatFileExists(path)) return MissingThreatResult(path);
    return QuarantineAndDeleteFile(path) ? ThreatDeletion::kDeleted : ThreatDeletion::kDeleteFailed;
}
