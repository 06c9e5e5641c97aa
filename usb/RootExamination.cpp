#include "usb/RootExamination.h"

#include "framework/FileSystem.h"
#include "usb/ThreatRules.h"

std::vector<std::string> FindRootThreats(char letter) {
    std::vector<std::string> threats;
    const std::string root = std::string(1, letter) + ":\\";
    for (FileFinder find(root + "*.*"); find.Found(); find.Next()) {
        std::string path = root + find.Name();
        if (!FitsPathLimit(path)) continue;
        if (IsShieldThreat(path.c_str())) threats.push_back(std::move(path));
    }
    return threats;
}
