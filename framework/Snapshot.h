#pragma once
// Walks the entries of a Toolhelp snapshot, wide or ANSI, with one loop.
#include <windows.h>

#include <tlhelp32.h>

// Calls `visit(entry)` for each entry until it answers false; `first`/`next` are the pair of
// functions for the entry type (Process32FirstW/Process32NextW, Module32First/Module32Next...).
template <typename Entry, typename Visit>
void ForEachSnapshotEntry(HANDLE snapshot, BOOL(WINAPI* first)(HANDLE, Entry*),
                          BOOL(WINAPI* next)(HANDLE, Entry*), Visit&& visit) {
    Entry entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = first(snapshot, &entry); more && visit(entry); more = next(snapshot, &entry)) {
    }
}
