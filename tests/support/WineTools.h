#pragma once
// Wine's own tools, run from tests to check the program's work independently of its code.
#include <cstdio>
#include <map>
#include <regex>
#include <sstream>
#include <string>

// Runs Wine's reg.exe with `arguments`: its exit code (-1 when it did not run), and what it
// printed in `output`.
inline int RunRegTool(const std::string& arguments, std::string* output = nullptr) {
    FILE* pipe = ::_popen(("reg.exe " + arguments + " 2>nul").c_str(), "r");
    if (!pipe) return -1;
    char piece[4096];
    for (size_t got; (got = std::fread(piece, 1, sizeof(piece), pipe)) > 0;)
        if (output) output->append(piece, got);
    return ::_pclose(pipe);
}

struct RegShownValue {
    std::string type, data;  // as reg.exe shows them
};
// Every value of `key` ("HKLM\\SOFTWARE\\..."), by name ("(Default)" for the unnamed one), as
// `reg query` reads it in registry view `view` (32 or 64); empty when the key is missing.
inline std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view) {
    std::map<std::string, RegShownValue> values;
    std::string output;
    RunRegTool("query \"" + key + "\" /reg:" + std::to_string(view), &output);
    // "    name    TYPE    data", fields apart by four spaces.
    const std::regex valueLine("    (.*?)    (REG_\\w+)(?:    (.*?))?\r?");
    std::istringstream lines(output);
    std::smatch match;
    for (std::string line; std::getline(lines, line);)
        if (std::regex_match(line, match, valueLine)) values[match[1]] = {match[2], match[3]};
    return values;
}
