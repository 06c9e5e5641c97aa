#include "repair/RepairJob.h"

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
    std::vector<std::string> row{content, text->second};
    {
        std::lock_guard<std::mutex> lock(mutex);
        pendingRows.push_back(std::move(row));
    }
    // The first row shows at once.
    if (listed++ == 0) link->Post(WM_APP_REPAIR_ROWS);
    return !link->IsCut();
}

std::vector<std::vector<std::string>> RepairJob::TakeRows() {
    std::vector<std::vector<std::string>> rows;
    std::lock_guard<std::mutex> lock(mutex);
    rows.swap(pendingRows);
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
