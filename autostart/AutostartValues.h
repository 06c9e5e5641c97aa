#pragma once
// Reading the values of the autostart keys. Every value is read whole, with buffers of its
// real size: a long name or long data neither hides itself nor the values after it. Keys are
// opened for reading only, so a key that refuses write access still shows its values.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "autostart/AutostartLocations.h"

// One row of the list, UTF-8: the value's (or file's) name, what it starts, where it lives.
struct AutostartEntry {
    std::string name;
    std::string command;
    std::string location;

    bool operator==(const AutostartEntry&) const = default;
};

struct RegistryValueData {
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Calls `visit` with every value of an open key, in the registry's order, in one buffer that the
// next value reuses; a value that changes size while it is read more than a few times over is
// skipped.
void ForEachKeyValue(HKEY key, const std::function<void(const RegistryValueData&)>& visit);
// Text types as their text, anything else as its bytes read as ANSI text; up to the first
// zero either way.
std::string ValueDataAsText(const RegistryValueData& value);

// Appends the entries of one location: in each view of HKLM on a 64-bit system (a key both
// views share once), with the values of the direct sub-keys where the location has them. A key
// that cannot be opened for reading (missing, or not permitted) adds nothing.
void EnumAutostartLocation(const AutostartLocation& location, std::vector<AutostartEntry>& entries);
