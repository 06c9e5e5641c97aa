#pragma once
// The RepairSystem page: Repair Registry and Disk Cleanup, each on a worker that lists one
// row per step. Both buttons stay disabled while either runs.
#include <memory>

#include "controls/ListPage.h"
#include "repair/RepairJob.h"
#include "res/resource.h"

// Posted to itself once a cleanup's rows are shown: "Clean completed" comes in a turn of its own.
constexpr UINT WM_APP_REPAIR_NOTICE = WM_APP + 132;

class CRepairPage : public CListPage {
  public:
    CRepairPage();

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    void Ask(UINT questionId, RepairTool tool);
    void Start(RepairTool tool);
    void ShowWaitingRows();
    void OnRowsTimer();
    void Finish();
    void End();
    void EnableButtons(bool enable);

    CAnimateCtrl m_animation;
    CSkinButton m_repairButton;
    CSkinButton m_cleanupButton;
    std::shared_ptr<RepairJob> m_job;
    RepairTool m_tool = RepairTool::Registry;
    DWORD m_rowsShownAt = 0;
};
