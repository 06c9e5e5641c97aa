#pragma once
// Wine's own tools, run from tests to check the program's work independently of its code.
#include <windows.h>

#include <map>
#include <string>

// Runs Wine's reg.exe with `arguments`: its exit code (-1 when it did not run), and what it
// printed in `output`.
int RunRegTool(const std::string& arguments, std::string* output = nullptr);

struct RegShownValue {
    std::string type, data;  // as reg.exe shows them
};
// Every value of `key` ("HKLM\\SOFTWARE\\..."), by name ("(Default)" for the unnamed one), as
// `reg query` reads it in registry view `view` (32 or 64); empty when the key is missing.
std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view);
