#pragma once
// One pass over a list's rows on a worker (Delete all, Empty): the items are taken on the
// user-interface thread when the job starts, and every result travels back to the page as a
// message. The page cuts the link when it re-lists or goes away, and the worker stops before
// its next item.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/WorkerLink.h"

// Acting begins / item wParam gave result lParam / done.
constexpr UINT WM_APP_ROW_JOB_BEGIN = WM_APP + 20;
constexpr UINT WM_APP_ROW_JOB_ROW = WM_APP + 21;
constexpr UINT WM_APP_ROW_JOB_END = WM_APP + 22;

struct RowJob {
    std::shared_ptr<WorkerLink> link;
    std::vector<std::string> items;  // row i's item when the job started
    std::function<int(const std::string&)> act;
    UINT waitNoticeId = 0;  // shown by the worker before it starts acting, or 0
    bool beginBeforeNotice = false;
    UINT closingStringId = 0;  // shown when done, or 0
};

// Starts the worker; false when no thread could be started.
bool StartRowJob(std::shared_ptr<RowJob> job);
