#include "usb/DeleteAllJob.h"

#include "framework/Strings.h"
#include "framework/Thread.h"
#include "res/resource.h"
#include "usb/ThreatDeletion.h"

UINT RunDeleteAllJob(DeleteAllJob& job) {
    if (job.disableBeforeWaitNotice && !job.link->Post(WM_APP_DELETE_ALL_BEGIN)) return 0;
    // Shown by the worker itself; the deletion starts when the user closes it.
    AfxMessageBox(IDS_PLEASE_WAIT, MB_OK);
    if (!job.disableBeforeWaitNotice && !job.link->Post(WM_APP_DELETE_ALL_BEGIN)) return 0;
    for (size_t row = 0; row < job.paths.size(); ++row) {
        if (job.link->IsCut()) return 0;
        ThreatDeletion result = DeleteThreatFile(job.paths[row]);
        job.link->Post(WM_APP_DELETE_ALL_ROW, row, static_cast<LPARAM>(result));
    }
    if (!job.link->Post(WM_APP_DELETE_ALL_END)) return 0;
    if (job.closingStringId) AfxMessageBox(job.closingStringId, MB_OK);
    return 0;
}

bool StartDeleteAllJob(std::shared_ptr<DeleteAllJob> job) {
    return StartJobThread<DeleteAllJob, RunDeleteAllJob>(std::move(job));
}
