#include "tests/support/WineTools.h"

#include <cstdio>
#include <regex>

#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {
// Starts a host program (a path such as "/bin/ln") from the prefix; it runs on its own, so
// callers wait for its effect.
void RunUnix(const std::string& commandLine) {
    std::string line = "\\\\?\\unix" + commandLine;
    for (size_t slash = 0; slash < line.find(' '); ++slash)
        if (line[slash] == '/') line[slash] = '\\';
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // Wine starts a host program outside any Windows process: it reports success but fills
    // in no handles (the fields keep whatever they held), so none is closed here.
    ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info);
}
}  // namespace

std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view) {
    std::map<std::string, RegShownValue> values;
    std::string command = "reg.exe query \"" + key + "\" /reg:" + std::to_string(view) + " 2>nul";
    FILE* output = ::_popen(command.c_str(), "r");
    if (!output) return values;
    // "    name    TYPE    data", fields apart by four spaces.
    const std::regex valueLine("    (.*?)    (REG_\\w+)(?:    (.*?))?\r?\n?");
    char line[4096];
    std::cmatch match;
    while (std::fgets(line, sizeof(line), output))
        if (std::regex_match(line, match, valueLine)) values[match[1]] = {match[2], match[3]};
    ::_pclose(output);
    return values;
}

bool MakeHostSymlink(const std::string& target, const std::string& link) {
    std::string unixTarget = UnixPathOf(target), unixLink = UnixPathOf(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    RunUnix("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"");
    return WaitUntil([&] {
        DWORD attributes = ::GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    });
}

void RemoveHostSymlink(const std::string& link) {
    std::string unixLink = UnixPathOf(link);
    if (unixLink.empty()) return;
    RunUnix("/bin/rm -f \"" + unixLink + "\"");
    WaitUntil([&] { return ::GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}
