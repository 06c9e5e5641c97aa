#pragma once
// Deletes every file below a folder; the folders themselves stay.
#include <cstddef>
#include <string>

#include "repair/RepairSteps.h"

// Longer paths are skipped, never cut.
constexpr size_t kMaxCleanupPath = 1023;

// Deletes every file of `folder` (UTF-8, ending in a backslash) and of all its subfolders,
// depth first, listing each "Deleted" or "Delete failed". Never enters a link (any entry with
// the reparse-point attribute), so nothing outside the folder is touched. True when at least
// one folder could be searched.
bool DeleteFolderFiles(const std::string& folder, const ListStep& list);

// `path` in the form the wide file functions take beyond MAX_PATH.
std::wstring ExtendedLengthPath(const std::wstring& path);
