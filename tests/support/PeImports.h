#pragma once
// Reads what a Windows executable asks of the loader: the functions it imports by name and
// the oldest system version its header admits.
#include <windows.h>

#include <string>
#include <vector>

struct PeImport {
    std::string dll;       // as written in the file, e.g. "KERNEL32.dll"
    std::string function;  // empty for an import by ordinal
};

struct PeImageInfo {
    bool valid = false;
    WORD machine = 0;
    WORD subsystemMajor = 0, subsystemMinor = 0;
    WORD osMajor = 0, osMinor = 0;
    std::vector<PeImport> imports;
};

// Parses the file at `path` (PE32 or PE32+); valid is false when it is not one.
PeImageInfo ReadPeImage(const std::string& path);
