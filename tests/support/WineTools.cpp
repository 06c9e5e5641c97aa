#include "tests/support/WineTools.h"

#include <sstream>

#include "framework/Handles.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {
std::string ReadAll(HANDLE pipe) {
    std::string output;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(pipe, chunk, sizeof(chunk), &read, nullptr) && read > 0)
        output.append(chunk, read);
    return output;
}

// "    name    TYPE    data": the value's line, split on its runs of four spaces.
bool ParseValueLine(const std::string& line, std::string& name, RegShownValue& value) {
    if (line.rfind("    ", 0) != 0) return false;
    size_t typeStart = line.find("    REG_", 4);
    if (typeStart == std::string::npos) return false;
    name = line.substr(4, typeStart - 4);
    size_t dataStart = line.find("    ", typeStart + 4);
    value.type = line.substr(typeStart + 4, dataStart - (typeStart + 4));
    value.data = dataStart == std::string::npos ? "" : line.substr(dataStart + 4);
    while (!value.data.empty() && (value.data.back() == '\r' || value.data.back() == '\n'))
        value.data.pop_back();
    return true;
}

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

std::string RunCaptured(const std::string& commandLine, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    ScopedHandle reader(readEnd), writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    PROCESS_INFORMATION info = {};
    std::string line = commandLine;
    if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &info))
        return {};
    ScopedHandle process(info.hProcess), thread(info.hThread);
    writer.reset();
    std::string output = ReadAll(reader.get());
    ::WaitForSingleObject(process.get(), timeoutMs);
    return output;
}

std::map<std::string, RegShownValue> RegQueryKey(const std::string& key, int view) {
    std::istringstream lines(
        RunCaptured("reg.exe query \"" + key + "\" /reg:" + std::to_string(view)));
    std::map<std::string, RegShownValue> values;
    std::string line, name;
    while (std::getline(lines, line)) {
        RegShownValue value;
        if (ParseValueLine(line, name, value)) values[name] = value;
    }
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
