#include "process/ProcessMonitor.h"

#include <atomic>

#include "framework/Thread.h"
#include "process/ProbeCache.h"

namespace {
std::atomic<DWORD> g_firstPassMs{5000};
std::atomic<DWORD> g_passIntervalMs{10000};
}  // namespace

void SetMonitorIntervalsForTesting(DWORD firstMs, DWORD everyMs) {
    g_firstPassMs = firstMs;
    g_passIntervalMs = everyMs;
}

bool FlaggedCountWatch::Update(size_t count) {
    bool forward = count != m_previous && count != 0;
    m_previous = count;
    return forward;
}

bool MonitorJob::TakeResult(std::vector<FlaggedProcess>& rows) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_fresh) return false;
    rows = std::move(m_rows);
    m_rows.clear();
    m_fresh = false;
    return true;
}

void MonitorJob::PutResult(std::vector<FlaggedProcess> rows) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_rows = std::move(rows);
    m_fresh = true;
}

UINT ProcessMonitorThread(MonitorJob& job) {
    FlaggedCountWatch watch;
    ProbeCache cache(CurrentProcessProbe());
    ::Sleep(g_firstPassMs);
    while (!job.link->IsCut()) {
        cache.NewPass();
        std::vector<FlaggedProcess> flagged = FindFlaggedProcesses(ListRunningProcesses(), cache);
        bool forward = watch.Update(flagged.size());
        job.PutResult(std::move(flagged));
        if (!job.link->Post(WM_APP_TASKWATCH_PASS, forward ? 1 : 0)) break;
        ::Sleep(g_passIntervalMs);
    }
    return 0;
}

bool StartProcessMonitor(std::shared_ptr<MonitorJob> job) {
    return StartJobThread<MonitorJob, ProcessMonitorThread>(std::move(job));
}
