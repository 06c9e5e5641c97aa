#include "autostart/AutostartLocations.h"

#include <windows.h>

#include "framework/Text.h"

namespace {
constexpr char kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

#define CV "Software\\Microsoft\\Windows\\CurrentVersion\\"
constexpr AutostartLocation kLocations[] = {
    {kHiveLocalMachine, CV "Run", LocationValues::kAll},
    {kHiveCurrentUser, CV "Run", LocationValues::kAll},
    {kHiveCurrentUser, CV "Policies\\Explorer\\Run", LocationValues::kAll},
    {kHiveLocalMachine, CV "Policies\\Explorer\\Run", LocationValues::kAll},
    {kHiveCurrentUser, CV "RunOnce", LocationValues::kAll},
    {kHiveLocalMachine, CV "RunOnce", LocationValues::kAll},
    {kHiveCurrentUser, CV "RunServicesOnce", LocationValues::kAll},
    {kHiveLocalMachine, CV "RunServicesOnce", LocationValues::kAll},
    {kHiveCurrentUser, CV "RunServices", LocationValues::kAll},
    {kHiveLocalMachine, CV "RunServices", LocationValues::kAll},
    {kHiveCurrentUser, CV "RunOnceEx", LocationValues::kAllAndSubKeys},
    {kHiveLocalMachine, CV "RunOnceEx", LocationValues::kAllAndSubKeys},
    {kHiveCurrentUser, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
     LocationValues::kLoadAndRun},
    {kHiveLocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows",
     LocationValues::kLoadAndRun},
    {kHiveCurrentUser, kWinlogon, LocationValues::kShellAndUserinit},
    {kHiveLocalMachine, kWinlogon, LocationValues::kShellAndUserinit},
};
#undef CV

bool SameNoCase(const std::string& first, const std::string& second) {
    return ::lstrcmpiW(Utf8ToWide(first).c_str(), Utf8ToWide(second).c_str()) == 0;
}

std::string UserinitDefault() {
    wchar_t system[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return "userinit.exe,";
    return WideToUtf8(system) + "\\userinit.exe,";
}
}  // namespace

std::span<const AutostartLocation> AutostartLocations() { return kLocations; }

std::optional<std::string> ProtectedValueDefault(const RegistryKeyAddress& key,
                                                 const std::string& valueName) {
    if (!SameNoCase(key.keyPath, kWinlogon)) return {};
    if (SameNoCase(valueName, "Shell")) return "explorer.exe";
    if (SameNoCase(valueName, "Userinit")) return UserinitDefault();
    return {};
}

bool IsListedValue(LocationValues values, const RegistryKeyAddress& key, const std::string& name,
                   const std::string& command) {
    switch (values) {
        case LocationValues::kLoadAndRun:
            return !command.empty() && (SameNoCase(name, "load") || SameNoCase(name, "run"));
        case LocationValues::kShellAndUserinit: {
            std::optional<std::string> standard = ProtectedValueDefault(key, name);
            return standard && !SameNoCase(command, *standard);
        }
        default:
            return true;
    }
}
