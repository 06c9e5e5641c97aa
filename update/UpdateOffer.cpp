#include "update/UpdateOffer.h"

#include <windows.h>

#include "framework/FileSystem.h"
#include "framework/Strings.h"
#include "res/resource.h"

namespace {
constexpr char kSection[] = "Koravant";

constexpr DWORD kVersionCapacity = 260;
constexpr DWORD kChangeCapacity = 2048;
}  // namespace

UpdateOffer ReadUpdateOffer(const std::string& iniPath, const std::string& ownVersion) {
    UpdateOffer offer;
    offer.version =
        ReadProfileStringUtf8(iniPath, kSection, "VERSION", ownVersion, kVersionCapacity);
    offer.change = ReadProfileStringUtf8(iniPath, kSection, "CHANGE",
                                         LoadResString(IDS_DEFAULT_CHANGE), kChangeCapacity);
    return offer;
}
