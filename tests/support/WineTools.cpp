#include "tests/support/WineTools.h"

#include <cstdio>
#include <regex>
#include <sstream>

int RunRegTool(const std::string& arguments, std::string* output) {
    FILE* pipe = ::_popen(("reg.exe " + arguments + " 2>nul").c_str(), "r");
    if (!pipe) return -1;
    char piece[4096];
    for (size_t got; (got = std::fread(piece, 1, sizeof(piece), pipe)) > 0;)
        if (output) output->append(piece, got);
    return ::_pclose(pipe);
}

std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view) {
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
