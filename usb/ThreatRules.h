#pragma once
// What counts as a threat. Files are judged by name, extension and attributes only; no
// content is ever read. Paths are UTF-8: only ASCII extensions are in the table, so a name
// judges the same whether the ANSI code page or UTF-8 spells it.
#include <cstddef>

// True when both strings are exactly `length` characters long and equal but for the case
// of ASCII letters.
bool MatchNoCase(const char* text, const char* reference, size_t length);

// The number (1-27) of the path's extension in the risky-extension table, or 0 for a
// directory, a path that does not exist, no extension, or an extension not in the table.
int ClassifyExtension(const char* path);

// The shield rule, for an entry of a drive root: every ".inf" file, and every hidden
// non-directory entry with a risky extension.
bool IsShieldThreat(const char* path);

// The scan rule, for a file anywhere on a drive: script and shortcut types always; ".exe",
// ".dll", ".html", ".htm", ".aspx" and ".inf" only when hidden.
bool IsScanSuspicious(const char* path);
