#include "update/UpdateOffer.h"

#include <windows.h>

#include "framework/Strings.h"
#include "res/resource.h"

namespace {
constexpr char kSection[] = "Koravant";

std::string ReadValue(const std::string& iniPath, const char* key, const std::string& fallback,
                      char* buffer, DWORD size) {
    DWORD length =
        ::GetPrivateProfileStringA(kSection, key, fallback.c_str(), buffer, size, iniPath.c_str());
    return std::string(buffer, length);
}
}  // namespace

UpdateOffer ReadUpdateOffer(const std::string& iniPath, const std::string& ownVersion) {
    char version[260] = {};
    char change[2048] = {};
    UpdateOffer offer;
    offer.version = ReadValue(iniPath, "VERSION", ownVersion, version, sizeof(version));
    offer.change =
        ReadValue(iniPath, "CHANGE", LoadResString(IDS_DEFAULT_CHANGE), change, sizeof(change));
    return offer;
}
