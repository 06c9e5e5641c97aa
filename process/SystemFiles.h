#pragma once
// Look-ups in the Windows folders and the trust test of the process shield. Names and paths
// are UTF-8 and meet the system through the W functions, so no name is lost to the code page.
#include <string>

// The 64-bit system folder as a 32-bit program on 64-bit Windows reaches it, where "system32"
// is the 32-bit one: "<Windows folder>\Sysnative". "" elsewhere, and on 64-bit Windows XP
// without the update that brought it.
std::wstring NativeSystemFolder();

// The first hit for `name` that is not a directory, searched in the Windows folder, then its
// "system" and "system32" sub-folders and the 64-bit system folder. Paths longer than 255
// characters count as none.
bool FindInSystemFolders(const std::string& name, std::string& path);
// Whether `name` is the name of a file in one of those folders.
bool IsSystemFileName(const std::string& name);
// Whether the file at `path` carries version information.
bool HasVersionInfo(const std::string& path);
