#pragma once
// The monitor thread of the process shield: five seconds after start and then every ten it
// judges the running processes and hands the result to its page through the page's link. It
// never touches a window itself, and it ends once the page has cut the link.
#include <windows.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "framework/WorkerLink.h"
#include "process/ProcessJudge.h"

// A pass is done: the page takes its rows with TakeResult. wParam: 1 when the number of
// flagged processes changed to a non-zero one, so the main window comes forward on the page.
constexpr UINT WM_APP_TASKWATCH_PASS = WM_APP + 57;

// Whether a pass with `count` flagged processes brings the window forward: when the count
// differs from the previous pass's (0 before the first) and is not zero.
class FlaggedCountWatch {
  public:
    bool Update(size_t count);

  private:
    size_t m_previous = 0;
};

// What one pass found, and when (GetTickCount) it took its process snapshot.
struct MonitorPassResult {
    std::vector<FlaggedProcess> processes;
    DWORD snapshotTick = 0;
};

struct MonitorJob {
    std::shared_ptr<WorkerLink> link;

    // The latest pass's result; false when no pass came since the last call.
    bool TakeResult(MonitorPassResult& result);
    void PutResult(MonitorPassResult result);

  private:
    std::mutex m_lock;
    MonitorPassResult m_result;
    bool m_fresh = false;
};

// Starts the thread; false when none could be started.
bool StartProcessMonitor(std::shared_ptr<MonitorJob> job);
UINT ProcessMonitorThread(MonitorJob& job);

// Tests shorten the wait before the first pass and between passes; the program keeps 5 s / 10 s.
void SetMonitorIntervalsForTesting(DWORD firstMs, DWORD everyMs);
