#pragma once
// One run of a repair-page tool on its worker. The page and the worker share only this
// record: the rows listed but not yet shown.
#include <windows.h>

#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/WorkerLink.h"

// Rows are waiting (posted once per batch) / the tool has ended.
constexpr UINT WM_APP_REPAIR_ROWS = WM_APP + 130;
constexpr UINT WM_APP_REPAIR_DONE = WM_APP + 131;

enum class RepairTool { Registry = 1, Cleanup = 2 };

struct RepairJob {
    explicit RepairJob(std::shared_ptr<WorkerLink> link) : link(std::move(link)) {}

    std::shared_ptr<WorkerLink> link;
    std::mutex mutex;
    std::deque<std::vector<std::string>> pendingRows;
    std::map<UINT, std::string> stateTexts;  // the worker's own

    // Queues a row; false once the page has gone.
    bool List(const std::string& content, UINT stateStringId);
    // Hands over up to `most` of the rows listed since the last call, oldest first; `more`
    // says whether any are left.
    std::vector<std::vector<std::string>> TakeRows(size_t most, bool& more);
};

// The worker bodies; each posts WM_APP_REPAIR_DONE at its end.
UINT RepairRegistryThread(RepairJob& job);
UINT DiskCleanupThread(RepairJob& job);
// Starts `tool` on a worker of its own. False when no thread could be started.
bool StartRepairTool(std::shared_ptr<RepairJob> job, RepairTool tool);
