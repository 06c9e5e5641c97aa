#pragma once
// Delete for one row of the autostart list, found by the row's name and Location alone.
#include <string>
#include <vector>

#include "autostart/AutostartValues.h"

// Every entry: the registry locations in their order, then the Startup folders.
std::vector<AutostartEntry> ListAutostartEntries();

// Removes the value `name` from the key `location` names, in that key's own view; a Winlogon
// "Shell" or "Userinit" gets its default back instead. A file of a Startup folder goes
// through the quarantine. True when done.
bool DeleteAutostartEntry(const std::string& name, const std::string& location);
