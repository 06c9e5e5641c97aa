#pragma once
// The RepairSystem page: Repair Registry and Disk Cleanup, each on a worker that lists one
// row per step. Both buttons stay disabled while either runs.
#include <memory>

#include "controls/ListPage.h"
#include "repair/RepairJob.h"
#include "res/resource.h"

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
    void Finish();
    void EnableButtons(bool enable);

    CAnimateCtrl m_animation;
    CSkinButton m_repairButton;
    CSkinButton m_cleanupButton;
    std::shared_ptr<RepairJob> m_job;
    RepairTool m_tool = RepairTool::Registry;
};
