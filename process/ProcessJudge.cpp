#include "process/ProcessJudge.h"

#include <tlhelp32.h>

#include <atomic>

#include "framework/Handles.h"
#include "framework/Snapshot.h"
#include "framework/Text.h"
#include "process/ProcessModule.h"
#include "process/SystemFiles.h"
#include "usb/DriveList.h"

bool SystemProcessProbe::ProgramFile(DWORD processId, std::string& path) {
    return GetProcessExeModule(processId, path);
}

bool SystemProcessProbe::FindInSystemFolders(const std::string& name, std::string& path) {
    return ::FindInSystemFolders(name, path);
}

bool SystemProcessProbe::IsHidden(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN);
}

bool SystemProcessProbe::HasVersionInfo(const std::string& path) { return ::HasVersionInfo(path); }

bool SystemProcessProbe::IsSystemFileName(const std::string& name) {
    return ::IsSystemFileName(name);
}

namespace {
SystemProcessProbe g_systemProbe;
std::atomic<ProcessProbe*> g_testProbe{nullptr};
}  // namespace

ProcessProbe& CurrentProcessProbe() {
    ProcessProbe* probe = g_testProbe;
    return probe ? *probe : g_systemProbe;
}

void SetProcessProbeForTesting(ProcessProbe* probe) { g_testProbe = probe; }

ProcessVerdict JudgeProcess(const ProcessEntry& process, ProcessProbe& probe, std::string& path) {
    if (!probe.ProgramFile(process.id, path) && !probe.FindInSystemFolders(process.name, path))
        return ProcessVerdict::kSafe;
    if (probe.IsHidden(path)) return ProcessVerdict::kRisky;
    if (probe.HasVersionInfo(path)) return ProcessVerdict::kSafe;
    return probe.IsSystemFileName(process.name) ? ProcessVerdict::kSuspicious
                                                : ProcessVerdict::kSafe;
}

std::vector<FlaggedProcess> FindFlaggedProcesses(const std::vector<ProcessEntry>& processes,
                                                 ProcessProbe& probe) {
    std::vector<FlaggedProcess> flagged;
    for (const ProcessEntry& process : processes) {
        if (flagged.size() == kMaxFlaggedProcesses) break;
        std::string path;
        ProcessVerdict verdict = JudgeProcess(process, probe, path);
        if (verdict != ProcessVerdict::kSafe)
            flagged.push_back({process.id, process.name, path, verdict});
    }
    return flagged;
}

namespace {
// The 95/98/Me family has only the A functions.
void ListAnsi(HANDLE snapshot, std::vector<ProcessEntry>& processes) {
    ForEachSnapshotEntry<PROCESSENTRY32>(
        snapshot, ::Process32First, ::Process32Next, [&](const PROCESSENTRY32& entry) {
            processes.push_back({entry.th32ProcessID, AnsiToUtf8(entry.szExeFile)});
            return true;
        });
}

void ListWide(HANDLE snapshot, std::vector<ProcessEntry>& processes) {
    ForEachSnapshotEntry<PROCESSENTRY32W>(
        snapshot, ::Process32FirstW, ::Process32NextW, [&](const PROCESSENTRY32W& entry) {
            processes.push_back({entry.th32ProcessID, WideToUtf8(entry.szExeFile)});
            return true;
        });
}
}  // namespace

bool ListRunningProcesses(std::vector<ProcessEntry>& processes) {
    processes.clear();
    ScopedHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    if (GetOsFamily() == 2)
        ListAnsi(snapshot.get(), processes);
    else
        ListWide(snapshot.get(), processes);
    return !processes.empty();
}
