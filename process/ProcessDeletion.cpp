#include "process/ProcessDeletion.h"

#include "framework/Handles.h"
#include "framework/Text.h"
#include "quarantine/QuarantineStore.h"

namespace {
ProcessOpener g_opener = nullptr;

HANDLE OpenForTermination(DWORD processId) {
    return g_opener ? g_opener(PROCESS_ALL_ACCESS, processId)
                    : ::OpenProcess(PROCESS_ALL_ACCESS, FALSE, processId);
}

bool StillRuns(const FlaggedProcess& process) {
    std::vector<ProcessEntry> running;
    ListRunningProcesses(running);
    for (const ProcessEntry& entry : running)
        if (entry.id == process.id) return entry.name == process.name;
    return false;
}
}  // namespace

void SetProcessOpenerForTesting(ProcessOpener opener) { g_opener = opener; }

bool EndListedProcess(const FlaggedProcess& process) {
    ScopedHandle handle(OpenForTermination(process.id));
    if (!handle || !StillRuns(process)) return false;
    // As designed the result is not consulted: the file's deletion tells.
    ::TerminateProcess(handle.get(), 0);
    return true;
}

bool DeleteProgramFile(const std::string& path) {
    bool exact = false;
    std::string ansiPath = Utf8ToAnsi(path, &exact);
    // The quarantine takes ANSI paths: a name the code page cannot spell is left alone.
    if (!exact) return false;
    ::SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    return QuarantineAndDeleteFile(ansiPath.c_str());
}
