#pragma once
// Disk Cleanup: the user's cookies, recent documents and temporary files, the Internet cache
// and the recycle bins.
#include <string>
#include <vector>

#include "repair/RepairSteps.h"

// Deletes every URL cache entry, listing each "IE cache Deleted" whatever the deletion did.
// True when the enumeration ended normally (no more entries).
bool ClearUrlCache(const ListStep& list);
// The cookies, recent-documents and temporary folders (UTF-8, each ending in a backslash),
// leaving out any the system cannot name.
std::vector<std::string> CleanupFolders();
// The whole cleanup: each folder's files, the URL cache, then the recycle bins of all drives.
// Stops early when `list` says the listener is gone.
void RunDiskCleanup(const ListStep& list);
