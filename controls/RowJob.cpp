#include "controls/RowJob.h"

#include "framework/Strings.h"
#include "framework/Thread.h"

namespace {
UINT RunRowJob(RowJob& job) {
    if (job.beginBeforeNotice && !job.link->Post(WM_APP_ROW_JOB_BEGIN)) return 0;
    // Shown by the worker itself; acting starts when the user closes it.
    if (job.waitNoticeId) AfxMessageBox(job.waitNoticeId, MB_OK);
    if (!job.beginBeforeNotice && !job.link->Post(WM_APP_ROW_JOB_BEGIN)) return 0;
    for (size_t row = 0; row < job.items.size(); ++row) {
        if (job.link->IsCut()) return 0;
        int result = job.act(job.items[row]);
        job.link->Post(WM_APP_ROW_JOB_ROW, row, static_cast<LPARAM>(result));
    }
    if (!job.link->Post(WM_APP_ROW_JOB_END)) return 0;
    if (job.closingStringId) AfxMessageBox(job.closingStringId, MB_OK);
    return 0;
}
}  // namespace

bool StartRowJob(std::shared_ptr<RowJob> job) {
    return StartJobThread<RowJob, RunRowJob>(std::move(job));
}
