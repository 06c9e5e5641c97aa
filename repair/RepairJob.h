#pragma once
// One run of a repair-page tool on its worker. The page and the worker share only this
// record: the rows listed but not yet shown.
#include <windows.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "framework/WorkerLink.h"

// The first row is waiting (the rest are taken on the page's timer) / the tool has ended.
constexpr UINT WM_APP_REPAIR_ROWS = WM_APP + 130;
constexpr UINT WM_APP_REPAIR_DONE = WM_APP + 131;

enum class RepairTool { Registry = 1, Cleanup = 2 };

struct RepairJob {
    explicit RepairJob(std::shared_ptr<WorkerLink> link) : link(std::move(link)) {}

    std::shared_ptr<WorkerLink> link;
    std::mutex mutex;
    std::vector<std::vector<std::string>> pendingRows;
    std::map<UINT, std::string> stateTexts;  // the worker's own
    size_t listed = 0;                       // the worker's own

    // Queues a row; false once the page has gone.
    bool List(const std::string& content, UINT stateStringId);
    // Hands over every row listed since the last call, oldest first. The page takes them on
    // a timer, not per row: each hand-over costs the list a redraw, and a page woken for every
    // few files kept its thread busy and slowed the worker down.
    std::vector<std::vector<std::string>> TakeRows();
};

// The worker bodies; each posts WM_APP_REPAIR_DONE at its end.
UINT RepairRegistryThread(RepairJob& job);
UINT DiskCleanupThread(RepairJob& job);
// Starts `tool` on a worker of its own. False when no thread could be started.
bool StartRepairTool(std::shared_ptr<RepairJob> job, RepairTool tool);
