#include "usb/RootExamination.h"

#include <windows.h>

#include "framework/Handles.h"
#include "quarantine/QuarantineStore.h"
#include "usb/ThreatRules.h"

std::vector<std::string> FindRootThreats(char letter) {
    std::vector<std::string> threats;
    const std::string root = std::string(1, letter) + ":\\";
    WIN32_FIND_DATAA entry;
    ScopedFindHandle find(::FindFirstFileA((root + "*.*").c_str(), &entry));
    if (!find) return threats;
    do {
        std::string path = root + entry.cFileName;
        if (path.size() > kMaxPathLength) continue;
        if (IsShieldThreat(path.c_str())) threats.push_back(std::move(path));
    } while (::FindNextFileA(find.get(), &entry));
    return threats;
}
