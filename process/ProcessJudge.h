#pragma once
// Which running processes the process shield lists. No window code: the page, its monitor
// thread, the benchmark and the tests call these; tests hand in made-up processes through a
// probe of their own.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

enum class ProcessVerdict { kSafe, kRisky, kSuspicious };

// One process of a process snapshot; the name as the snapshot reports it, in UTF-8.
struct ProcessEntry {
    DWORD id = 0;
    std::string name;
};

// A process the list shows, with the full path of its program file.
struct FlaggedProcess {
    DWORD id = 0;
    std::string name;
    std::string path;
    ProcessVerdict verdict = ProcessVerdict::kSafe;

    bool operator==(const FlaggedProcess&) const = default;
};

// The questions a judgement asks, answered by the running system or by a test.
class ProcessProbe {
  public:
    virtual bool ProgramFile(DWORD processId, std::string& path) = 0;
    virtual bool FindInSystemFolders(const std::string& name, std::string& path) = 0;
    virtual bool IsHidden(const std::string& path) = 0;
    virtual bool HasVersionInfo(const std::string& path) = 0;
    virtual bool IsSystemFileName(const std::string& name) = 0;

  protected:
    ~ProcessProbe() = default;
};

class SystemProcessProbe final : public ProcessProbe {
  public:
    bool ProgramFile(DWORD processId, std::string& path) override;
    bool FindInSystemFolders(const std::string& name, std::string& path) override;
    bool IsHidden(const std::string& path) override;
    bool HasVersionInfo(const std::string& path) override;
    bool IsSystemFileName(const std::string& name) override;
};

// The probe the page and its monitor ask: the running system's, unless a test put another
// (null puts the system's back).
ProcessProbe& CurrentProcessProbe();
void SetProcessProbeForTesting(ProcessProbe* probe);

// Hidden program files are risky; unversioned ones named like a file of the Windows folders
// are suspicious; the rest is safe, and so is a process whose program file cannot be found.
// The program file is its ".exe" module, else the file of its name in the Windows folders.
ProcessVerdict JudgeProcess(const ProcessEntry& process, ProcessProbe& probe, std::string& path);

// The list has room for this many rows; later flagged processes are left out.
constexpr size_t kMaxFlaggedProcesses = 256;
// The flagged processes among `processes`, in snapshot order.
std::vector<FlaggedProcess> FindFlaggedProcesses(const std::vector<ProcessEntry>& processes,
                                                 ProcessProbe& probe);

// The processes running now; false when no snapshot could be taken (a list without this
// very process is no list: a failed look must not read as "nothing runs").
bool ListRunningProcesses(std::vector<ProcessEntry>& processes);
