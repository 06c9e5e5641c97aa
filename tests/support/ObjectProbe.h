#pragma once
// Counts of another process's objects, taken inside it: the test loads ObjectProbe.dll
// into the process with a remote thread and runs its counter there, one figure per thread.
#include <windows.h>

#include <string>

// In the order of the probe's counters.
struct ProcessCounts {
    long gdi = -1, user = -1, handles = -1, privateKb = -1;
    bool Valid() const { return gdi >= 0 && user >= 0 && handles >= 0 && privateKb >= 0; }
    std::string Describe() const {
        return "GDI " + std::to_string(gdi) + ", USER " + std::to_string(user) + ", handles " +
               std::to_string(handles) + ", private " + std::to_string(privateKb) + " KB";
    }
};

// The counts of process `pid` (all -1 when the probe could not run there).
ProcessCounts CountObjectsOf(DWORD pid);
