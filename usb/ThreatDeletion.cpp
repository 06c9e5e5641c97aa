#include "usb/ThreatDeletion.h"

#include "framework/FileSystem.h"
#include "quarantine/QuarantineStore.h"

bool ThreatFileExists(const std::string& path) { return FitsPathLimit(path) && FileExists(path); }

ThreatDeletion DeleteThreatFile(const std::string& path) {
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    if (!ThreatFileExists(path)) return ThreatDeletion::kAlreadyGone;
    return QuarantineAndDeleteFile(path) ? ThreatDeletion::kDeleted : ThreatDeletion::kDeleteFailed;
}
