#pragma once
// Wine's own tools, run from tests to check the program's work independently of its code.
#include <windows.h>

#include <map>
#include <string>

struct RegShownValue {
    std::string type, data;  // as reg.exe shows them
};
// Every value of `key` ("HKLM\\SOFTWARE\\..."), by name ("(Default)" for the unnamed one), as
// `reg query` reads it in registry view `view` (32 or 64); empty when the key is missing.
std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view);

// A host symbolic link at `link` to the folder `target` (both Windows paths in the prefix),
// which reads as a directory link (a reparse point); Wine cannot make one itself, so the
// host's ln does. Remove takes the link away without touching its target.
bool MakeHostSymlink(const std::string& target, const std::string& link);
void RemoveHostSymlink(const std::string& link);
