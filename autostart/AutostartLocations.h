#pragma once
// The registry places from which Windows starts programs, in the order the list shows them.
#include <optional>
#include <span>
#include <string>

#include "autostart/RegistryLocation.h"

enum class LocationValues {
    kAll,              // every value of the key
    kAllAndSubKeys,    // and every value of its direct sub-keys (RunOnceEx)
    kLoadAndRun,       // only "load" and "run", when they start something
    kShellAndUserinit  // only "Shell" and "Userinit", when they differ from the defaults
};

struct AutostartLocation {
    RegistryHive hive;
    const char* keyPath;
    LocationValues values;
};

std::span<const AutostartLocation> AutostartLocations();

// The value Windows itself keeps for a Winlogon "Shell" or "Userinit" value of `key`, which
// Delete writes back instead of deleting (without them nobody can log on); nothing for any
// other value.
std::optional<std::string> ProtectedValueDefault(const RegistryKeyAddress& key,
                                                 const std::string& valueName);
// Whether the list keeps the value `name` = `command` of a location of kind `values`.
bool IsListedValue(LocationValues values, const RegistryKeyAddress& key, const std::string& name,
                   const std::string& command);
