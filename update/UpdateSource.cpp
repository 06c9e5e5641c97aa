#include "update/UpdateSource.h"

#include "framework/Strings.h"
#include "res/resource.h"

std::string UpdateDescriptionUrl() { return LoadResString(IDS_UPDATE_URL); }

DWORD UpdateCheckDelayMs() { return 120000; }
