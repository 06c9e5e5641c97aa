#include "repair/RepairJob.h"

#include <algorithm>
#include <iterator>

#include "framework/Strings.h"
#include "framework/Text.h"
#include "framework/Thread.h"
#include "repair/DiskCleanup.h"
#include "repair/RegistryRepair.h"

namespace {
ListStep ListInto(RepairJob& job) {
    return [&job](const std::string& content, UINT stateId) { return job.List(content, stateId); };
}
}  // namespace

bool RepairJob::List(const std::string& content, UINT stateStringId) {
    auto text = stateTexts.find(stateStringId);
    if (text == stateTexts.end())
        text = stateTexts.emplace(stateStringId, AnsiToUtf8(LoadResString(stateStringId))).first;
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        first = pendingRows.empty();
        pendingRows.push_back({content, text->second});
    }
    // One post per batch: the page takes every waiting row at once.
    if (first) link->Post(WM_APP_REPAIR_ROWS);
    return !link->IsCut();
}

std::vector<std::vector<std::string>> RepairJob::TakeRows(size_t most, bool& more) {
    std::lock_guard<std::mutex> lock(mutex);
    size_t count = std::min(most, pendingRows.size());
    std::vector<std::vector<std::string>> rows(
        std::make_move_iterator(pendingRows.begin()),
        std::make_move_iterator(pendingRows.begin() + count));
    pendingRows.erase(pendingRows.begin(), pendingRows.begin() + count);
    more = !pendingRows.empty();
    return rows;
}

UINT RepairRegistryThread(RepairJob& job) {
    RepairRegistry(ListInto(job));
    job.link->Post(WM_APP_REPAIR_DONE);
    return 0;
}

UINT DiskCleanupThread(RepairJob& job) {
    RunDiskCleanup(ListInto(job));
    job.link->Post(WM_APP_REPAIR_DONE);
    return 0;
}

bool StartRepairTool(std::shared_ptr<RepairJob> job, RepairTool tool) {
    if (tool == RepairTool::Registry)
        return StartJobThread<RepairJob, RepairRegistryThread>(std::move(job));
    return StartJobThread<RepairJob, DiskCleanupThread>(std::move(job));
}
