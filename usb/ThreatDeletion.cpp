#include "usb/ThreatDeletion.h"

#include "quarantine/QuarantineStore.h"

namespace {
constexpr DWORD kPathBuffer = 256;
}

bool ThreatFileExists(const std::string& path) {
    if (path.empty() || path.size() >= kPathBuffer) return false;
    char found[kPathBuffer] = {};
    char* namePart = nullptr;
    DWORD length = ::SearchPathA(nullptr, path.c_str(), nullptr, kPathBuffer, found, &namePart);
    return length > 0 && length < kPathBuffer;
}

ThreatDeletion DeleteThreatFile(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!ThreatFileExists(path)) return ThreatDeletion::kAlreadyGone;
    return QuarantineAndDeleteFile(path.c_str()) ? ThreatDeletion::kDeleted
                                                 : ThreatDeletion::kDeleteFailed;
}
