#include "process/ProcessDeletion.h"

#include "framework/Handles.h"
#include "process/ProcessModule.h"
#include "framework/FileSystem.h"
#include "quarantine/QuarantineStore.h"

namespace {
ProcessOpener g_opener = nullptr;

HANDLE OpenForTermination(DWORD processId) {
    return g_opener ? g_opener(kProcessAllAccess, processId)
                    : ::OpenProcess(kProcessAllAccess, FALSE, processId);
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
    SetFileAttributesUtf8(path, FILE_ATTRIBUTE_NORMAL);
    return QuarantineAndDeleteFile(path);
}
