#pragma once
// Deleting one listed threat: attributes reset, quarantine copy, delete. Shared by the
// shield and scan pages, from the user-interface thread or their delete-all workers.
#include <windows.h>

#include <string>

enum class ThreatDeletion {
    kDeleted,       // quarantined and deleted
    kAlreadyGone,   // no such file any more; shown as deleted
    kDeleteFailed,  // still there, attributes reset to normal
};

// Whether the file at the UTF-8 `path` exists (after its attributes were reset).
bool ThreatFileExists(const std::string& path);
ThreatDeletion DeleteThreatFile(const std::string& path);
