#pragma once
// Delete all, on a worker: the rows' paths are taken on the user-interface thread when the
// job starts, and every result travels back to the page as a message. The page cuts the
// link when it re-lists or goes away, and the worker stops before the next file.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/WorkerLink.h"

// Deleting begins / row wParam got result lParam (a ThreatDeletion) / done.
constexpr UINT WM_APP_DELETE_ALL_BEGIN = WM_APP + 20;
constexpr UINT WM_APP_DELETE_ALL_ROW = WM_APP + 21;
constexpr UINT WM_APP_DELETE_ALL_END = WM_APP + 22;

struct DeleteAllJob {
    std::shared_ptr<WorkerLink> link;
    std::vector<std::string> paths;  // row i's path when the job started
    bool disableBeforeWaitNotice = false;
    UINT closingStringId = 0;  // a message shown when done, or 0
};

// Starts the worker; false when no thread could be started.
bool StartDeleteAllJob(std::shared_ptr<DeleteAllJob> job);
// The worker's body, for tests: waits for the "please wait" box, deletes, reports.
UINT RunDeleteAllJob(DeleteAllJob& job);
