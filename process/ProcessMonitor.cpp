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

bool MonitorJob::TakeResult(MonitorPassResult& result) {
    std::lock_guard<std::mutex> lock(m_lock);
    if (!m_fresh) return false;
    result = std::move(m_result);
    m_result = {};
    m_fresh = false;
    return true;
}

void MonitorJob::PutResult(MonitorPassResult result) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_result = std::move(result);
    m_fresh = true;
}

UINT ProcessMonitorThread(MonitorJob& job) {
    FlaggedCountWatch watch;
    ProbeCache cache(CurrentProcessProbe());
    ::Sleep(g_firstPassMs);
    while (!job.link->IsCut()) {
        MonitorPassResult result;
        result.snapshotTick = ::GetTickCount();
        std::vector<ProcessEntry> running;
        // No snapshot, no pass: the list and the count stay as the last pass left them.
        if (ListRunningProcesses(running)) {
            cache.NewPass();
            result.processes = FindFlaggedProcesses(running, cache);
            bool forward = watch.Update(result.processes.size());
            job.PutResult(std::move(result));
            if (!job.link->Post(WM_APP_TASKWATCH_PASS, forward ? 1 : 0)) break;
        }
        ::Sleep(g_passIntervalMs);
    }
    return 0;
}

bool StartProcessMonitor(std::shared_ptr<MonitorJob> job) {
    return StartJobThread<MonitorJob, ProcessMonitorThread>(std::move(job));
}
