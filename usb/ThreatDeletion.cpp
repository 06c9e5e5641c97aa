#include "usb/ThreatDeletion.h"

#include "quarantine/QuarantineStore.h"

bool ThreatFileExists(const std::string& path) {
    if (path.empty() || path.size() >= kPathBufferSize) return false;
    char found[kPathBufferSize] = {};
    char* namePart = nullptr;
    DWORD length = ::SearchPathA(nullptr, path.c_str(), nullptr, kPathBufferSize, found, &namePart);
    return length > 0 && length < kPathBufferSize;
}

ThreatDeletion DeleteThreatFile(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!ThreatFileExists(path)) return ThreatDeletion::kAlreadyGone;
    return QuarantineAndDeleteFile(path.c_str()) ? ThreatDeletion::kDeleted
                                                 : ThreatDeletion::kDeleteFailed;
}
